#pragma once
// Fixed4: a signed fixed-point number with exactly four decimals, and its arithmetic.

#include <compare>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace calc {

// A step of the calculation left the range of its number type or divided by zero.
class ArithmeticError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct NumberFormat;  // calc/number_text.h

// A count of ten-thousandths held in one std::int64_t: 2.16 is the count 21600.
// The range is that of std::int64_t divided by ten thousand.
class Fixed4 {
 public:
  static constexpr std::int64_t kScale = 10000;

  constexpr Fixed4() = default;
  static constexpr Fixed4 FromCount(std::int64_t count) {
    Fixed4 value;
    value.count_ = count;
    return value;
  }
  constexpr std::int64_t Count() const { return count_; }

  friend constexpr auto operator<=>(const Fixed4&, const Fixed4&) = default;

 private:
  std::int64_t count_ = 0;
};

// x times ten thousand in double arithmetic, then rounded to the nearest integer with an
// exact half going to the even neighbour (independent of the FP rounding mode).
// Throws ArithmeticError for NaN, infinities and results outside the Fixed4 range.
Fixed4 Fixed4FromDouble(double x);

// The count divided by ten thousand as doubles: exact division rounded to nearest for
// counts up to 2^53; larger counts are first rounded to the nearest double.
double Fixed4ToDouble(Fixed4 value);

// The exact product. Throws ArithmeticError when it leaves the Fixed4 range.
Fixed4 Fixed4MulInt(Fixed4 value, std::int16_t factor);

// The exact product rounded to four decimals, an exact half to the even neighbour.
// Throws ArithmeticError when the rounded product leaves the Fixed4 range.
Fixed4 Fixed4Mul(Fixed4 a, Fixed4 b);

// A minus sign for negatives, the integer part without grouping, then, only when the
// fraction is not zero, the format's decimal separator and one to four fraction digits
// (trailing zeros dropped): 2.16 -> "2,16", 2 -> "2", -0.5 -> "-0,5".
// Throws std::invalid_argument for an unusable separator (see calc/number_text.h).
std::string FormatFixed4(Fixed4 value, const NumberFormat& format);

}  // namespace calc
