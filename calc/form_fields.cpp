#include "calc/form_fields.h"

#include <cstddef>

#include "calc/input_check.h"

namespace calc {
namespace {

// Indexed by the enumerators, which follow the order of kFields and kResultLabels.
constexpr std::array<std::string_view, kFields.size()> kFieldNames{"Text1", "Text2", "Text3",
                                                                   "Text4", "Text5", "Text6"};
constexpr std::array<std::string_view, kResultLabels.size()> kResultLabelNames{
    "Label3",  "Label39", "Label11", "Label12", "Label13", "Label14", "Label16",
    "Label17", "Label18", "Label19", "Label21", "Label22", "Label23", "Label24"};

std::size_t IndexOf(Field field) {
  return static_cast<std::size_t>(field);
}
std::size_t IndexOf(ResultLabel label) {
  return static_cast<std::size_t>(label);
}

}  // namespace

std::string_view FieldName(Field field) {
  return kFieldNames.at(IndexOf(field));
}

std::string_view ResultLabelName(ResultLabel label) {
  return kResultLabelNames.at(IndexOf(label));
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
