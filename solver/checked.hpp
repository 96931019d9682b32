// Arithmetic that fails loudly. A division by zero or a result beyond the
// range of a double raises an error instead of quietly producing an infinity
// or a not-a-number value that would then spread through the listing.
#pragma once

#include <cmath>
#include <string>

#include "errors.hpp"

namespace calc {

// Where an operation happens, for the error message: "the tridiagonal
// solver" at row 5 reads "in the tridiagonal solver at row 5".
struct Where {
    const char* what;
    long row = -1;
    std::string Text() const;
};

[[noreturn]] void ThrowOverflow(const Where& where);
[[noreturn]] void ThrowDivision(double dividend, const Where& where);

inline double Finite(double result, const Where& where) {
    if (!std::isfinite(result)) ThrowOverflow(where);
    return result;
}

inline double Add(double a, double b, const Where& w) { return Finite(a + b, w); }
inline double Sub(double a, double b, const Where& w) { return Finite(a - b, w); }
inline double Mul(double a, double b, const Where& w) { return Finite(a * b, w); }
inline double Div(double a, double b, const Where& w) {
    if (b == 0.0) ThrowDivision(a, w);
    return Finite(a / b, w);
}

// `value` rounded to the nearest whole number, a tie going to the even one,
// as an array bound or index. Raises Overflow beyond the 32-bit range.
long RoundIndex(double value, const Where& where);

}  // namespace calc
