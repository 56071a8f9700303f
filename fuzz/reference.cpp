#include "fuzz/reference.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>
#include <vector>

namespace fuzzref {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Just enough of an unsigned big integer to compare M x 10^q with H x 2^s exactly.
class BigInt {
 public:
  explicit BigInt(std::uint64_t value = 0) {
    while (value != 0) {
      limbs_.push_back(static_cast<std::uint32_t>(value));
      value >>= 32;
    }
  }

  static BigInt FromDigits(std::string_view digits) {
    BigInt result;
    for (std::size_t i = 0; i < digits.size(); i += 9) {
      const std::string_view chunk = digits.substr(i, 9);
      std::uint32_t part = 0;
      std::uint32_t scale = 1;
      for (const char c : chunk) {
        part = part * 10 + static_cast<std::uint32_t>(c - '0');
        scale *= 10;
      }
      result.MulAdd(scale, part);
    }
    return result;
  }

  // this = this * factor + addend
  void MulAdd(std::uint32_t factor, std::uint32_t addend) {
    std::uint64_t carry = addend;
    for (std::uint32_t& limb : limbs_) {
      const std::uint64_t product = std::uint64_t{limb} * factor + carry;
      limb = static_cast<std::uint32_t>(product);
      carry = product >> 32;
    }
    if (carry != 0) {
      limbs_.push_back(static_cast<std::uint32_t>(carry));
    }
  }

  void MulPow10(std::int64_t n) {
    for (; n >= 9; n -= 9) {
      MulAdd(1'000'000'000, 0);
    }
    for (; n > 0; --n) {
      MulAdd(10, 0);
    }
  }

  void MulPow5(std::int64_t n) {
    for (; n >= 13; n -= 13) {
      MulAdd(1'220'703'125, 0);  // 5^13, the largest power of 5 below 2^32
    }
    for (; n > 0; --n) {
      MulAdd(5, 0);
    }
  }

  void MulPow2(std::int64_t n) {
    if (limbs_.empty()) {
      return;
    }
    limbs_.insert(limbs_.begin(), static_cast<std::size_t>(n / 32), 0);
    const auto bits = static_cast<unsigned>(n % 32);
    if (bits != 0) {
      std::uint32_t carry = 0;
      for (std::uint32_t& limb : limbs_) {
        const std::uint32_t next = limb >> (32 - bits);
        limb = (limb << bits) | carry;
        carry = next;
      }
      if (carry != 0) {
        limbs_.push_back(carry);
      }
    }
  }

  // The decimal digits, without leading zeros; "" for zero. Schoolbook division by 10^9.
  std::string ToDigits() const {
    std::vector<std::uint32_t> rest = limbs_;
    std::vector<std::uint32_t> chunks;  // base 10^9, least significant first
    while (!rest.empty()) {
      std::uint64_t remainder = 0;
      for (std::size_t i = rest.size(); i-- > 0;) {
        const std::uint64_t current = (remainder << 32) | rest[i];
        rest[i] = static_cast<std::uint32_t>(current / 1'000'000'000);
        remainder = current % 1'000'000'000;
      }
      while (!rest.empty() && rest.back() == 0) {
        rest.pop_back();
      }
      chunks.push_back(static_cast<std::uint32_t>(remainder));
    }
    std::string digits;
    for (std::size_t i = chunks.size(); i-- > 0;) {
      std::string chunk = std::to_string(chunks[i]);
      if (i + 1 != chunks.size()) {
        chunk.insert(0, 9 - chunk.size(), '0');
      }
      digits += chunk;
    }
    return digits;
  }

  friend int Compare(const BigInt& a, const BigInt& b) {
    if (a.limbs_.size() != b.limbs_.size()) {
      return a.limbs_.size() < b.limbs_.size() ? -1 : 1;
    }
    for (std::size_t i = a.limbs_.size(); i-- > 0;) {
      if (a.limbs_[i] != b.limbs_[i]) {
        return a.limbs_[i] < b.limbs_[i] ? -1 : 1;
      }
    }
    return 0;
  }

 private:
  std::vector<std::uint32_t> limbs_;  // least significant first, no zero limb on top
};

// Sign of m x 10^q - h x 2^s.
int CompareScaled(BigInt m, std::int64_t q, BigInt h, std::int64_t s) {
  if (q >= 0) {
    m.MulPow10(q);
  } else {
    h.MulPow10(-q);
  }
  if (s >= 0) {
    h.MulPow2(s);
  } else {
    m.MulPow2(-s);
  }
  return Compare(m, h);
}

// The integer and fraction digits of a number text, read as one sequence.
class DigitSequence {
 public:
  explicit DigitSequence(const NumberText& number)
      : integer_(number.integerDigits), fraction_(number.fractionDigits) {}
  std::size_t size() const { return integer_.size() + fraction_.size(); }
  std::size_t IntegerSize() const { return integer_.size(); }
  char operator[](std::size_t i) const {
    return i < integer_.size() ? integer_[i] : fraction_[i - integer_.size()];
  }
  std::size_t FirstNonzero(std::size_t from) const {
    for (std::size_t i = from; i < size(); ++i) {
      if ((*this)[i] != '0') {
        return i;
      }
    }
    return size();
  }

 private:
  std::string_view integer_;
  std::string_view fraction_;
};

}  // namespace

bool SeparatorUsable(std::string_view separator) {
  if (separator.empty()) {
    return false;
  }
  for (const char c : separator) {
    if (IsDigit(c) || IsBlank(c) || c == '+' || c == '-') {
      return false;
    }
  }
  return true;
}

std::optional<NumberText> ScanNumber(std::string_view text, std::string_view separator) {
  enum class State { kLeading, kInteger, kFraction, kTrailing };
  NumberText number;
  State state = State::kLeading;
  std::size_t begin = 0;  // where the digits of the current part start
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    switch (state) {
      case State::kLeading:
        if (IsBlank(c)) {
          ++i;
          break;
        }
        if (c == '+' || c == '-') {
          number.negative = c == '-';
          ++i;
        }
        state = State::kInteger;
        begin = i;
        break;
      case State::kInteger:
        if (IsDigit(c)) {
          ++i;
          break;
        }
        number.integerDigits = text.substr(begin, i - begin);
        if (text.substr(i, separator.size()) == separator) {
          i += separator.size();
          state = State::kFraction;
          begin = i;
        } else {
          state = State::kTrailing;
        }
        break;
      case State::kFraction:
        if (IsDigit(c)) {
          ++i;
          break;
        }
        number.fractionDigits = text.substr(begin, i - begin);
        state = State::kTrailing;
        break;
      case State::kTrailing:
        if (!IsBlank(c)) {
          return std::nullopt;
        }
        ++i;
        break;
    }
  }
  if (state == State::kLeading) {
    return std::nullopt;
  }
  if (state == State::kInteger) {
    number.integerDigits = text.substr(begin);
  } else if (state == State::kFraction) {
    number.fractionDigits = text.substr(begin);
  }
  if (number.integerDigits.empty() && number.fractionDigits.empty()) {
    return std::nullopt;
  }
  return number;
}

std::optional<std::int64_t> RoundToFixed4(const NumberText& number) {
  std::string_view integer = number.integerDigits;
  integer.remove_prefix(std::min(integer.find_first_not_of('0'), integer.size()));
  if (integer.size() > 16) {  // at least 10^16, so at least 10^20 ten-thousandths
    return std::nullopt;
  }
  // The count as a decimal string: integer digits, then exactly four fraction digits.
  std::string count(integer);
  const std::string_view fraction = number.fractionDigits;
  for (std::size_t i = 0; i < 4; ++i) {
    count += i < fraction.size() ? fraction[i] : '0';
  }
  const char next = fraction.size() > 4 ? fraction[4] : '0';
  const bool restNonzero =
      fraction.size() > 5 && fraction.substr(5).find_first_not_of('0') != std::string_view::npos;
  const bool lastOdd = (count.back() - '0') % 2 == 1;
  if (next > '5' || (next == '5' && (restNonzero || lastOdd))) {
    std::size_t i = count.size();
    while (i > 0 && count[i - 1] == '9') {
      count[--i] = '0';
    }
    if (i == 0) {
      count.insert(count.begin(), '1');
    } else {
      ++count[i - 1];
    }
  }
  count.erase(0, std::min(count.find_first_not_of('0'), count.size() - 1));
  const std::string_view limit = number.negative ? "9223372036854775808" : "9223372036854775807";
  if (count.size() > limit.size() || (count.size() == limit.size() && count > limit)) {
    return std::nullopt;
  }
  std::uint64_t magnitude = 0;
  for (const char c : count) {
    magnitude = magnitude * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return static_cast<std::int64_t>(number.negative ? 0 - magnitude : magnitude);
}

std::string CheckCorrectlyRounded(const NumberText& number, double value) {
  if (std::isnan(value)) {
    return "NaN";
  }
  if (std::signbit(value) != number.negative) {
    return "sign differs from the text's";
  }
  const double magnitude = std::fabs(value);
  const DigitSequence digits(number);
  const std::size_t first = digits.FirstNonzero(0);
  if (first == digits.size()) {
    return magnitude == 0 ? "" : "a zero text gave a nonzero value";
  }
  // The text's value is 0.d1d2d3... x 10^exponent with d1 its first nonzero digit.
  const auto exponent =
      static_cast<std::int64_t>(digits.IntegerSize()) - static_cast<std::int64_t>(first);
  if (exponent > 400) {
    return std::isinf(magnitude) ? "" : "at least 1e399 must give infinity";
  }
  if (exponent < -400) {
    return magnitude == 0 ? "" : "below 1e-400 must give zero";
  }

  constexpr std::size_t kKept = 1000;
  const std::size_t keptCount = std::min(kKept, digits.size() - first);
  std::string kept;
  kept.reserve(keptCount);
  for (std::size_t i = first; i < first + keptCount; ++i) {
    kept += digits[i];
  }
  // With more digits beyond, low < value < high, and no midpoint lies strictly between
  // them: every midpoint near the value is a multiple of the last kept digit's unit.
  const bool sticky = digits.FirstNonzero(first + keptCount) != digits.size();
  const BigInt low = BigInt::FromDigits(kept);
  BigInt high = low;
  if (sticky) {
    high.MulAdd(1, 1);
  }
  const std::int64_t scale = exponent - static_cast<std::int64_t>(keptCount);

  if (std::isinf(magnitude)) {
    // The midpoint between the largest double and 2^1024; a tie goes to infinity.
    const BigInt threshold((std::uint64_t{1} << 54) - 1);
    return CompareScaled(low, scale, threshold, 970) >= 0 ? "" : "infinity for a finite value";
  }

  int binaryExponent = 0;
  const double fraction = std::frexp(magnitude, &binaryExponent);
  auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
  std::int64_t power = binaryExponent - 53;
  if (magnitude == 0) {
    power = -1074;
  } else if (power < -1074) {
    mantissa >>= (-1074 - power);
    power = -1074;
  }
  const bool even = mantissa % 2 == 0;

  // Upper midpoint (2m + 1) x 2^(p - 1).
  const int aboveUpper = CompareScaled(high, scale, BigInt(2 * mantissa + 1), power - 1);
  if (sticky ? aboveUpper > 0 : (aboveUpper > 0 || (aboveUpper == 0 && !even))) {
    return "value too small: the text lies above its upper midpoint";
  }
  if (mantissa == 0) {
    return "";
  }
  // Lower midpoint; at a power of two the double below is half as far away.
  const bool binadeStart = mantissa == (std::uint64_t{1} << 52) && power > -1074;
  const int aboveLower =
      binadeStart ? CompareScaled(low, scale, BigInt((std::uint64_t{1} << 54) - 1), power - 2)
                  : CompareScaled(low, scale, BigInt(2 * mantissa - 1), power - 1);
  if (sticky ? aboveLower < 0 : (aboveLower < 0 || (aboveLower == 0 && !even))) {
    return "value too large: the text lies below its lower midpoint";
  }
  return "";
}

Decimal ValueOf(const NumberText& number) {
  const DigitSequence digits(number);
  Decimal value;
  value.negative = number.negative;
  const std::size_t first = digits.FirstNonzero(0);
  std::size_t last = digits.size();
  while (last > first && digits[last - 1] == '0') {
    --last;
  }
  for (std::size_t i = first; i < last; ++i) {
    value.digits += digits[i];
  }
  value.exponent = value.digits.empty() ? 0
                                        : static_cast<std::int64_t>(digits.IntegerSize()) -
                                              static_cast<std::int64_t>(first);
  return value;
}

namespace {

std::string_view TakeDigits(std::string_view& rest) {
  std::size_t n = 0;
  while (n < rest.size() && IsDigit(rest[n])) {
    ++n;
  }
  const std::string_view taken = rest.substr(0, n);
  rest.remove_prefix(n);
  return taken;
}

// Value of integer digits `whole`, fraction digits `fraction`, times 10^power.
Decimal MakeDecimal(bool negative, std::string_view whole, std::string_view fraction,
                    std::int64_t power) {
  NumberText number{negative, whole, fraction};
  Decimal value = ValueOf(number);
  if (!value.digits.empty()) {
    value.exponent += power;
  }
  return value;
}

}  // namespace

std::optional<Decimal> ReadFormattedDouble(std::string_view text, std::string_view separator,
                                           std::string* why) {
  auto fail = [why](const char* reason) -> std::optional<Decimal> {
    *why = reason;
    return std::nullopt;
  };
  if (text == "0") {
    return Decimal{};
  }
  std::string_view rest = text;
  const bool negative = rest.starts_with('-');
  if (negative) {
    rest.remove_prefix(1);
  }
  const std::string_view whole = TakeDigits(rest);
  if (whole.empty()) {
    return fail("no integer digit");
  }
  std::string_view fraction;
  if (rest.starts_with(separator)) {
    rest.remove_prefix(separator.size());
    fraction = TakeDigits(rest);
    if (fraction.empty()) {
      return fail("separator without fraction digits");
    }
    if (fraction.back() == '0') {
      return fail("trailing fraction zero");
    }
  }
  const bool scientific = rest.starts_with('E');
  std::int64_t power = 0;
  if (scientific) {
    rest.remove_prefix(1);
    if (!rest.starts_with('+') && !rest.starts_with('-')) {
      return fail("exponent without sign");
    }
    const bool negativePower = rest.front() == '-';
    rest.remove_prefix(1);
    const std::string_view powerDigits = TakeDigits(rest);
    if (powerDigits.size() < 2 || powerDigits.size() > 3 ||
        (powerDigits.size() == 3 && powerDigits.front() == '0')) {
      return fail("exponent not two or three digits without a needless zero");
    }
    for (const char c : powerDigits) {
      power = power * 10 + (c - '0');
    }
    if (negativePower) {
      power = -power;
    }
  }
  if (!rest.empty()) {
    return fail("text after the number");
  }

  const Decimal value = MakeDecimal(negative, whole, fraction, power);
  if (value.digits.empty()) {
    return fail("zero written other than \"0\"");
  }
  if (value.digits.size() > 15) {
    return fail("more than 15 significant digits");
  }
  // 0.001 <= |value| < 1e15 exactly when the exponent of 0.ddd x 10^e is in [-2, 15].
  const bool plainRange = value.exponent >= -2 && value.exponent <= 15;
  if (scientific) {
    if (whole.size() != 1 || whole.front() == '0') {
      return fail("mantissa not one nonzero integer digit");
    }
    if (plainRange) {
      return fail("exponent form inside the plain range");
    }
  } else {
    if (!plainRange) {
      return fail("positional form outside the plain range");
    }
    if (whole.size() > 1 && whole.front() == '0') {
      return fail("leading zero");
    }
  }
  return value;
}

std::optional<Decimal> ReadFormattedFixed4(std::string_view text, std::string_view separator) {
  std::string_view rest = text;
  const bool negative = rest.starts_with('-');
  if (negative) {
    rest.remove_prefix(1);
  }
  const std::string_view whole = TakeDigits(rest);
  if (whole.empty() || whole.size() > 15 || (whole.size() > 1 && whole.front() == '0')) {
    return std::nullopt;
  }
  std::string_view fraction;
  if (rest.starts_with(separator)) {
    rest.remove_prefix(separator.size());
    fraction = TakeDigits(rest);
    if (fraction.empty() || fraction.size() > 4 || fraction.back() == '0') {
      return std::nullopt;
    }
  }
  if (!rest.empty()) {
    return std::nullopt;
  }
  const Decimal value = MakeDecimal(negative, whole, fraction, 0);
  if (negative && value.digits.empty()) {
    return std::nullopt;
  }
  return value;
}

Decimal RoundTo15Digits(double value) {
  // The double is exactly m x 2^p: m x 2^p itself for p >= 0, else m x 5^-p x 10^p, so its
  // every decimal digit comes out of one big integer.
  int binaryExponent = 0;
  const double fraction = std::frexp(std::fabs(value), &binaryExponent);
  BigInt scaled(static_cast<std::uint64_t>(std::ldexp(fraction, 53)));
  const std::int64_t power = binaryExponent - 53;
  std::int64_t decimalPower = 0;
  if (power >= 0) {
    scaled.MulPow2(power);
  } else {
    scaled.MulPow5(-power);
    decimalPower = power;
  }
  std::string digits = scaled.ToDigits();  // the value is digits x 10^decimalPower
  Decimal rounded;
  rounded.negative = std::signbit(value);
  if (digits.empty()) {
    return rounded;
  }
  rounded.exponent = static_cast<std::int64_t>(digits.size()) + decimalPower;

  if (digits.size() > 15) {
    const char next = digits[15];
    const bool restNonzero = digits.find_first_not_of('0', 16) != std::string::npos;
    const bool lastOdd = (digits[14] - '0') % 2 == 1;
    digits.resize(15);
    if (next > '5' || (next == '5' && (restNonzero || lastOdd))) {
      std::size_t i = digits.size();
      while (i > 0 && digits[i - 1] == '9') {
        digits[--i] = '0';
      }
      if (i == 0) {
        digits.insert(digits.begin(), '1');  // 999...9 became 1000...0: one digit more
        ++rounded.exponent;
      } else {
        ++digits[i - 1];
      }
    }
  }
  digits.erase(digits.find_last_not_of('0') + 1);
  rounded.digits = digits;
  return rounded;
}

std::int64_t DecimalsOf(const Decimal& value) {
  return std::max<std::int64_t>(0, static_cast<std::int64_t>(value.digits.size()) - value.exponent);
}

int CompareMagnitude(const Decimal& a, const Decimal& b) {
  if (a.digits.empty() || b.digits.empty()) {
    return (a.digits.empty() ? 0 : 1) - (b.digits.empty() ? 0 : 1);
  }
  if (a.exponent != b.exponent) {
    return a.exponent < b.exponent ? -1 : 1;
  }
  const int order = a.digits.compare(b.digits);
  return (order > 0) - (order < 0);
}

std::string Escape(std::string_view bytes, std::size_t limit) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  for (const char c : bytes.substr(0, limit)) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7f && c != '\\' && c != '"') {
      out += c;
    } else {
      out += "\\x";
      out += kHex[byte >> 4];
      out += kHex[byte & 0xf];
    }
  }
  if (bytes.size() > limit) {
    out += "...(" + std::to_string(bytes.size()) + " bytes)";
  }
  return out;
}

}  // namespace fuzzref
