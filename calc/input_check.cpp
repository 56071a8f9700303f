#include "calc/input_check.h"

#include <array>
#include <cstdint>
#include <stdexcept>

namespace calc {
namespace {

struct FieldRule {
  Field field;
  std::int64_t startUpValue;  // also the reset value
  double upperBound;
  bool upperBoundAccepted;
  std::string_view rangeMessage;
};

// In checking order. Only the electric efficiency may reach its bound: 100 % is its
// start-up value.
constexpr std::array<FieldRule, kFields.size()> kFieldRules{{
    {Field::Text1, 600, 1500.0, false,
     "A fajlagos energiahozam 0 és 1500 kWh/m2.év között kell legyen!"},
    {Field::Text2, 1, 1000.0, false, "A kollektorfelület pozitív kell legyen!"},
    {Field::Text3, 80, 120.0, false, "A gáztüzelés hatásfoka 0 és 120 % között kell legyen!"},
    {Field::Text4, 100, 100.0, true, "A villamos fűtés hatásfoka 0 és 100 % között kell legyen!"},
    {Field::Text5, 70, 100.0, false, "A olajtüzelés hatásfoka 0 és 100 % között kell legyen!"},
    {Field::Text6, 60, 100.0, false, "A széntüzelés hatásfoka 0 és 100 % között kell legyen!"},
}};

const FieldRule& RuleOf(Field field) {
  for (const FieldRule& rule : kFieldRules) {
    if (rule.field == field) {
      return rule;
    }
  }
  throw std::invalid_argument("unknown field");
}

// The start-up text is also the reset text. An integer is written the same under every
// number format.
std::string StartUpTextOf(const FieldRule& rule) {
  return FormatInteger(rule.startUpValue, NumberFormat{});
}

bool InRange(const FieldRule& rule, double x) {
  const bool belowUpper = rule.upperBoundAccepted ? x <= rule.upperBound : x < rule.upperBound;
  return x > 0 && belowUpper;
}

}  // namespace

std::string StartUpText(Field field) {
  return StartUpTextOf(RuleOf(field));
}

std::string_view RangeMessage(Field field) {
  return RuleOf(field).rangeMessage;
}

void CheckInputs(FormFields& fields, const NumberFormat& format) {
  if (!IsUsableSeparator(format.decimalSeparator)) {
    throw std::invalid_argument("unusable decimal separator");
  }
  for (const FieldRule& rule : kFieldRules) {
    const std::string text = fields.GetText(rule.field);
    std::string_view message;
    if (!IsNumberText(text, format)) {
      message = kNotANumberMessage;
    } else if (!InRange(rule, ParseNumber(text, format))) {
      message = rule.rangeMessage;
    } else {
      continue;
    }
    // The warning comes first: the user sees the rejected text while reading it.
    fields.ShowWarning(std::string(message));
    fields.SetText(rule.field, StartUpTextOf(rule));
  }
}

}  // namespace calc
