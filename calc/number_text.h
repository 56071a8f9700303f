#pragma once
// Numbers as the user types and reads them.
//
// One grammar serves IsNumberText, ParseNumber and ParseFixed4:
//   blanks* [+|-] digits* [separator digits*] blanks*
// where blanks are ASCII spaces and tabs, digits are ASCII 0-9, the separator is the
// format's decimalSeparator (matched byte for byte), and at least one digit appears
// ("5", "5,", ",5", "-0,25"). Nothing else is a number: no grouping, no exponent, no
// other separator, no blank after the sign. Texts of any length are read in linear time.
//
// The readers and FormatDouble throw std::invalid_argument when the separator is unusable
// (see IsUsableSeparator): a text could then not be read one way only.

#include <cstdint>
#include <string>
#include <string_view>

#include "calc/fixed4.h"

namespace calc {

// The user's number format; the caller takes it from the regional settings.
struct NumberFormat {
  std::string decimalSeparator;  // UTF-8, usually "," or "."
};

// True for a non-empty separator without ASCII digits, signs, spaces or tabs.
bool IsUsableSeparator(std::string_view separator);

// True exactly when the text follows the grammar above.
bool IsNumberText(std::string_view text, const NumberFormat& format);

// The decimal value of the text correctly rounded to the nearest double (ties to even),
// however many digits it has: beyond the double range it is +-infinity, below it +-0 or
// the nearest subnormal. "-0" gives -0.0.
// Throws std::invalid_argument for a text outside the grammar.
double ParseNumber(std::string_view text, const NumberFormat& format);

// The decimal value of the text rounded exactly to four decimals, an exact half to the
// even neighbour; never passes through a double.
// Throws std::invalid_argument for a text outside the grammar and ArithmeticError when the
// rounded value is outside the Fixed4 range.
Fixed4 ParseFixed4(std::string_view text, const NumberFormat& format);

// The value rounded (ties to even) to at most 15 significant digits, trailing fraction
// zeros and a bare separator dropped, "0" before the separator below 1, "-" before
// negatives, no grouping. Zero (either sign) is "0". After rounding, magnitudes from 0.001
// up to below 1e15 are written positionally ("0,151", "56,666", "5"); all others with a
// mantissa of one integer digit and an exponent of a sign and at least two digits
// ("5,58E+18", "1E-04", "-4,94065645841247E-324"). NaN is "NaN", infinities "∞" and "-∞".
std::string FormatDouble(double value, const NumberFormat& format);

// Decimal digits with a leading "-" for negatives, nothing else ("600"); the same text
// under every format (the format is taken for symmetry with the other conversions).
std::string FormatInteger(std::int64_t value, const NumberFormat& format);

}  // namespace calc
