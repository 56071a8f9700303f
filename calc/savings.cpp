#include "calc/savings.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace calc {
namespace {

// Which yield a pollutant row starts from: GJ for the fuels, kWh for electricity.
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

struct PollutantRow {
  ResultLabel label;
  Base base;
  // Fixed4 steps: base x 1000, x area, then x this factor when there is one.
  std::optional<std::int16_t> extraFactor;
  DoubleSteps doubleSteps;
  Field efficiency;  // the field whose efficiency divides the result
};

constexpr std::optional<std::int16_t> kNoFactor;

// In the order the results are computed and written. The double steps multiply and divide
// one at a time: regrouping them changes the last digit of some results.
constexpr std::array<PollutantRow, 12> kPollutantRows{{
    // Carbon dioxide, t/year.
    {ResultLabel::Label11, Base::kGj, kNoFactor, {Times(56.1), Over(1000)}, Field::Text3},
    {ResultLabel::Label12, Base::kKwh, std::int16_t{930}, {Over(1000), Over(1000)}, Field::Text4},
    {ResultLabel::Label13, Base::kGj, kNoFactor, {Times(77.37), Over(1000)}, Field::Text5},
    {ResultLabel::Label14, Base::kGj, std::int16_t{96}, {Over(1000)}, Field::Text6},
    // Nitrogen oxides, kg/year.
    {ResultLabel::Label16, Base::kGj, kNoFactor, {Times(0.075)}, Field::Text3},
    {ResultLabel::Label17, Base::kKwh, kNoFactor, {Times(0.6), Over(1000)}, Field::Text4},
    {ResultLabel::Label18, Base::kGj, kNoFactor, {Times(0.08)}, Field::Text5},
    {ResultLabel::Label19, Base::kGj, kNoFactor, {Times(0.15)}, Field::Text6},
    // Sulphur dioxide, kg/year.
    {ResultLabel::Label21, Base::kGj, kNoFactor, {Times(0.008)}, Field::Text3},
    {ResultLabel::Label22, Base::kKwh, kNoFactor, {Times(0.4), Over(1000)}, Field::Text4},
    {ResultLabel::Label23, Base::kGj, kNoFactor, {Times(1.5)}, Field::Text5},
    {ResultLabel::Label24, Base::kGj, kNoFactor, {Times(1.7)}, Field::Text6},
}};

constexpr std::array<Field, 4> kEfficiencyFields{Field::Text3, Field::Text4, Field::Text5,
                                                 Field::Text6};

// Failures are found by looking at the values, not at FP flags, which the compiler is free
// to move across the operations.
double Multiply(double a, double b) {
  const double product = a * b;
  if (!std::isfinite(product)) {
    throw ArithmeticError("double overflow");
  }
  return product;
}

double Divide(double dividend, double divisor) {
  if (divisor == 0 || !std::isfinite(divisor)) {
    throw ArithmeticError("division by zero or by a non-finite value");
  }
  const double quotient = dividend / divisor;
  if (!std::isfinite(quotient)) {
    throw ArithmeticError("double overflow");
  }
  return quotient;
}

double Apply(const DoubleStep& step, double value) {
  return step.op == DoubleStep::Op::kMultiply ? Multiply(value, step.constant)
                                              : Divide(value, step.constant);
}

std::size_t IndexOf(Field field) {
  return static_cast<std::size_t>(field);
}

}  // namespace

void ComputeResults(FormFields& fields, const NumberFormat& format) {
  std::array<double, kFields.size()> efficiency{};
  for (const Field field : kEfficiencyFields) {
    efficiency.at(IndexOf(field)) = Divide(ParseNumber(fields.GetText(field), format), 100.0);
  }

  const Fixed4 yieldKwh = ParseFixed4(fields.GetText(Field::Text1), format);
  const Fixed4 yieldGj = Fixed4FromDouble(Divide(Multiply(Fixed4ToDouble(yieldKwh), 3.6), 1000.0));

  std::vector<std::pair<ResultLabel, std::string>> captions;
  captions.reserve(kResultLabels.size());
  captions.emplace_back(ResultLabel::Label3, FormatFixed4(yieldGj, format));

  const Fixed4 area = ParseFixed4(fields.GetText(Field::Text2), format);
  for (const PollutantRow& row : kPollutantRows) {
    const Fixed4 base = row.base == Base::kGj ? yieldGj : yieldKwh;
    Fixed4 energy = Fixed4Mul(Fixed4MulInt(base, 1000), area);
    if (row.extraFactor) {
      energy = Fixed4MulInt(energy, *row.extraFactor);
    }
    double mass = Fixed4ToDouble(energy);
    for (const DoubleStep& step : row.doubleSteps) {
      mass = Apply(step, mass);
    }
    mass = Divide(mass, efficiency.at(IndexOf(row.efficiency)));
    // Whole kg (or g) only: the result is cut down, never rounded up.
    const double shown = Divide(std::floor(mass), 1000.0);
    captions.emplace_back(row.label, FormatDouble(shown, format));
  }

  captions.emplace_back(ResultLabel::Label39, FormatFixed4(Fixed4Mul(yieldGj, area), format));

  // Every value exists: only now may the labels change, so they never mix two runs.
  for (const auto& [label, text] : captions) {
    fields.SetCaption(label, text);
  }
}

}  // namespace calc
