#include "checked.hpp"

#include <cfenv>
#include <cstdint>

namespace calc {

std::string Where::Text() const {
    std::string s = std::string("in ") + what;
    if (row >= 0) s += " at row " + std::to_string(row);
    return s;
}

void ThrowOverflow(const Where& where) {
    throw Overflow("Overflow " + where.Text() + ": a result is too large for a double.");
}

void ThrowDivision(double dividend, const Where& where) {
    // Zero by zero is reported as a division by zero too: it is the zero
    // divisor that the user has to look for.
    const char* note = dividend == 0.0 ? " (zero divided by zero)" : "";
    throw DivisionByZero("Division by zero " + where.Text() + note + ".");
}

long RoundIndex(double value, const Where& where) {
    if (!(value >= INT32_MIN - 0.5 && value <= INT32_MAX + 0.5)) ThrowOverflow(where);
    // nearbyint rounds in the current mode, which is to-nearest, ties-to-even.
    const double r = std::nearbyint(value);
    if (r < INT32_MIN || r > INT32_MAX) ThrowOverflow(where);
    return static_cast<long>(r);
}

}  // namespace calc
