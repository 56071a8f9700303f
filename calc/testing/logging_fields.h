#pragma once
// A FormFields for the calculation's tests and fuzzers: a FieldRecord that also logs every
// change made through it, in order, so that a warning out of order, a write of an unchanged
// text or a caption written twice shows. Header-only, so that each build compiles it with its
// own options (the fuzzers with their instrumentation).

#include <string>
#include <vector>

#include "calc/form_fields.h"

namespace calc {

// One call the calculation made on the form, other than GetText.
struct FormEvent {
  enum class Kind { kSetText, kSetCaption, kShowWarning };
  Kind kind;
  std::string name;  // the field's or the label's name; empty for a warning
  std::string text;

  friend bool operator==(const FormEvent&, const FormEvent&) = default;
};

// "Text2 := 1", "Label3 = 2,16", "warning: Adjon meg számot!".
inline std::string Describe(const FormEvent& event) {
  switch (event.kind) {
    case FormEvent::Kind::kSetText:
      return event.name + " := " + event.text;
    case FormEvent::Kind::kSetCaption:
      return event.name + " = " + event.text;
    case FormEvent::Kind::kShowWarning:
      break;
  }
  return "warning: " + event.text;
}

class LoggingFields final : public FormFields {
 public:
  std::string GetText(Field field) const override { return record_.GetText(field); }
  void SetText(Field field, const std::string& text) override {
    log_.push_back({FormEvent::Kind::kSetText, std::string(FieldName(field)), text});
    record_.SetText(field, text);
  }
  void SetCaption(ResultLabel label, const std::string& text) override {
    log_.push_back({FormEvent::Kind::kSetCaption, std::string(ResultLabelName(label)), text});
    record_.SetCaption(label, text);
  }
  void ShowWarning(const std::string& message) override {
    log_.push_back({FormEvent::Kind::kShowWarning, std::string(), message});
    record_.ShowWarning(message);
  }

  // The texts, captions and warnings as they stand.
  const FieldRecord& Record() const { return record_; }
  const std::vector<FormEvent>& Log() const { return log_; }
  // The log, one Describe line per event.
  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    for (const FormEvent& event : log_) lines.push_back(Describe(event));
    return lines;
  }
  // Forgets the calls so far, e.g. those that set a test's texts up; the texts stay.
  void ClearLog() { log_.clear(); }

 private:
  FieldRecord record_;
  std::vector<FormEvent> log_;
};

}  // namespace calc
