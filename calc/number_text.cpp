#include "calc/number_text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <limits>
#include <optional>
#include <stdexcept>
#include <system_error>
#include <version>

#include <fast_float/fast_float.h>

namespace calc {
namespace {

__extension__ typedef unsigned __int128 UInt128;

constexpr std::string_view kBlanks = " \t";

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The digits of a number text: integer digits followed by fraction digits, read as one
// sequence with the separator left out.
struct NumberParts {
  bool negative = false;
  std::string_view integerDigits;
  std::string_view fractionDigits;

  std::size_t size() const { return integerDigits.size() + fractionDigits.size(); }
  char operator[](std::size_t i) const {
    return i < integerDigits.size() ? integerDigits[i] : fractionDigits[i - integerDigits.size()];
  }
};

void RequireUsableSeparator(const NumberFormat& format) {
  if (!IsUsableSeparator(format.decimalSeparator)) {
    throw std::invalid_argument("unusable decimal separator");
  }
}

std::string_view TakeDigits(std::string_view& rest) {
  std::size_t n = 0;
  while (n < rest.size() && IsDigit(rest[n])) {
    ++n;
  }
  const std::string_view digits = rest.substr(0, n);
  rest.remove_prefix(n);
  return digits;
}

// The one grammar of number texts; nullopt when the text does not follow it.
std::optional<NumberParts> Scan(std::string_view text, const NumberFormat& format) {
  RequireUsableSeparator(format);
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) {
    return std::nullopt;
  }
  std::string_view rest = text.substr(first, text.find_last_not_of(kBlanks) + 1 - first);

  NumberParts parts;
  if (rest.front() == '+' || rest.front() == '-') {
    parts.negative = rest.front() == '-';
    rest.remove_prefix(1);
  }
  parts.integerDigits = TakeDigits(rest);
  if (rest.starts_with(format.decimalSeparator)) {
    rest.remove_prefix(format.decimalSeparator.size());
    parts.fractionDigits = TakeDigits(rest);
  }
  if (!rest.empty() || parts.size() == 0) {
    return std::nullopt;
  }
  return parts;
}

NumberParts RequireNumber(std::string_view text, const NumberFormat& format) {
  const std::optional<NumberParts> parts = Scan(text, format);
  if (!parts) {
    throw std::invalid_argument("not a number text");
  }
  return *parts;
}

double WithSign(bool negative, double magnitude) {
  return negative ? -magnitude : magnitude;
}

}  // namespace

bool IsUsableSeparator(std::string_view separator) {
  return !separator.empty() && separator.find_first_of("0123456789+- \t") == std::string_view::npos;
}

bool IsNumberText(std::string_view text, const NumberFormat& format) {
  return Scan(text, format).has_value();
}

double ParseNumber(std::string_view text, const NumberFormat& format) {
  const NumberParts parts = RequireNumber(text, format);
  const std::size_t count = parts.size();
  std::size_t first = 0;
  while (first < count && parts[first] == '0') {
    ++first;
  }
  if (first == count) {
    return WithSign(parts.negative, 0.0);
  }

  // The value is 0.DDD... times 10^exponent, D being the digits from the first nonzero one.
  const auto exponent =
      static_cast<std::ptrdiff_t>(parts.integerDigits.size()) - static_cast<std::ptrdiff_t>(first);
  if (exponent > 309) {  // at least 1e309, above the largest double
    return WithSign(parts.negative, std::numeric_limits<double>::infinity());
  }
  if (exponent < -330) {  // below 1e-330, under half the smallest subnormal
    return WithSign(parts.negative, 0.0);
  }

  // A midpoint between two doubles has at most 767 significant digits, so 800 digits and
  // one nonzero digit standing for any nonzero rest round exactly as the whole text does.
  // This also keeps from_chars away from texts of unbounded length.
  constexpr std::size_t kKeptDigits = 800;
  std::array<char, kKeptDigits + 16> buffer{};
  char* out = buffer.data();
  *out++ = '0';
  *out++ = '.';
  std::size_t i = first;
  for (; i < count && i < first + kKeptDigits; ++i) {
    *out++ = parts[i];
  }
  for (; i < count; ++i) {
    if (parts[i] != '0') {
      *out++ = '1';
      break;
    }
  }
  *out++ = 'e';
  out = std::to_chars(out, buffer.data() + buffer.size(), exponent).ptr;

  // fast_float rounds correctly on every standard library; some lack from_chars for doubles.
  double magnitude = 0.0;
  const fast_float::from_chars_result result =
      fast_float::from_chars(static_cast<const char*>(buffer.data()), out, magnitude);
  if (result.ec == std::errc::result_out_of_range) {
    // Newer versions leave the value alone when it rounds to infinity or to zero.
    magnitude = exponent > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  } else if (result.ec != std::errc{} || result.ptr != out) {
    throw std::logic_error("from_chars rejected a normalised number");
  }
  return WithSign(parts.negative, magnitude);
}

Fixed4 ParseFixed4(std::string_view text, const NumberFormat& format) {
  const NumberParts parts = RequireNumber(text, format);
  // Largest magnitude the sign allows: 2^63 for negatives, 2^63 - 1 otherwise.
  const UInt128 limit = (UInt128{1} << 63) - (parts.negative ? 0 : 1);

  UInt128 magnitude = 0;
  for (const char digit : parts.integerDigits) {
    magnitude = magnitude * 10 + static_cast<unsigned>(digit - '0');
    if (magnitude > limit) {  // stops long texts early, and keeps the product below 2^128
      throw ArithmeticError("Fixed4 overflow");
    }
  }
  const std::string_view fraction = parts.fractionDigits;
  for (std::size_t i = 0; i < 4; ++i) {
    magnitude =
        magnitude * 10 + (i < fraction.size() ? static_cast<unsigned>(fraction[i] - '0') : 0);
  }
  if (fraction.size() > 4) {
    const char next = fraction[4];
    const bool restIsZero = fraction.find_first_not_of('0', 5) == std::string_view::npos;
    const bool exactHalf = next == '5' && restIsZero;
    if (next > '5' || (next == '5' && !restIsZero) || (exactHalf && magnitude % 2 != 0)) {
      ++magnitude;
    }
  }
  if (magnitude > limit) {
    throw ArithmeticError("Fixed4 overflow");
  }
  const auto count = static_cast<std::uint64_t>(magnitude);
  // Unsigned negation then conversion: well defined in C++20, and reaches -2^63.
  return Fixed4::FromCount(static_cast<std::int64_t>(parts.negative ? 0 - count : count));
}

namespace {

// The value rounded to 15 significant digits, ties to even, as "-d.ddddddddddddddde+XX";
// the exponent already reflects the rounding.
std::string_view ScientificDigits(double value, std::array<char, 32>& buffer) {
#if defined(__cpp_lib_to_chars)
  const char* const end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                        std::chars_format::scientific, 14)
                              .ptr;
  return {buffer.data(), static_cast<std::size_t>(end - buffer.data())};
#else
  // Only older libc++ (the WebAssembly build) lacks the precision overload of to_chars. Its
  // C library's printf rounds the exact binary value as well, and its locale is always "C",
  // so the radix character is '.'.
  const int length = std::snprintf(buffer.data(), buffer.size(), "%.14e", value);
  return {buffer.data(), static_cast<std::size_t>(length)};
#endif
}

}  // namespace

std::string FormatDouble(double value, const NumberFormat& format) {
  RequireUsableSeparator(format);
  if (std::isnan(value)) {
    return "NaN";
  }
  if (std::isinf(value)) {
    return value > 0 ? "∞" : "-∞";
  }
  if (value == 0) {
    return "0";
  }

  std::array<char, 32> buffer{};
  std::string_view scientific = ScientificDigits(value, buffer);
  const bool negative = scientific.front() == '-';
  if (negative) {
    scientific.remove_prefix(1);
  }
  const std::size_t e = scientific.find('e');
  std::string digits;
  digits += scientific[0];
  digits += scientific.substr(2, e - 2);
  digits.erase(digits.find_last_not_of('0') + 1);
  int exponent = 0;
  const std::string_view exponentText = scientific.substr(e + 1);
  std::from_chars(exponentText.data() + (exponentText.front() == '+' ? 1 : 0),
                  exponentText.data() + exponentText.size(), exponent);

  std::string text = negative ? "-" : "";
  if (exponent >= -3 && exponent <= 14) {
    if (exponent < 0) {
      text += '0';
      text += format.decimalSeparator;
      text.append(static_cast<std::size_t>(-exponent - 1), '0');
      text += digits;
    } else {
      const auto integerCount = static_cast<std::size_t>(exponent) + 1;
      if (digits.size() <= integerCount) {
        text += digits;
        text.append(integerCount - digits.size(), '0');
      } else {
        text += digits.substr(0, integerCount);
        text += format.decimalSeparator;
        text += digits.substr(integerCount);
      }
    }
    return text;
  }

  text += digits[0];
  if (digits.size() > 1) {
    text += format.decimalSeparator;
    text += digits.substr(1);
  }
  text += exponent < 0 ? "E-" : "E+";
  const int exponentMagnitude = exponent < 0 ? -exponent : exponent;
  if (exponentMagnitude < 10) {
    text += '0';
  }
  text += FormatInteger(exponentMagnitude, format);
  return text;
}

std::string FormatInteger(std::int64_t value, const NumberFormat& /*format*/) {
  std::array<char, 24> buffer{};
  const char* const end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value).ptr;
  return std::string(buffer.data(), static_cast<std::size_t>(end - buffer.data()));
}

}  // namespace calc
