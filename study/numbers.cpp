// Strict number reading for the study's inputs.
#include "numbers.hpp"

#include <cctype>
#include <charconv>
#include <cmath>
#include <system_error>

namespace study {

namespace {

// from_chars with an optional leading "+".
std::from_chars_result Parse(std::string_view& text, double& value) {
    if (text.size() > 1 && text[0] == '+' && text[1] != '-') text.remove_prefix(1);
    return std::from_chars(text.data(), text.data() + text.size(), value);
}

bool Digit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// For a well-formed number beyond a double: whether it is too large (rather
// than too small). The decimal exponent of its first nonzero digit decides.
bool TooLarge(std::string_view text) {
    std::size_t i = text.empty() || (text[0] != '-' && text[0] != '+') ? 0 : 1;
    long long magnitude = 0;
    bool point = false, significant = false;
    for (; i < text.size() && (Digit(text[i]) || text[i] == '.'); ++i) {
        if (text[i] == '.') {
            point = true;
        } else if (!significant && text[i] != '0') {
            significant = true;
        } else if (significant != point) {
            magnitude += significant ? 1 : -1;  // digits before the point, or zeros after it
        }
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        const bool negative = i < text.size() && text[i] == '-';
        if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
        long long exponent = 0;
        for (; i < text.size() && Digit(text[i]); ++i)
            if (exponent < 1'000'000'000) exponent = exponent * 10 + (text[i] - '0');
        magnitude += negative ? -exponent : exponent;
    }
    return magnitude > 0;
}

}  // namespace

std::optional<double> ReadStrictNumber(std::string_view text) {
    double value = 0;
    const auto [end, ec] = Parse(text, value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string NumberProblem(std::string_view text) {
    double value = 0;
    const auto [end, ec] = Parse(text, value);
    if (!text.empty() && end == text.data() + text.size()) {
        if (ec == std::errc::result_out_of_range)
            return TooLarge(text) ? "out of range: larger than the largest double, about 1.8e308"
                                  : "out of range: too small to represent (the smallest is about 4.9e-324; "
                                    "write 0 for zero)";
        if (ec == std::errc() && std::isfinite(value)) return "";
    }
    return "not a number (write it like 2.5 or 1e-3, with \".\" as the decimal point)";
}

}  // namespace study
