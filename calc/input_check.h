#pragma once
// The field rules: which texts the calculation may read.

#include <string>
#include <string_view>

#include "calc/form_fields.h"
#include "calc/number_text.h"

namespace calc {

// The warning for a text that is not a number, the same for every field.
inline constexpr std::string_view kNotANumberMessage = "Adjon meg számot!";

// The field's start-up text, which is also its reset text: "600" for Text1.
std::string StartUpText(Field field);

// The warning for a number outside the field's range, word for word.
std::string_view RangeMessage(Field field);

// Checks Text1..Text6 in order. A text that is not a number, or whose ParseNumber value is
// outside the field's range (calc/field_table.h), gets one ShowWarning and then its reset
// text. Fields that pass keep their text exactly.
// Throws std::invalid_argument for an unusable separator.
void CheckInputs(FormFields& fields, const NumberFormat& format);

}  // namespace calc
