// The failures a calculation can raise. Each carries a message written for
// the user of the program, which the window shows in a message box.
#pragma once

#include <stdexcept>
#include <string>

namespace calc {

// Base of every failure raised while a calculation runs.
class CalcError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// An array index outside the array's bounds.
class SubscriptOutOfRange : public CalcError {
public:
    using CalcError::CalcError;
};

// A division whose divisor is zero, zero divided by zero included.
class DivisionByZero : public CalcError {
public:
    using CalcError::CalcError;
};

// A result beyond the range of a double.
class Overflow : public CalcError {
public:
    using CalcError::CalcError;
};

}  // namespace calc
