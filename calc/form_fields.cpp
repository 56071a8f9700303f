#include "calc/form_fields.h"

#include "calc/enum_index.h"
#include "calc/field_table.h"
#include "calc/input_check.h"

namespace calc {

std::string_view FieldName(Field field) {
  return InputFieldOf(field).name;
}

std::string_view ResultLabelName(ResultLabel label) {
  return ResultFieldOf(label).name;
}

FieldRecord::FieldRecord() {
  for (const Field field : kFields) {
    texts_.at(IndexOf(field)) = StartUpText(field);
  }
  for (const ResultLabel label : kResultLabels) {
    captions_.at(IndexOf(label)) = std::string(ResultLabelName(label));
  }
}

std::string FieldRecord::GetText(Field field) const {
  return texts_.at(IndexOf(field));
}

void FieldRecord::SetText(Field field, const std::string& text) {
  texts_.at(IndexOf(field)) = text;
}

void FieldRecord::SetCaption(ResultLabel label, const std::string& text) {
  captions_.at(IndexOf(label)) = text;
}

void FieldRecord::ShowWarning(const std::string& message) {
  warnings_.push_back(message);
}

const std::string& FieldRecord::Caption(ResultLabel label) const {
  return captions_.at(IndexOf(label));
}

}  // namespace calc
