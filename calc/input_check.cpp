#include "calc/input_check.h"

#include <stdexcept>

#include "calc/field_table.h"

namespace calc {
namespace {

// The start-up text is also the reset text. An integer is written the same under every
// number format.
std::string StartUpTextOf(const InputField& input) {
  return FormatInteger(input.startUpValue, NumberFormat{});
}

}  // namespace

std::string StartUpText(Field field) {
  return StartUpTextOf(InputFieldOf(field));
}

std::string_view RangeMessage(Field field) {
  return InputFieldOf(field).rangeMessage;
}

void CheckInputs(FormFields& fields, const NumberFormat& format) {
  if (!IsUsableSeparator(format.decimalSeparator)) {
    throw std::invalid_argument("unusable decimal separator");
  }
  for (const InputField& input : kInputFields) {
    const std::string text = fields.GetText(input.field);
    std::string_view message;
    if (!IsNumberText(text, format)) {
      message = kNotANumberMessage;
    } else if (!input.range.Contains(ParseNumber(text, format))) {
      message = input.rangeMessage;
    } else {
      continue;
    }
    // The warning comes first: the user sees the rejected text while reading it.
    fields.ShowWarning(std::string(message));
    fields.SetText(input.field, StartUpTextOf(input));
  }
}

}  // namespace calc
