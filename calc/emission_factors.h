#pragma once
// The emission factors behind the savings model, per heating energy carrier, for showing
// where the figures come from. They are read from the same rows that compute the results.

#include <array>
#include <string>
#include <string_view>

#include "calc/number_text.h"

namespace calc {

// The heating whose energy the collector heat replaces; calc/field_table.h says which field
// holds its efficiency.
enum class Carrier { Gas, Electricity, Oil, Coal };
inline constexpr std::array<Carrier, 4> kCarriers{Carrier::Gas, Carrier::Electricity, Carrier::Oil,
                                                  Carrier::Coal};

enum class Pollutant { CO2, NOx, SO2 };
inline constexpr std::array<Pollutant, 3> kPollutants{Pollutant::CO2, Pollutant::NOx,
                                                      Pollutant::SO2};

// "CO2", "NOx", "SO2".
std::string_view PollutantName(Pollutant pollutant);

// Mass of a pollutant per unit of heat delivered at 100 % efficiency.
struct EmissionFactor {
  Pollutant pollutant;
  std::string_view value;  // a decimal with a point and no exponent: "56.1", "930", "0.6"
  std::string_view unit;   // mass per heat: "kg/GJ", "g/GJ", "g/kWh"
};

// The carrier's three factors in the order CO2, NOx, SO2. Never throws.
std::array<EmissionFactor, 3> EmissionFactors(Carrier carrier);

// The carrier's factors as one line, the value's point replaced by the format's decimal
// separator (no rounding, no locale): "CO2: 56,1 kg/GJ · NOx: 75 g/GJ · SO2: 8 g/GJ".
// Throws std::invalid_argument for an unusable separator (see IsUsableSeparator).
std::string FactorText(Carrier carrier, const NumberFormat& format);

}  // namespace calc
