#include "calc/number_text.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace {

using calc::ArithmeticError;
using calc::NumberFormat;

constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr const char* kArabicSeparator = "\xD9\xAB";  // U+066B, two bytes in UTF-8

const NumberFormat kComma{","};
const NumberFormat kPoint{"."};

// Doubles compared with their sign, so that -0.0 differs from 0.0.
void ExpectSameDouble(double actual, double expected) {
  EXPECT_EQ(actual, expected);
  EXPECT_EQ(std::signbit(actual), std::signbit(expected)) << "sign of " << actual;
}

// ---------------------------------------------------------------------------------------
// One grammar for all three readers.

struct GrammarCase {
  const char* name;
  std::string text;
  std::string separator;
  std::optional<double> number;       // nullopt: not a number text
  std::optional<std::int64_t> count;  // nullopt for a number: ParseFixed4 overflows
};

class Grammar : public testing::TestWithParam<GrammarCase> {};

TEST_P(Grammar, AllReadersAgree) {
  const GrammarCase& c = GetParam();
  const NumberFormat format{c.separator};
  ASSERT_EQ(calc::IsNumberText(c.text, format), c.number.has_value());
  if (!c.number) {
    EXPECT_THROW(calc::ParseNumber(c.text, format), std::invalid_argument);
    EXPECT_THROW(calc::ParseFixed4(c.text, format), std::invalid_argument);
    return;
  }
  ExpectSameDouble(calc::ParseNumber(c.text, format), *c.number);
  if (c.count) {
    EXPECT_EQ(calc::ParseFixed4(c.text, format).Count(), *c.count);
  } else {
    EXPECT_THROW(calc::ParseFixed4(c.text, format), ArithmeticError);
  }
}

const GrammarCase kGrammarCases[] = {
    // Accepted shapes.
    {"Integer", "5", ",", 5.0, 50000},
    {"TrailingSeparator", "5,", ",", 5.0, 50000},
    {"LeadingSeparator", ",5", ",", 0.5, 5000},
    {"Negative", "-0,25", ",", -0.25, -2500},
    {"Plus", "+7", ",", 7.0, 70000},
    {"BlanksAround", " \t12,5 \t", ",", 12.5, 125000},
    {"LeadingZeros", "007", ",", 7.0, 70000},
    {"NegativeZero", "-0", ",", -0.0, 0},
    {"NegativeZeroFraction", "-0,00", ",", -0.0, 0},
    {"OneTenth", "0,1", ",", 0.1, 1000},
    {"AreaBound", "999,9999", ",", 999.9999, 9999999},
    {"YieldBound", "1499,99", ",", 1499.99, 14999900},
    // ParseFixed4 rounds the decimal digits, half to even.
    {"HalfToEvenDown", "2,00005", ",", 2.00005, 20000},
    {"HalfToEvenUp", "2,00015", ",", 2.00015, 20002},
    {"AboveHalf", "2,000050000000001", ",", 2.000050000000001, 20001},
    {"BelowHalf", "2,0000499999", ",", 2.0000499999, 20000},
    {"NegativeHalfToEven", "-2,00015", ",", -2.00015, -20002},
    {"NegativeAboveHalf", "-2,00006", ",", -2.00006, -20001},
    {"BelowResolution", "0,00001", ",", 0.00001, 0},
    {"RoundsIntoNextInteger", "9,99995", ",", 9.99995, 100000},
    // The ends of the Fixed4 range.
    {"Fixed4Max", "922337203685477,5807", ",", 922337203685477.5807, kMax},
    {"Fixed4Min", "-922337203685477,5808", ",", -922337203685477.5808, kMin},
    {"Fixed4MinByTie", "-922337203685477,58085", ",", -922337203685477.58085, kMin},
    {"Fixed4MaxByTie", "922337203685477,58065", ",", 922337203685477.58065, kMax - 1},
    {"Fixed4OverMax", "922337203685477,5808", ",", 922337203685477.5808, std::nullopt},
    {"Fixed4OverMaxByTie", "922337203685477,58075", ",", 922337203685477.58075, std::nullopt},
    {"Fixed4UnderMin", "-922337203685477,58086", ",", -922337203685477.58086, std::nullopt},
    {"Fixed4FarOver", "100000000000000000000", ",", 1e20, std::nullopt},
    // Not numbers.
    {"Empty", "", ",", std::nullopt, std::nullopt},
    {"Blanks", " \t ", ",", std::nullopt, std::nullopt},
    {"SignOnly", "-", ",", std::nullopt, std::nullopt},
    {"SeparatorOnly", ",", ",", std::nullopt, std::nullopt},
    {"SignAndSeparator", "+,", ",", std::nullopt, std::nullopt},
    {"PointUnderComma", "1.5", ",", std::nullopt, std::nullopt},
    {"CommaUnderPoint", "1,5", ".", std::nullopt, std::nullopt},
    {"TwoSeparators", "1,5,", ",", std::nullopt, std::nullopt},
    {"DoubledSeparator", "1,,5", ",", std::nullopt, std::nullopt},
    {"Grouping", "1.000,5", ",", std::nullopt, std::nullopt},
    {"BlankGrouping", "1 000", ",", std::nullopt, std::nullopt},
    {"BlankAfterSign", "- 5", ",", std::nullopt, std::nullopt},
    {"TwoSigns", "+-5", ",", std::nullopt, std::nullopt},
    {"TrailingSign", "5-", ",", std::nullopt, std::nullopt},
    {"Exponent", "1e5", ",", std::nullopt, std::nullopt},
    {"ExponentUpper", "1E5", ".", std::nullopt, std::nullopt},
    {"Hex", "0x10", ",", std::nullopt, std::nullopt},
    {"Letters", "abc", ",", std::nullopt, std::nullopt},
    {"TrailingLetter", "12a", ",", std::nullopt, std::nullopt},
    {"Infinity", "inf", ",", std::nullopt, std::nullopt},
    {"InfinitySign", "\xE2\x88\x9E", ",", std::nullopt, std::nullopt},
    {"NaN", "NaN", ",", std::nullopt, std::nullopt},
    {"FullwidthDigit", "\xEF\xBC\x95", ",", std::nullopt, std::nullopt},
    {"NoBreakSpace",
     "\xC2\xA0"
     "5",
     ",", std::nullopt, std::nullopt},
    {"Newline", "5\n", ",", std::nullopt, std::nullopt},
    {"NulInside", std::string("5\0", 2), ",", std::nullopt, std::nullopt},
    // The point as separator.
    {"PointFraction", "1.5", ".", 1.5, 15000},
    {"PointLeading", ".5", ".", 0.5, 5000},
    {"PointTrailing", "-5.", ".", -5.0, -50000},
    // A separator of two bytes.
    {"WideSeparator", std::string("1") + kArabicSeparator + "5", kArabicSeparator, 1.5, 15000},
    {"WideSeparatorLeading", std::string("-") + kArabicSeparator + "25", kArabicSeparator, -0.25,
     -2500},
    {"WideSeparatorHalf",
     std::string("1\xD9"
                 "5"),
     kArabicSeparator, std::nullopt, std::nullopt},
    {"WideSeparatorTwice", std::string("1") + kArabicSeparator + kArabicSeparator + "5",
     kArabicSeparator, std::nullopt, std::nullopt},
    {"CommaUnderWideSeparator", "1,5", kArabicSeparator, std::nullopt, std::nullopt},
    {"WideSeparatorAlone", kArabicSeparator, kArabicSeparator, std::nullopt, std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Table, Grammar, testing::ValuesIn(kGrammarCases),
                         [](const testing::TestParamInfo<GrammarCase>& row) {
                           return std::string(row.param.name);
                         });

TEST(NumberFormat, UnusableSeparatorsAreRefused) {
  const char* const separators[] = {"", "5", "-", "+", " ", "\t", ",5"};
  for (const char* separator : separators) {
    SCOPED_TRACE(testing::Message() << "separator '" << separator << "'");
    const NumberFormat format{separator};
    EXPECT_FALSE(calc::IsUsableSeparator(separator));
    EXPECT_THROW(calc::IsNumberText("5", format), std::invalid_argument);
    EXPECT_THROW(calc::ParseNumber("5", format), std::invalid_argument);
    EXPECT_THROW(calc::ParseFixed4("5", format), std::invalid_argument);
    EXPECT_THROW(calc::FormatDouble(0.5, format), std::invalid_argument);
    EXPECT_THROW(calc::FormatFixed4(calc::Fixed4::FromCount(5000), format), std::invalid_argument);
  }
  for (const char* separator : {",", ".", kArabicSeparator, "\xC2\xB7", "dec"}) {
    EXPECT_TRUE(calc::IsUsableSeparator(separator)) << separator;
  }
}

// ---------------------------------------------------------------------------------------
// Long texts, read exactly.

// The exact decimal text of mantissa * 2^exponent, as digits with the separator.
std::string ExactDecimal(std::uint64_t mantissa, int exponent, std::string_view separator) {
  std::vector<int> digits;  // least significant first
  for (std::uint64_t m = mantissa; m != 0; m /= 10) {
    digits.push_back(static_cast<int>(m % 10));
  }
  // m * 2^-k is m * 5^k / 10^k.
  const int factor = exponent >= 0 ? 2 : 5;
  for (int i = 0; i < std::abs(exponent); ++i) {
    int carry = 0;
    for (int& d : digits) {
      const int product = d * factor + carry;
      d = product % 10;
      carry = product / 10;
    }
    if (carry != 0) {
      digits.push_back(carry);
    }
  }
  const auto fractionDigits = static_cast<std::size_t>(exponent < 0 ? -exponent : 0);
  while (digits.size() <= fractionDigits) {
    digits.push_back(0);
  }
  std::string text;
  for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
    if (static_cast<std::size_t>(digits.rend() - it) == fractionDigits) {
      text += separator;
    }
    text += static_cast<char>('0' + *it);
  }
  return text;
}

TEST(ExactDecimal, HelperWritesExactValues) {
  EXPECT_EQ(ExactDecimal(3, -2, ","), "0,75");
  EXPECT_EQ(ExactDecimal(5, 3, ","), "40");
  EXPECT_EQ(ExactDecimal(1, -4, "."), "0.0625");
}

TEST(ParseNumber, RoundsLongTextsCorrectly) {
  constexpr std::uint64_t kTwo53 = std::uint64_t{1} << 53;
  const double max = std::numeric_limits<double>::max();
  const double tiny = std::numeric_limits<double>::denorm_min();
  const double afterOne = std::nextafter(1.0, 2.0);

  // Exact midpoints between neighbouring doubles; a trailing 1 anywhere tips them over.
  const std::string midOne = ExactDecimal(kTwo53 + 1, -53, ",");       // 1 + 2^-53
  const std::string midAfterOne = ExactDecimal(kTwo53 + 3, -53, ",");  // odd/even neighbours
  const std::string midTiny = ExactDecimal(1, -1075, ",");  // between 0 and the least subnormal
  const std::string midTiny3 = ExactDecimal(3, -1075, ",");
  const std::string midMax = ExactDecimal((std::uint64_t{1} << 54) - 1, 970, ",");  // max..2^1024
  const std::string belowMidMax = ExactDecimal((std::uint64_t{1} << 55) - 3, 969, ",");
  const std::string zeros5000(5000, '0');

  struct Case {
    const char* name;
    std::string text;
    double expected;
  };
  const Case cases[] = {
      {"midpoint after 1, to even", midOne, 1.0},
      {"midpoint after 1, tipped", midOne + "1", afterOne},
      {"midpoint after 1, tipped 5000 digits on", midOne + zeros5000 + "1", afterOne},
      {"midpoint after 1, 5000 zeros on", midOne + zeros5000, 1.0},
      {"midpoint, thousand digits, tipped at the last",
       midOne + std::string(1000 - midOne.size(), '0') + "1", afterOne},
      {"midpoint, to even upwards", midAfterOne, std::nextafter(afterOne, 2.0)},
      {"leading zeros before a midpoint", std::string(3000, '0') + midOne, 1.0},
      {"half the least subnormal, to zero", midTiny, 0.0},
      {"half the least subnormal, tipped", midTiny + "1", tiny},
      {"negative half the least subnormal", "-" + midTiny, -0.0},
      {"one and a half least subnormals", midTiny3, 2 * tiny},
      {"least subnormal by its short text", "0," + std::string(323, '0') + "5", tiny},
      {"midpoint of max and 2^1024, to infinity", midMax, kInf},
      {"negative midpoint above max", "-" + midMax + ",0", -kInf},
      {"just below that midpoint", belowMidMax, max},
  };
  ASSERT_EQ(cases[4].text.size(), 1001u);  // 1000 digits and the separator
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ExpectSameDouble(calc::ParseNumber(c.text, kComma), c.expected);
  }
}

TEST(ParseFixed4, RoundsThousandDigitTextsExactly) {
  const std::string half = "2,00005" + std::string(994, '0');  // 1000 digits
  ASSERT_EQ(half.size(), 1001u);
  EXPECT_EQ(calc::ParseFixed4(half, kComma).Count(), 20000);
  EXPECT_EQ(calc::ParseFixed4(half + "1", kComma).Count(), 20001);
  EXPECT_EQ(calc::ParseFixed4("-" + half + "1", kComma).Count(), -20001);
  EXPECT_EQ(calc::ParseFixed4("2,00004" + std::string(994, '9'), kComma).Count(), 20000);
}

TEST(NumberText, MillionCharacterTexts) {
  constexpr std::size_t kMillion = 1000000;
  const std::string zeros(kMillion, '0');
  struct Case {
    const char* name;
    std::string text;
    double number;
    std::optional<std::int64_t> count;  // nullopt: ParseFixed4 overflows
  };
  const Case cases[] = {
      {"leading zeros", zeros + "1,5", 1.5, 15000},
      {"blanks around", std::string(kMillion, ' ') + "5" + std::string(kMillion, '\t'), 5.0, 50000},
      {"long fraction tipping a half", "0,00005" + zeros + "1", 0.00005, 1},
      {"one at the far end of the fraction", "0," + zeros + "1", 0.0, 0},
      {"negative one at the far end", "-0," + zeros + "1", -0.0, 0},
      {"a million-digit integer", "1" + zeros, kInf, std::nullopt},
      {"a million nines, negative", "-" + std::string(kMillion, '9'), -kInf, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_TRUE(calc::IsNumberText(c.text, kComma));
    ExpectSameDouble(calc::ParseNumber(c.text, kComma), c.number);
    if (c.count) {
      EXPECT_EQ(calc::ParseFixed4(c.text, kComma).Count(), *c.count);
    } else {
      EXPECT_THROW(calc::ParseFixed4(c.text, kComma), ArithmeticError);
    }
  }
  EXPECT_FALSE(calc::IsNumberText(std::string(kMillion, '7') + "x", kComma));
  EXPECT_FALSE(calc::IsNumberText(zeros + "," + zeros + "," + "1", kComma));
}

// ---------------------------------------------------------------------------------------
// Printing.

struct FormatCase {
  const char* name;
  double value;
  std::string separator;
  std::string text;
};

class FormatDoubleTable : public testing::TestWithParam<FormatCase> {};

TEST_P(FormatDoubleTable, Prints) {
  const FormatCase& c = GetParam();
  EXPECT_EQ(calc::FormatDouble(c.value, NumberFormat{c.separator}), c.text);
}

const FormatCase kFormatCases[] = {
    {"ResultCo2", 0.151, ",", "0,151"},
    {"DropsTrailingZero", 0.36, ",", "0,36"},
    {"ResultSo2", 6.12, ",", "6,12"},
    {"ThreeDecimals", 56.666, ",", "56,666"},
    {"Whole", 5.0, ",", "5"},
    {"Zero", 0.0, ",", "0"},
    {"NegativeZero", -0.0, ",", "0"},
    {"NearestTo0021", 0.021, ",", "0,021"},
    {"SumOfTenths", 0.1 + 0.2, ",", "0,3"},
    {"OneThird", 1.0 / 3.0, ",", "0,333333333333333"},
    {"TwoThirds", 2.0 / 3.0, ",", "0,666666666666667"},
    {"Negative", -1234.5, ",", "-1234,5"},
    {"WholeWithZeros", 1394990.0, ",", "1394990"},
    {"Rounded15Digits", 123456789012345.6, ",", "123456789012346"},
    {"TieToEvenDown", 100000000000000.5, ",", "100000000000000"},
    {"TieToEvenUp", 100000000000001.5, ",", "100000000000002"},
    {"LargestPositional", 999999999999999.0, ",", "999999999999999"},
    {"RoundsUpToExponent", 999999999999999.9, ",", "1E+15"},
    {"Exponent15", 1e15, ",", "1E+15"},
    {"ExponentResult", 5.58e18, ",", "5,58E+18"},
    {"ExponentThreeDigits", 1e100, ",", "1E+100"},
    {"Largest", std::numeric_limits<double>::max(), ",", "1,79769313486232E+308"},
    {"SmallestPositional", 0.001, ",", "0,001"},
    {"RoundsUpToPositional", std::nextafter(0.001, 0.0), ",", "0,001"},
    {"JustBelowPositional", 0.000999, ",", "9,99E-04"},
    {"SmallExponent", 0.0001, ",", "1E-04"},
    {"NegativeSmall", -1.5e-7, ",", "-1,5E-07"},
    {"LeastSubnormal", std::numeric_limits<double>::denorm_min(), ",", "4,94065645841247E-324"},
    {"NaN", std::numeric_limits<double>::quiet_NaN(), ",", "NaN"},
    {"Infinity", kInf, ",", "\xE2\x88\x9E"},
    {"NegativeInfinity", -kInf, ",", "-\xE2\x88\x9E"},
    {"Point", 56.666, ".", "56.666"},
    {"PointExponent", 5.58e18, ".", "5.58E+18"},
    {"WideSeparator", 0.021, kArabicSeparator, std::string("0") + kArabicSeparator + "021"},
};

INSTANTIATE_TEST_SUITE_P(Table, FormatDoubleTable, testing::ValuesIn(kFormatCases),
                         [](const testing::TestParamInfo<FormatCase>& row) {
                           return std::string(row.param.name);
                         });

TEST(FormatInteger, PlainDigits) {
  EXPECT_EQ(calc::FormatInteger(600, kComma), "600");
  EXPECT_EQ(calc::FormatInteger(-5, kComma), "-5");
  EXPECT_EQ(calc::FormatInteger(0, kPoint), "0");
  EXPECT_EQ(calc::FormatInteger(1000000, kComma), "1000000");
  EXPECT_EQ(calc::FormatInteger(kMin, kComma), "-9223372036854775808");
  EXPECT_EQ(calc::FormatInteger(kMax, kComma), "9223372036854775807");
}

}  // namespace
