#pragma once
// Readers and checkers the fuzzers hold calc's conversions against. They are written a
// different way from calc on purpose (a character loop, decimal strings, exact big
// integers instead of from_chars), so that one mistake cannot hide in both.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace fuzzref {

// What calc accepts as a decimal separator: non-empty, and no byte of it can be read as a
// digit, a sign or a blank.
bool SeparatorUsable(std::string_view separator);

// A number text split into its parts; views into the scanned text.
struct NumberText {
  bool negative = false;
  std::string_view integerDigits;
  std::string_view fractionDigits;
};

// The grammar, byte by byte: blanks* [+|-] digits* [separator digits*] blanks*, blanks
// being spaces and tabs, with at least one digit. nullopt for any other text.
std::optional<NumberText> ScanNumber(std::string_view text, std::string_view separator);

// The value of a number text rounded to four decimals, an exact half to the even
// neighbour, as a count of ten-thousandths; nullopt when it leaves the int64 range.
// Decimal string arithmetic throughout, so texts of any length.
std::optional<std::int64_t> RoundToFixed4(const NumberText& number);

// Empty when `value` is the decimal value of `number` correctly rounded to the nearest
// double (ties to even, overflow to infinity, underflow to a signed zero), else why not.
// Decided exactly with big integers over at most 1000 significant digits plus whether
// any nonzero digit follows; that is enough because a midpoint between two doubles has
// fewer than 800 significant digits.
std::string CheckCorrectlyRounded(const NumberText& number, double value);

// A decimal value: digits without leading or trailing zeros, value = 0.digits x 10^exponent.
// No digits means zero.
struct Decimal {
  bool negative = false;
  std::string digits;
  std::int64_t exponent = 0;

  friend bool operator==(const Decimal&, const Decimal&) = default;
};

// The decimal value of a number text (sign kept, also for zero).
Decimal ValueOf(const NumberText& number);

// The value of a FormatDouble text for a finite double, accepting exactly the forms
// FormatDouble writes: "0"; positional ("-0,025", "56,666") for magnitudes from 0.001 up
// to below 1e15; otherwise one integer digit and an exponent of a sign and two or more
// digits ("5,58E+18", "-1E-04"). At most 15 significant digits, no trailing fraction zeros,
// no bare separator, no "-0". nullopt for any other text; `why` says what was wrong.
std::optional<Decimal> ReadFormattedDouble(std::string_view text, std::string_view separator,
                                           std::string* why);

// The value of a FormatFixed4 text: "-"?, integer digits without leading zeros, then
// optionally the separator and one to four digits not ending in 0. No "-0". nullopt for
// any other text.
std::optional<Decimal> ReadFormattedFixed4(std::string_view text, std::string_view separator);

// The double rounded to 15 significant digits (ties to even) from its exact decimal
// expansion, worked out with big integers; the value FormatDouble must show. `value` must be
// finite. Zero of either sign gives no digits.
Decimal RoundTo15Digits(double value);

// Number of decimals of a value (0 for integers).
std::int64_t DecimalsOf(const Decimal& value);

// Compares |a| with |b|: negative, zero or positive.
int CompareMagnitude(const Decimal& a, const Decimal& b);

// Printable form of a byte string for failure reports: C escapes, cut after `limit` bytes.
std::string Escape(std::string_view bytes, std::size_t limit = 200);

}  // namespace fuzzref
