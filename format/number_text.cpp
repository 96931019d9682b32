#include "number_text.hpp"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <system_error>

namespace numtext {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Walks a text, passing over the blanks that the reader ignores.
class Cursor {
public:
    explicit Cursor(std::string_view text) : text_(text) { Skip(); }
    bool AtEnd() const { return pos_ >= text_.size(); }
    char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }
    void Next() {
        ++pos_;
        Skip();
    }
    std::size_t Position() const { return pos_; }
    void Rewind(std::size_t pos) { pos_ = pos; }

private:
    void Skip() {
        while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
    }
    std::string_view text_;
    std::size_t pos_ = 0;
};

int HexDigit(char c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// "&H..." or "&O...": a whole number in base 16 or 8. The cursor stands on
// the "&". Anything else after the "&" reads as 0.
ReadResult ReadRadixNumber(Cursor& in) {
    in.Next();
    const char kind = in.Peek();
    int base = 0;
    if (kind == 'H' || kind == 'h') base = 16;
    if (kind == 'O' || kind == 'o') base = 8;
    if (base == 0) return {};
    in.Next();
    double value = 0.0;
    for (;;) {
        const int d = HexDigit(in.Peek());
        if (d < 0 || d >= base) break;
        value = value * base + d;
        if (std::isinf(value)) return {0.0, true};
        in.Next();
    }
    return {value, false};
}

// Adds two exponents without leaving a range far beyond any double's.
std::int64_t SaturatedAdd(std::int64_t a, std::int64_t b) {
    const std::int64_t limit = 1'000'000'000;
    const std::int64_t sum = a + b;
    if (sum > limit) return limit;
    if (sum < -limit) return -limit;
    return sum;
}

// A number in decimal digits: the value is 0.<digits> x 10^point when point
// is counted from the left (point = 1 puts it after the first digit), i.e.
// `point` digits stand before the decimal point.
struct Decimal {
    std::string digits;
    int point = 0;
};

// The 15-significant-digit decimal form of a finite, nonzero magnitude:
// the number as a person reads it and as the general form writes it.
Decimal FifteenDigits(double magnitude) {
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 14);
    // buf holds "d.ddddddddddddddde[+-]xx".
    Decimal d;
    d.digits.reserve(15);
    const char* p = buf;
    for (; p < res.ptr && *p != 'e'; ++p)
        if (IsDigit(*p)) d.digits.push_back(*p);
    int exponent = 0;
    std::from_chars(p + 1 + (p[1] == '+' ? 1 : 0), res.ptr, exponent);
    d.point = exponent + 1;
    return d;
}

enum class Tie { ToEven, AwayFromZero };

// Rounds `d` to `decimals` places after the point. The result keeps exactly
// the digits that stand before the rounding position (possibly none).
Decimal RoundDecimal(const Decimal& d, int decimals, Tie tie) {
    const long keep = static_cast<long>(d.point) + decimals;
    if (keep >= static_cast<long>(d.digits.size())) return d;
    if (keep < 0) return {"", d.point};
    Decimal r{d.digits.substr(0, static_cast<std::size_t>(keep)), d.point};
    const char first = d.digits[static_cast<std::size_t>(keep)];
    bool up = first > '5';
    if (first == '5') {
        bool beyondHalf = false;
        for (std::size_t i = static_cast<std::size_t>(keep) + 1; i < d.digits.size(); ++i)
            if (d.digits[i] != '0') beyondHalf = true;
        if (beyondHalf || tie == Tie::AwayFromZero) {
            up = true;
        } else {
            const int last = r.digits.empty() ? 0 : r.digits.back() - '0';
            up = (last % 2) == 1;
        }
    }
    if (up) {
        int i = static_cast<int>(r.digits.size()) - 1;
        while (i >= 0 && r.digits[static_cast<std::size_t>(i)] == '9') {
            r.digits[static_cast<std::size_t>(i)] = '0';
            --i;
        }
        if (i >= 0) {
            ++r.digits[static_cast<std::size_t>(i)];
        } else {
            r.digits.insert(r.digits.begin(), '1');
            ++r.point;
        }
    }
    return r;
}

bool IsZero(const Decimal& d) {
    for (char c : d.digits)
        if (c != '0') return false;
    return true;
}

// The digits before the decimal point, without leading zeros (may be empty).
std::string IntegerDigits(const Decimal& d) {
    std::string s;
    for (int i = 0; i < d.point; ++i)
        s.push_back(i < static_cast<int>(d.digits.size()) ? d.digits[static_cast<std::size_t>(i)] : '0');
    const auto nz = s.find_first_not_of('0');
    return nz == std::string::npos ? std::string() : s.substr(nz);
}

// The digits after the decimal point, without trailing zeros (may be empty).
std::string FractionDigits(const Decimal& d) {
    std::string s;
    for (int i = d.point; i < static_cast<int>(d.digits.size()); ++i)
        s.push_back(i < 0 ? '0' : d.digits[static_cast<std::size_t>(i)]);
    const auto last = s.find_last_not_of('0');
    return last == std::string::npos ? std::string() : s.substr(0, last + 1);
}

void RequireFinite(double value) {
    if (!std::isfinite(value)) throw std::domain_error("cannot write a number that is not finite");
}

std::string GeneralOf(const Decimal& d, bool negative, std::string_view separator) {
    if (d.digits.empty() || IsZero(d)) return "0";
    std::string out = negative ? "-" : "";
    // Exponent notation from 1E+15 on: 16 or more integer digits.
    const auto nz = d.digits.find_first_not_of('0');
    const int exponent = d.point - 1 - static_cast<int>(nz);
    if (exponent >= 15) {
        std::string mant = d.digits.substr(nz);
        mant.erase(mant.find_last_not_of('0') + 1);
        out += mant[0];
        if (mant.size() > 1) {
            out += separator;
            out += mant.substr(1);
        }
        return out + "E+" + std::to_string(exponent);  // two digits at least, as it is 15 or more
    }
    const std::string integer = IntegerDigits(d);
    const std::string fraction = FractionDigits(d);
    out += integer.empty() ? "0" : integer;
    if (!fraction.empty()) {
        out += separator;
        out += fraction;
    }
    return out;
}

}  // namespace

ReadResult ReadNumber(std::string_view text) {
    Cursor in(text);
    if (in.Peek() == '&') return ReadRadixNumber(in);

    bool negative = false;
    if (in.Peek() == '+' || in.Peek() == '-') {
        negative = in.Peek() == '-';
        in.Next();
    }

    // Mantissa: collect the significant digits (no leading zeros) and count
    // where the decimal point falls relative to them.
    std::string digits;
    std::int64_t point = 0;  // value = 0.<digits> x 10^point
    bool seenDigit = false;
    bool seenPoint = false;
    for (;;) {
        const char c = in.Peek();
        if (IsDigit(c)) {
            seenDigit = true;
            if (digits.empty() && c == '0') {
                if (seenPoint) point = SaturatedAdd(point, -1);
            } else {
                digits.push_back(c);
                if (!seenPoint) point = SaturatedAdd(point, 1);
            }
        } else if (c == '.' && !seenPoint) {
            seenPoint = true;
        } else {
            break;
        }
        in.Next();
    }
    if (!seenDigit) return {};

    // Exponent: only taken when at least one digit follows the letter.
    const char e = in.Peek();
    if (e == 'E' || e == 'e' || e == 'D' || e == 'd') {
        const std::size_t before = in.Position();
        in.Next();
        bool expNegative = false;
        if (in.Peek() == '+' || in.Peek() == '-') {
            expNegative = in.Peek() == '-';
            in.Next();
        }
        if (IsDigit(in.Peek())) {
            std::int64_t exponent = 0;
            while (IsDigit(in.Peek())) {
                if (exponent < 1'000'000'000) exponent = exponent * 10 + (in.Peek() - '0');
                in.Next();
            }
            point = SaturatedAdd(point, expNegative ? -exponent : exponent);
        } else {
            in.Rewind(before);
        }
    }

    while (!digits.empty() && digits.back() == '0') digits.pop_back();
    if (digits.empty()) return {};
    if (point > 310) return {0.0, true};
    if (point < -330) return {};

    const std::string literal = "0." + digits + "e" + std::to_string(point);
    double value = 0.0;
    const auto res = std::from_chars(literal.data(), literal.data() + literal.size(), value);
    if (res.ec == std::errc::result_out_of_range) {
        if (point > 0) return {0.0, true};
        return {};
    }
    if (std::isinf(value)) return {0.0, true};
    if (value == 0.0) return {};
    return {negative ? -value : value, false};
}

std::string General(double value, std::string_view separator) {
    RequireFinite(value);
    if (value == 0.0) return "0";
    return GeneralOf(FifteenDigits(std::fabs(value)), value < 0, separator);
}

std::string RoundedGeneral(double value, int decimals, std::string_view separator) {
    RequireFinite(value);
    if (value == 0.0) return "0";
    const Decimal rounded = RoundDecimal(FifteenDigits(std::fabs(value)), decimals, Tie::ToEven);
    return GeneralOf(rounded, value < 0, separator);
}

std::string Pattern(double value, std::string_view pattern, std::string_view separator) {
    RequireFinite(value);
    const auto dot = pattern.find('.');
    if (dot == std::string_view::npos || pattern.find('.', dot + 1) != std::string_view::npos ||
        pattern.find_first_not_of("0#.") != std::string_view::npos)
        throw std::domain_error("not a number pattern: " + std::string(pattern));

    const std::string_view intPart = pattern.substr(0, dot);
    const std::string_view fracPart = pattern.substr(dot + 1);
    const auto firstZero = intPart.find('0');
    const std::size_t minInt = firstZero == std::string_view::npos ? 0 : intPart.size() - firstZero;
    const auto lastZero = fracPart.rfind('0');
    const std::size_t minFrac = lastZero == std::string_view::npos ? 0 : lastZero + 1;
    const int decimals = static_cast<int>(fracPart.size());

    std::string out = value < 0 ? "-" : "";
    std::string integer;
    std::string fraction;
    if (value != 0.0) {
        const Decimal rounded = RoundDecimal(FifteenDigits(std::fabs(value)), decimals, Tie::AwayFromZero);
        integer = IntegerDigits(rounded);
        fraction = FractionDigits(rounded);
    }
    if (integer.size() < minInt) integer.insert(0, minInt - integer.size(), '0');
    if (fraction.size() < minFrac) fraction.append(minFrac - fraction.size(), '0');
    out += integer;
    out += separator;
    out += fraction;
    return out;
}

}  // namespace numtext
