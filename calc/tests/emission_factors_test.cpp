#include "calc/emission_factors.h"

#include <array>
#include <cmath>
#include <stdexcept>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "calc/pollutant_table.h"

namespace {

using calc::Carrier;
using calc::NumberFormat;
using calc::Pollutant;
namespace table = calc::pollutant_table;

// What a row's steps add up to, worked out again from the steps themselves: the Fixed4 steps
// turn the yield into MJ (fuels) or Wh (electricity) and may multiply by an integer, the
// double steps turn that into kg (CO2) or g (NOx, SO2). Per GJ or kWh that is 1000 times as
// much. Returned in the mass that the row's stated unit names.
double FactorFromSteps(const table::Row& row, std::string_view statedMass) {
  double perMjOrWh = row.extraFactor.value_or(1);
  for (const table::DoubleStep& step : row.doubleSteps) {
    perMjOrWh = step.op == table::DoubleStep::Op::kMultiply ? perMjOrWh * step.constant
                                                            : perMjOrWh / step.constant;
  }
  const double perGjOrKwh = perMjOrWh * 1000;
  const std::string_view resultMass = row.pollutant == Pollutant::CO2 ? "kg" : "g";
  if (resultMass == statedMass) return perGjOrKwh;
  if (resultMass == "kg" && statedMass == "g") return perGjOrKwh * 1000;
  if (resultMass == "g" && statedMass == "kg") return perGjOrKwh / 1000;
  ADD_FAILURE() << "unknown mass " << statedMass;
  return NAN;
}

TEST(EmissionFactors, EachStatedFactorIsWhatItsRowComputes) {
  for (const table::Row& row : table::kRows) {
    SCOPED_TRACE(std::string(calc::ResultLabelName(row.label)));
    const std::string_view unit = row.factorUnit;
    const std::size_t slash = unit.find('/');
    ASSERT_NE(slash, std::string_view::npos) << unit;
    // Fuels are stated per GJ, electricity per kWh: the energy the row starts from.
    EXPECT_EQ(unit.substr(slash + 1), row.base == table::Base::kGj ? "GJ" : "kWh");

    const double stated = calc::ParseNumber(row.factor, NumberFormat{"."});
    const double derived = FactorFromSteps(row, unit.substr(0, slash));
    EXPECT_NEAR(derived, stated, stated * 1e-12) << row.factor << " " << unit;
  }
}

struct TooltipCase {
  const char* name;
  Carrier carrier;
  std::string separator;
  std::string text;
};

class FactorText : public testing::TestWithParam<TooltipCase> {};

TEST_P(FactorText, WritesTheFactorsWithTheSeparator) {
  const TooltipCase& c = GetParam();
  EXPECT_EQ(calc::FactorText(c.carrier, NumberFormat{c.separator}), c.text);
}

// The middle dot between the factors is U+00B7; the Arabic separator is U+066B.
const TooltipCase kTooltips[] = {
    {"GasComma", Carrier::Gas, ",", "CO2: 56,1 kg/GJ \u00B7 NOx: 75 g/GJ \u00B7 SO2: 8 g/GJ"},
    {"ElectricityComma", Carrier::Electricity, ",",
     "CO2: 930 g/kWh \u00B7 NOx: 0,6 g/kWh \u00B7 SO2: 0,4 g/kWh"},
    {"OilComma", Carrier::Oil, ",", "CO2: 77,37 kg/GJ \u00B7 NOx: 80 g/GJ \u00B7 SO2: 1,5 kg/GJ"},
    {"CoalComma", Carrier::Coal, ",", "CO2: 96 kg/GJ \u00B7 NOx: 150 g/GJ \u00B7 SO2: 1,7 kg/GJ"},
    {"GasPoint", Carrier::Gas, ".", "CO2: 56.1 kg/GJ \u00B7 NOx: 75 g/GJ \u00B7 SO2: 8 g/GJ"},
    {"ElectricityPoint", Carrier::Electricity, ".",
     "CO2: 930 g/kWh \u00B7 NOx: 0.6 g/kWh \u00B7 SO2: 0.4 g/kWh"},
    {"OilPoint", Carrier::Oil, ".", "CO2: 77.37 kg/GJ \u00B7 NOx: 80 g/GJ \u00B7 SO2: 1.5 kg/GJ"},
    {"CoalPoint", Carrier::Coal, ".", "CO2: 96 kg/GJ \u00B7 NOx: 150 g/GJ \u00B7 SO2: 1.7 kg/GJ"},
    {"OilArabic", Carrier::Oil, "\xD9\xAB",
     "CO2: 77\xD9\xAB"
     "37 kg/GJ \u00B7 NOx: 80 g/GJ \u00B7 SO2: 1\xD9\xAB"
     "5 kg/GJ"},
};

INSTANTIATE_TEST_SUITE_P(Table, FactorText, testing::ValuesIn(kTooltips),
                         [](const testing::TestParamInfo<TooltipCase>& row) {
                           return std::string(row.param.name);
                         });

TEST(FactorText, UnusableSeparatorIsAnInvalidArgument) {
  for (const std::string separator : {"", "1", " ", "-"}) {
    EXPECT_THROW(calc::FactorText(Carrier::Gas, NumberFormat{separator}), std::invalid_argument)
        << "'" << separator << "'";
  }
}

}  // namespace
