#pragma once
// The savings model: six input texts in, fourteen result captions out.

#include "calc/fixed4.h"  // calc::ArithmeticError
#include "calc/form_fields.h"
#include "calc/number_text.h"

namespace calc {

// Reads Text1..Text6 (meant to be accepted by CheckInputs first), computes all fourteen
// results in Fixed4 and double arithmetic, and only then writes every caption, in the
// order Label3, Label11..Label14, Label16..Label19, Label21..Label24, Label39.
// Throws ArithmeticError, having written no caption, when a step fails: a Fixed4 value out
// of range, a division by a zero or non-finite efficiency, or a non-finite double result.
// Throws std::invalid_argument, also having written nothing, for a text that is not a
// number or an unusable separator.
void ComputeResults(FormFields& fields, const NumberFormat& format);

}  // namespace calc
