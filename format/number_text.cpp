#include "number_text.hpp"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
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
// `point` digits stand before the decimal point. The digits live in a fixed
// buffer: there are never more than 15 significant ones and a carry.
struct Decimal {
    char digits[24];
    int size = 0;
    int point = 0;

    // Digit i counted from the left; the zeros beyond either end.
    char At(int i) const { return i >= 0 && i < size ? digits[i] : '0'; }
};

__extension__ typedef unsigned __int128 Wide;

// 10^k for k = 0 to 22, as wide integers.
constexpr auto kPowersOfTen = [] {
    std::array<Wide, 23> p{};
    p[0] = 1;
    for (std::size_t k = 1; k < p.size(); ++k) p[k] = p[k - 1] * 10;
    return p;
}();

// The fast road to the 15 digits of a magnitude from 1e-8 to 2^52: with
// m = M 2^e (M of 53 bits, e < 0) the digits are M 10^k / 2^-e rounded to a
// whole number, half to even, worked out exactly in 128 bits. Returns false
// when the magnitude is outside that range.
bool FifteenDigitsExactly(double magnitude, Decimal& d) {
    const auto bits = std::bit_cast<std::uint64_t>(magnitude);
    const int biased = static_cast<int>(bits >> 52);
    if (biased == 0) return false;  // subnormal
    const std::uint64_t mantissa = (bits & ((std::uint64_t(1) << 52) - 1)) | (std::uint64_t(1) << 52);
    const int shift = 1075 - biased;  // m = mantissa / 2^shift
    if (shift < 1 || shift > 127) return false;
    const Wide half = Wide(1) << (shift - 1);
    constexpr std::uint64_t kLow = 100'000'000'000'000, kHigh = 1'000'000'000'000'000;
    // floor(log10(2^floor(log2 m))): the decimal exponent or one less.
    int exponent = ((biased - 1023) * 78913) >> 18;
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int k = 14 - exponent;
        if (k < 0 || k >= static_cast<int>(kPowersOfTen.size())) return false;
        const Wide scaled = Wide(mantissa) * kPowersOfTen[static_cast<std::size_t>(k)];
        Wide q = scaled >> shift;
        if (q < kLow) {
            --exponent;
            continue;
        }
        if (q >= kHigh) {
            ++exponent;
            continue;
        }
        const Wide rest = scaled - (q << shift);
        if (rest > half || (rest == half && (q & 1) != 0)) ++q;
        if (q == kHigh) {  // 999...9.5 rounded up to the next power of ten
            q = kLow;
            ++exponent;
        }
        // Two digits at a time, in two halves of 32 bits.
        static constexpr char kPairs[] =
            "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
            "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
            "8081828384858687888990919293949596979899";
        const auto whole = static_cast<std::uint64_t>(q);
        auto low = static_cast<std::uint32_t>(whole % 100'000'000);  // digits 7 to 14
        auto high = static_cast<std::uint32_t>(whole / 100'000'000);  // digits 0 to 6
        for (int i = 13; i >= 7; i -= 2) {
            std::memcpy(d.digits + i, kPairs + 2 * (low % 100), 2);
            low /= 100;
        }
        for (int i = 5; i >= 1; i -= 2) {
            std::memcpy(d.digits + i, kPairs + 2 * (high % 100), 2);
            high /= 100;
        }
        d.digits[0] = static_cast<char>('0' + high);
        d.size = 15;
        d.point = exponent + 1;
        return true;
    }
    return false;
}

// The 15-significant-digit decimal form of a finite, nonzero magnitude:
// the number as a person reads it and as the general form writes it.
Decimal FifteenDigits(double magnitude) {
    Decimal d;
    if (FifteenDigitsExactly(magnitude, d)) return d;
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 14);
    // buf holds "d.ddddddddddddddde[+-]xx".
    const char* p = buf;
    for (; p < res.ptr && *p != 'e'; ++p)
        if (IsDigit(*p)) d.digits[d.size++] = *p;
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
    if (keep >= d.size) return d;
    Decimal r = d;
    if (keep < 0) {
        r.size = 0;
        return r;
    }
    r.size = static_cast<int>(keep);
    const char first = d.digits[keep];
    bool up = first > '5';
    if (first == '5') {
        bool beyondHalf = false;
        for (int i = r.size + 1; i < d.size; ++i)
            if (d.digits[i] != '0') beyondHalf = true;
        if (beyondHalf || tie == Tie::AwayFromZero) {
            up = true;
        } else {
            const int last = r.size == 0 ? 0 : r.digits[r.size - 1] - '0';
            up = (last % 2) == 1;
        }
    }
    if (up) {
        int i = r.size - 1;
        while (i >= 0 && r.digits[i] == '9') r.digits[i--] = '0';
        if (i >= 0) {
            ++r.digits[i];
        } else {
            for (int k = r.size; k > 0; --k) r.digits[k] = r.digits[k - 1];
            r.digits[0] = '1';
            ++r.size;
            ++r.point;
        }
    }
    return r;
}

bool IsZero(const Decimal& d) {
    for (int i = 0; i < d.size; ++i)
        if (d.digits[i] != '0') return false;
    return true;
}

// Appends the digits before the decimal point without leading zeros,
// padded with zeros in front to at least `least` digits.
void AppendInteger(std::string& out, const Decimal& d, std::size_t least) {
    int first = 0;
    while (first < d.point && d.At(first) == '0') ++first;
    const std::size_t count = d.point > first ? static_cast<std::size_t>(d.point - first) : 0;
    if (count < least) out.append(least - count, '0');
    for (int i = first; i < d.point; ++i) out.push_back(d.At(i));
}

// Appends the digits after the decimal point without trailing zeros,
// padded with zeros behind to at least `least` digits.
void AppendFraction(std::string& out, const Decimal& d, std::size_t least) {
    int end = d.size;
    while (end > d.point && d.At(end - 1) == '0') --end;
    const std::size_t count = end > d.point ? static_cast<std::size_t>(end - d.point) : 0;
    for (int i = d.point; i < end; ++i) out.push_back(d.At(i));
    if (count < least) out.append(least - count, '0');
}

void RequireFinite(double value) {
    if (!std::isfinite(value)) throw std::domain_error("cannot write a number that is not finite");
}

std::string GeneralOf(const Decimal& d, bool negative, std::string_view separator) {
    if (d.size == 0 || IsZero(d)) return "0";
    std::string out = negative ? "-" : "";
    // Exponent notation from 1E+15 on: 16 or more integer digits.
    int nz = 0;
    while (d.digits[nz] == '0') ++nz;
    const int exponent = d.point - 1 - nz;
    if (exponent >= 15) {
        int end = d.size;
        while (d.digits[end - 1] == '0') --end;
        out += d.digits[nz];
        if (end - nz > 1) {
            out += separator;
            out.append(d.digits + nz + 1, d.digits + end);
        }
        return out + "E+" + std::to_string(exponent);  // two digits at least, as it is 15 or more
    }
    const std::size_t before = out.size();
    AppendInteger(out, d, 0);
    if (out.size() == before) out += '0';
    const std::size_t beforeFraction = out.size();
    AppendFraction(out, d, 0);
    if (out.size() != beforeFraction) out.insert(beforeFraction, separator);
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
    // One pass over the pattern: placeholders before and after the ".",
    // and the leftmost "0" before it and the rightmost after it.
    std::size_t dots = 0, before = 0, decimals = 0, firstZero = 0, minFrac = 0;
    for (const char c : pattern) {
        if (c == '.') {
            ++dots;
        } else if (c == '0' || c == '#') {
            if (dots == 0) {
                ++before;
                if (c == '0' && firstZero == 0) firstZero = before;
            } else {
                ++decimals;
                if (c == '0') minFrac = decimals;
            }
        } else {
            dots = 2;
            break;
        }
    }
    if (dots != 1) throw std::domain_error("not a number pattern: " + std::string(pattern));
    // Integer digits are padded with zeros out to the leftmost "0".
    const std::size_t minInt = firstZero == 0 ? 0 : before - firstZero + 1;

    std::string out;
    if (value < 0) out += '-';
    Decimal rounded;
    if (value != 0.0)
        rounded = RoundDecimal(FifteenDigits(std::fabs(value)), static_cast<int>(decimals), Tie::AwayFromZero);
    AppendInteger(out, rounded, minInt);
    out += separator;
    AppendFraction(out, rounded, minFrac);
    return out;
}

}  // namespace numtext
