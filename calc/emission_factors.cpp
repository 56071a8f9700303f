#include "calc/emission_factors.h"

#include <cstddef>
#include <stdexcept>

#include "calc/enum_index.h"
#include "calc/pollutant_table.h"

namespace calc {
namespace {

constexpr std::array<std::string_view, kPollutants.size()> kPollutantNames{"CO2", "NOx", "SO2"};

}  // namespace

std::string_view PollutantName(Pollutant pollutant) {
  return kPollutantNames.at(IndexOf(pollutant));
}

std::array<EmissionFactor, 3> EmissionFactors(Carrier carrier) {
  std::array<EmissionFactor, 3> factors{};
  for (const pollutant_table::Row& row : pollutant_table::kRows) {
    if (row.carrier == carrier) {
      factors.at(IndexOf(row.pollutant)) = {row.pollutant, row.factor, row.factorUnit};
    }
  }
  return factors;
}

std::string FactorText(Carrier carrier, const NumberFormat& format) {
  if (!IsUsableSeparator(format.decimalSeparator)) {
    throw std::invalid_argument("unusable decimal separator");
  }
  std::string text;
  for (const EmissionFactor& factor : EmissionFactors(carrier)) {
    if (!text.empty()) text += " \xC2\xB7 ";  // a middle dot, U+00B7, in UTF-8
    text += PollutantName(factor.pollutant);
    text += ": ";
    for (const char c : factor.value) {
      if (c == '.') {
        text += format.decimalSeparator;
      } else {
        text += c;
      }
    }
    text += ' ';
    text += factor.unit;
  }
  return text;
}

}  // namespace calc
