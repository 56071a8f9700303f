#include "calc/savings.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "calc/enum_index.h"
#include "calc/field_table.h"
#include "calc/pollutant_table.h"

namespace calc {
namespace {

using pollutant_table::Base;
using pollutant_table::DoubleStep;

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

}  // namespace

void ComputeResults(FormFields& fields, const NumberFormat& format) {
  // Indexed by Carrier.
  std::array<double, kCarriers.size()> efficiency{};
  for (const InputField& input : kInputFields) {
    if (input.efficiencyOf) {
      efficiency.at(IndexOf(*input.efficiencyOf)) =
          Divide(ParseNumber(fields.GetText(input.field), format), 100.0);
    }
  }

  const Fixed4 yieldKwh = ParseFixed4(fields.GetText(Field::Text1), format);
  const Fixed4 yieldGj = Fixed4FromDouble(Divide(Multiply(Fixed4ToDouble(yieldKwh), 3.6), 1000.0));

  std::vector<std::pair<ResultLabel, std::string>> captions;
  captions.reserve(kResultLabels.size());
  captions.emplace_back(ResultLabel::Label3, FormatFixed4(yieldGj, format));

  const Fixed4 area = ParseFixed4(fields.GetText(Field::Text2), format);
  for (const pollutant_table::Row& row : pollutant_table::kRows) {
    const Fixed4 base = row.base == Base::kGj ? yieldGj : yieldKwh;
    Fixed4 energy = Fixed4Mul(Fixed4MulInt(base, 1000), area);
    if (row.extraFactor) {
      energy = Fixed4MulInt(energy, *row.extraFactor);
    }
    double mass = Fixed4ToDouble(energy);
    for (const DoubleStep& step : row.doubleSteps) {
      mass = Apply(step, mass);
    }
    mass = Divide(mass, efficiency.at(IndexOf(row.carrier)));
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
