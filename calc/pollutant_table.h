#pragma once
// The pollutant rows of the savings model: how each result is computed, and the factor that
// the steps add up to. Internal to calc (and its tests): the calculation runs the steps, the
// emission factors show the factor, and a test keeps the two in agreement.

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string_view>

#include "calc/emission_factors.h"
#include "calc/form_fields.h"

namespace calc::pollutant_table {

// Which yield a row starts from: GJ for the fuels, kWh for electricity.
enum class Base { kGj, kKwh };

struct DoubleStep {
  enum class Op { kMultiply, kDivide } op;
  double constant;
};

constexpr DoubleStep Times(double constant) {
  return {DoubleStep::Op::kMultiply, constant};
}
constexpr DoubleStep Over(double constant) {
  return {DoubleStep::Op::kDivide, constant};
}

// At most two double steps per row, in the order they run.
class DoubleSteps {
 public:
  constexpr DoubleSteps(std::initializer_list<DoubleStep> steps) {
    for (const DoubleStep& step : steps) {
      items_[size_++] = step;
    }
  }
  constexpr const DoubleStep* begin() const { return items_.data(); }
  constexpr const DoubleStep* end() const { return items_.data() + size_; }

 private:
  std::array<DoubleStep, 2> items_{};
  std::size_t size_ = 0;
};

struct Row {
  ResultLabel label;
  Carrier carrier;  // its efficiency divides the result
  Pollutant pollutant;
  Base base;
  // Fixed4 steps: base x 1000, x area, then x this factor when there is one. After them the
  // value is heat in MJ (fuels) or Wh (electricity).
  std::optional<std::int16_t> extraFactor;
  // After these the value is the pollutant's mass at 100 % efficiency: kg of CO2, g of NOx
  // or SO2.
  DoubleSteps doubleSteps;
  // What the steps come to per GJ (fuels) or kWh (electricity); shown, never computed with.
  std::string_view factor;
  std::string_view factorUnit;
};

inline constexpr std::optional<std::int16_t> kNoFactor;

// In the order the results are computed and written. The double steps multiply and divide
// one at a time: regrouping them changes the last digit of some results.
// clang-format off
inline constexpr std::array<Row, 12> kRows{{
    // Carbon dioxide, t/year.
    {ResultLabel::Label11, Carrier::Gas,         Pollutant::CO2, Base::kGj,  kNoFactor,          {Times(56.1), Over(1000)},  "56.1",  "kg/GJ"},
    {ResultLabel::Label12, Carrier::Electricity, Pollutant::CO2, Base::kKwh, std::int16_t{930},  {Over(1000), Over(1000)},   "930",   "g/kWh"},
    {ResultLabel::Label13, Carrier::Oil,         Pollutant::CO2, Base::kGj,  kNoFactor,          {Times(77.37), Over(1000)}, "77.37", "kg/GJ"},
    {ResultLabel::Label14, Carrier::Coal,        Pollutant::CO2, Base::kGj,  std::int16_t{96},   {Over(1000)},               "96",    "kg/GJ"},
    // Nitrogen oxides, kg/year.
    {ResultLabel::Label16, Carrier::Gas,         Pollutant::NOx, Base::kGj,  kNoFactor,          {Times(0.075)},             "75",    "g/GJ"},
    {ResultLabel::Label17, Carrier::Electricity, Pollutant::NOx, Base::kKwh, kNoFactor,          {Times(0.6), Over(1000)},   "0.6",   "g/kWh"},
    {ResultLabel::Label18, Carrier::Oil,         Pollutant::NOx, Base::kGj,  kNoFactor,          {Times(0.08)},              "80",    "g/GJ"},
    {ResultLabel::Label19, Carrier::Coal,        Pollutant::NOx, Base::kGj,  kNoFactor,          {Times(0.15)},              "150",   "g/GJ"},
    // Sulphur dioxide, kg/year.
    {ResultLabel::Label21, Carrier::Gas,         Pollutant::SO2, Base::kGj,  kNoFactor,          {Times(0.008)},             "8",     "g/GJ"},
    {ResultLabel::Label22, Carrier::Electricity, Pollutant::SO2, Base::kKwh, kNoFactor,          {Times(0.4), Over(1000)},   "0.4",   "g/kWh"},
    {ResultLabel::Label23, Carrier::Oil,         Pollutant::SO2, Base::kGj,  kNoFactor,          {Times(1.5)},               "1.5",   "kg/GJ"},
    {ResultLabel::Label24, Carrier::Coal,        Pollutant::SO2, Base::kGj,  kNoFactor,          {Times(1.7)},               "1.7",   "kg/GJ"},
}};
// clang-format on

// Every carrier has exactly one row per pollutant, so each has its three factors.
constexpr bool OneRowPerCarrierAndPollutant() {
  for (const Carrier carrier : kCarriers) {
    for (const Pollutant pollutant : kPollutants) {
      std::size_t count = 0;
      for (const Row& row : kRows) {
        if (row.carrier == carrier && row.pollutant == pollutant) ++count;
      }
      if (count != 1) return false;
    }
  }
  return true;
}
static_assert(OneRowPerCarrierAndPollutant());

}  // namespace calc::pollutant_table
