#include "calc/fixed4.h"

#include <cstdint>
#include <limits>
#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include "calc/number_text.h"

namespace calc {
// Failure messages show the count rather than raw bytes.
void PrintTo(const Fixed4& value, std::ostream* os) {
  *os << "Fixed4{" << value.Count() << "}";
}
}  // namespace calc

namespace {

using calc::ArithmeticError;
using calc::Fixed4;

constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();

Fixed4 F(std::int64_t count) {
  return Fixed4::FromCount(count);
}

TEST(Fixed4FromDouble, MultipliesAsDoubleThenRoundsHalfToEven) {
  struct Case {
    double x;
    std::int64_t count;
  };
  const Case cases[] = {
      {2.16, 21600},
      {1.99998, 20000},  // 19999.8 rounds up
      {0.00005, 0},      // x * 10000 is exactly 0.5: to even, down
      {0.00025, 2},      // exactly 2.5: to even, down (std::round would give 3)
      {0.00035, 4},      // exactly 3.5: to even, up
      {0.00015, 1},      // the double product is 1.4999999999999998, not a half
      {-0.00005, 0},
      {-0.00025, -2},
      {-0.00035, -4},
      {-1.99998, -20000},
      {0.1 + 0.2, 3000},                         // 3000.0000000000005
      {922337203685477.5, 9223372036854774784},  // the product rounds as a double first
      {-922337203685477.5808, kMin},             // the product is exactly -2^63
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "x = " << c.x);
    EXPECT_EQ(calc::Fixed4FromDouble(c.x), F(c.count));
  }
}

TEST(Fixed4FromDouble, RejectsWhatFixed4CannotHold) {
  const double cases[] = {
      922337203685477.5808,  // the product is exactly 2^63
      -1e15,
      1e300,
      std::numeric_limits<double>::infinity(),
      -std::numeric_limits<double>::infinity(),
      std::numeric_limits<double>::quiet_NaN(),
  };
  for (const double x : cases) {
    SCOPED_TRACE(testing::Message() << "x = " << x);
    EXPECT_THROW(calc::Fixed4FromDouble(x), ArithmeticError);
  }
}

TEST(Fixed4ToDouble, DividesTheCountByTenThousand) {
  EXPECT_EQ(calc::Fixed4ToDouble(F(21600)), 2.16);
  EXPECT_EQ(calc::Fixed4ToDouble(F(-53999995)), -5399.9995);
  EXPECT_EQ(calc::Fixed4ToDouble(F(1)), 0.0001);
  EXPECT_EQ(calc::Fixed4ToDouble(F(0)), 0.0);
}

TEST(Fixed4MulInt, IsExactAndThrowsOutsideTheRange) {
  EXPECT_EQ(calc::Fixed4MulInt(F(21600), 1000), F(21600000));
  EXPECT_EQ(calc::Fixed4MulInt(F(6000000000), 930), F(5580000000000));
  EXPECT_EQ(calc::Fixed4MulInt(F(-3), std::numeric_limits<std::int16_t>::min()), F(98304));
  EXPECT_EQ(calc::Fixed4MulInt(F(kMin), 1), F(kMin));
  EXPECT_EQ(calc::Fixed4MulInt(F(kMax / 96), 96), F(kMax / 96 * 96));

  EXPECT_THROW(calc::Fixed4MulInt(F(kMax / 96 + 1), 96), ArithmeticError);
  EXPECT_THROW(calc::Fixed4MulInt(F(kMin), -1), ArithmeticError);
  EXPECT_THROW(calc::Fixed4MulInt(F(kMin / 2 - 1), 2), ArithmeticError);
}

TEST(Fixed4Mul, RoundsTheExactProductHalfToEven) {
  struct Case {
    std::int64_t a, b, product;
  };
  const Case cases[] = {
      {21600, 10000, 21600},          // 2.16 x 1
      {54000, 9999999, 53999995},     // 5.4 x 999.9999 = 5399.99946
      {21600000, 100000, 216000000},  // 2160 x 10
      {1, 5000, 0},                   // 0.00005: to even, down
      {3, 5000, 2},                   // 0.00015: to even, up
      {1, 5001, 1},                   // just above a half
      {-1, 5000, 0},                  // the same ties below zero
      {-3, 5000, -2},
      {-1, 6000, -1},
      {3, -4999, -1},
      {600000, 1, 60},      // 60 x 0.0001
      {kMin, 10000, kMin},  // x 1 is exact at the bottom of the range
      {kMax, 10000, kMax},
      {kMax, 5000, kMax / 2 + 1},                 // ...3,5 rounds to the even ...4
      {3037000500, 3037000500, 922337203700025},  // needs more than 64 bits in between
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.a << " x " << c.b);
    EXPECT_EQ(calc::Fixed4Mul(F(c.a), F(c.b)), F(c.product));
    EXPECT_EQ(calc::Fixed4Mul(F(c.b), F(c.a)), F(c.product));
  }
}

TEST(Fixed4Mul, ThrowsWhenTheRoundedProductLeavesTheRange) {
  EXPECT_THROW(calc::Fixed4Mul(F(kMax), F(20000)), ArithmeticError);
  EXPECT_THROW(calc::Fixed4Mul(F(kMin), F(-10000)), ArithmeticError);
  EXPECT_THROW(calc::Fixed4Mul(F(kMin), F(kMin)), ArithmeticError);
  EXPECT_THROW(calc::Fixed4Mul(F(kMax), F(10001)), ArithmeticError);
  // Exactly -2^63 after rounding is still inside.
  EXPECT_EQ(calc::Fixed4Mul(F(kMin / 2), F(20000)), F(kMin));
}

TEST(FormatFixed4, WritesOneToFourFractionDigits) {
  struct Case {
    std::int64_t count;
    const char* separator;
    const char* text;
  };
  const Case cases[] = {
      {21600, ",", "2,16"},
      {20000, ",", "2"},
      {250000, ",", "25"},
      {5000, ",", "0,5"},
      {53999995, ",", "5399,9995"},
      {1, ",", "0,0001"},
      {10, ",", "0,001"},
      {0, ",", "0"},
      {-5000, ",", "-0,5"},
      {-20000, ",", "-2"},
      {kMin, ",", "-922337203685477,5808"},
      {kMax, ",", "922337203685477,5807"},
      {21600, ".", "2.16"},
      {53999995, "\xD9\xAB",
       "5399\xD9\xAB"
       "9995"},  // U+066B, two bytes
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.count << " with '" << c.separator << "'");
    EXPECT_EQ(calc::FormatFixed4(F(c.count), calc::NumberFormat{c.separator}), c.text);
  }
}

TEST(Fixed4, ComparesByValue) {
  EXPECT_LT(F(-1), F(0));
  EXPECT_GT(F(kMax), F(kMax - 1));
  EXPECT_EQ(Fixed4{}, F(0));
  EXPECT_NE(F(21600), F(21601));
}

}  // namespace
