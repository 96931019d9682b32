// Writing any double through every pattern and the general form: finite
// values give well-formed text whose sign is right and which reads back as
// the number written; other values are refused with an error.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

#include "format/number_text.hpp"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

// The text reads back, with "." as the point, to within the rounding that
// writing did (a few units in the 15th digit, or half the last decimal).
void CheckReadsBack(const std::string& text, double value, double tolerance) {
    const numtext::ReadResult r = numtext::ReadNumber(text);
    if (r.overflow) {
        // Only the largest doubles round up past the double range in 15 digits.
        Check(std::fabs(value) > 1.797693134862315e308 * (1 - 1e-14));
        return;
    }
    Check(std::fabs(r.value - value) <= tolerance + std::fabs(value) * 1e-14);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < sizeof(double) + 1) return 0;
    double value;
    std::memcpy(&value, data, sizeof value);
    const int decimals = data[sizeof value] % 6;

    static const char* const patterns[] = {"0.", "0#0.", "0#0.#0", "#0.#0", "#0.##0"};
    static const double halfStep[] = {0.5, 0.5, 0.005, 0.005, 0.0005};
    if (!std::isfinite(value)) {
        for (const char* p : patterns) {
            try {
                numtext::Pattern(value, p, ".");
                std::abort();
            } catch (const std::domain_error&) {
            }
        }
        return 0;
    }
    for (int i = 0; i < 5; ++i) {
        const std::string text = numtext::Pattern(value, patterns[i], ".");
        Check(text.find_first_not_of("-0123456789.") == std::string::npos);
        Check((text[0] == '-') == (value < 0));
        Check(i < 2 ? text.back() == '.' : (text.back() >= '0' && text.back() <= '9'));
        CheckReadsBack(text, value, halfStep[i]);
    }
    const std::string general = numtext::General(value, ".");
    Check(general.find_first_not_of("-0123456789.E+") == std::string::npos);
    Check(general != "-0");
    CheckReadsBack(general, value, 0);
    const std::string rounded = numtext::RoundedGeneral(value, decimals, ",");
    Check(rounded.find('.') == std::string::npos);
    Check(rounded.find("nan") == std::string::npos && rounded.find("inf") == std::string::npos);
    Check(rounded != "-0");
    return 0;
}
