// Reading numbers from what the user typed, and writing numbers as text.
//
// Everything here is a pure function: no global locale is consulted. Reading
// always takes "." as the decimal point; writing takes the decimal separator
// of the user's locale as an argument.
#pragma once

#include <string>
#include <string_view>

namespace numtext {

// The outcome of reading a text box. `overflow` is set when the text holds a
// number too large for a double (for example "1e999"); `value` is then 0 and
// must not be used.
struct ReadResult {
    double value = 0.0;
    bool overflow = false;
};

// Reads the leading number of `text`:
//  - blanks, tabs and line feeds are ignored wherever they stand ("1 2" is 12);
//  - an optional sign, digits with at most one ".", then an optional exponent
//    introduced by E or D in either case ("1D-2" is 0.01);
//  - "&H" / "&O" introduce a hexadecimal / octal whole number;
//  - reading stops at the first character that cannot continue the number
//    ("12abc" is 12, "1,5" is 1); no number at all reads as 0.
// A value too small for a double reads as 0. A zero is returned without sign.
ReadResult ReadNumber(std::string_view text);

// Rounds `value` to `decimals` decimal places, a tie going to the even digit,
// and writes it in the general form: at most 15 significant digits, no
// trailing zeros, no separator for a whole number, a leading "-" only for a
// nonzero negative result, and exponent notation ("1E+15") from 1E+15 on.
// Throws std::domain_error for a value that is not finite.
std::string RoundedGeneral(double value, int decimals, std::string_view separator);

// The general form of `value` itself, without rounding to decimals first.
std::string General(double value, std::string_view separator);

// Writes `value` through a pattern of "0" and "#" placeholders with one ".",
// such as "0#0.#0":
//  - rounded to as many decimals as there are placeholders after the ".",
//    a tie going away from zero;
//  - integer digits padded with zeros out to the leftmost "0" before the ".";
//  - decimals written out to the rightmost "0" after the ".";
//  - the separator always written;
//  - a leading "-" for a negative value, decided before rounding, so that
//    -0.45 through "0#0." is "-000."; a zero of either sign gets none.
// Throws std::domain_error for a value that is not finite or a pattern that
// is not of that form.
std::string Pattern(double value, std::string_view pattern, std::string_view separator);

}  // namespace numtext
