#include "calc/fixed4.h"

#include <cmath>
#include <limits>

#include "calc/number_text.h"

namespace calc {
namespace {

__extension__ typedef __int128 Int128;

constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();

Fixed4 FromWide(Int128 count) {
  if (count < kMin || count > kMax) {
    throw ArithmeticError("Fixed4 overflow");
  }
  return Fixed4::FromCount(static_cast<std::int64_t>(count));
}

}  // namespace

Fixed4 Fixed4FromDouble(double x) {
  const double scaled = x * static_cast<double>(Fixed4::kScale);
  if (!std::isfinite(scaled)) {
    throw ArithmeticError("Fixed4 overflow");
  }
  // floor() and the subtraction are exact, so the rounding mode plays no part.
  const double whole = std::floor(scaled);
  const double fraction = scaled - whole;
  // -2^63 is a double; 2^63 is the first double above the range.
  constexpr double kTwoTo63 = 9223372036854775808.0;
  if (whole < -kTwoTo63 || whole >= kTwoTo63) {
    throw ArithmeticError("Fixed4 overflow");
  }
  const auto count = static_cast<std::int64_t>(whole);
  // Only |scaled| < 2^52 has a fraction, so count + 1 cannot overflow here.
  if (fraction > 0.5 || (fraction == 0.5 && count % 2 != 0)) {
    return Fixed4::FromCount(count + 1);
  }
  return Fixed4::FromCount(count);
}

double Fixed4ToDouble(Fixed4 value) {
  return static_cast<double>(value.Count()) / static_cast<double>(Fixed4::kScale);
}

Fixed4 Fixed4MulInt(Fixed4 value, std::int16_t factor) {
  return FromWide(static_cast<Int128>(value.Count()) * factor);
}

Fixed4 Fixed4Mul(Fixed4 a, Fixed4 b) {
  // |a * b| <= 2^126 fits; C++ division truncates toward zero, so round the magnitude.
  const Int128 product = static_cast<Int128>(a.Count()) * b.Count();
  Int128 quotient = product / Fixed4::kScale;
  const Int128 remainder = product % Fixed4::kScale;
  const Int128 twiceRest = 2 * (remainder < 0 ? -remainder : remainder);
  if (twiceRest > Fixed4::kScale || (twiceRest == Fixed4::kScale && quotient % 2 != 0)) {
    quotient += product < 0 ? -1 : 1;
  }
  return FromWide(quotient);
}

std::string FormatFixed4(Fixed4 value, const NumberFormat& format) {
  if (!IsUsableSeparator(format.decimalSeparator)) {
    throw std::invalid_argument("unusable decimal separator");
  }
  const std::int64_t count = value.Count();
  // The magnitude as unsigned, so that the smallest count has one too.
  const std::uint64_t magnitude =
      count < 0 ? 0 - static_cast<std::uint64_t>(count) : static_cast<std::uint64_t>(count);
  const auto scale = static_cast<std::uint64_t>(Fixed4::kScale);
  std::uint64_t fraction = magnitude % scale;

  std::string text = count < 0 ? "-" : "";
  text += FormatInteger(static_cast<std::int64_t>(magnitude / scale), format);
  if (fraction != 0) {
    std::string digits(4, '0');
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
      *it = static_cast<char>('0' + fraction % 10);
      fraction /= 10;
    }
    digits.erase(digits.find_last_not_of('0') + 1);
    text += format.decimalSeparator;
    text += digits;
  }
  return text;
}

}  // namespace calc
