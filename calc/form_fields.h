#pragma once
// The one interface between the calculation and whatever shows its texts.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace calc {

// The six input text boxes, in the order they are checked. What each one is: calc/field_table.h.
enum class Field { Text1, Text2, Text3, Text4, Text5, Text6 };

// The fourteen result labels, in the order they are listed to the user: the heat saved, then
// the pollutants (see calc/field_table.h). ComputeResults writes Label39 last.
enum class ResultLabel {
  Label3,
  Label39,
  Label11,
  Label12,
  Label13,
  Label14,
  Label16,
  Label17,
  Label18,
  Label19,
  Label21,
  Label22,
  Label23,
  Label24,
};

inline constexpr std::array<Field, 6> kFields{Field::Text1, Field::Text2, Field::Text3,
                                              Field::Text4, Field::Text5, Field::Text6};

inline constexpr std::array<ResultLabel, 14> kResultLabels{
    ResultLabel::Label3,  ResultLabel::Label39, ResultLabel::Label11, ResultLabel::Label12,
    ResultLabel::Label13, ResultLabel::Label14, ResultLabel::Label16, ResultLabel::Label17,
    ResultLabel::Label18, ResultLabel::Label19, ResultLabel::Label21, ResultLabel::Label22,
    ResultLabel::Label23, ResultLabel::Label24};

// The control's name ("Text3", "Label11"), which is also a fresh label's stored caption.
std::string_view FieldName(Field field);
std::string_view ResultLabelName(ResultLabel label);

// Texts are UTF-8. ShowWarning returns only when the user has closed the warning.
class FormFields {
 public:
  virtual ~FormFields() = default;
  virtual std::string GetText(Field field) const = 0;
  virtual void SetText(Field field, const std::string& text) = 0;
  virtual void SetCaption(ResultLabel label, const std::string& text) = 0;
  virtual void ShowWarning(const std::string& message) = 0;
};

// A plain record of texts: the start-up texts, the stored captions, and the warnings
// shown so far (ShowWarning only records them).
class FieldRecord final : public FormFields {
 public:
  FieldRecord();

  std::string GetText(Field field) const override;
  void SetText(Field field, const std::string& text) override;
  void SetCaption(ResultLabel label, const std::string& text) override;
  void ShowWarning(const std::string& message) override;

  const std::string& Caption(ResultLabel label) const;
  const std::vector<std::string>& Warnings() const { return warnings_; }

 private:
  std::array<std::string, kFields.size()> texts_;
  std::array<std::string, kResultLabels.size()> captions_;
  std::vector<std::string> warnings_;
};

}  // namespace calc
