// The calculation as the page calls it: plain C functions over UTF-8 texts, answered in JSON.
//
// A page cannot block in the middle of CheckInputs while a warning box is open, so the check
// runs against a record of the texts: each warning is kept with the field it is about and the
// field's reset text, and the page shows them one at a time, resetting each field as its box
// closes. Each field's check depends on its own text only, and the page takes no input while
// a box is open, so this is the order and the outcome of the desktop's modal boxes.

#include <array>
#include <cstddef>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "calc/emission_factors.h"
#include "calc/enum_index.h"
#include "calc/form_fields.h"
#include "calc/input_check.h"
#include "calc/number_text.h"
#include "calc/savings.h"

namespace {

constexpr std::string_view kArithmeticMessage = "A számítás a megadott adatokkal nem végezhető el!";

struct Warning {
  std::string message;
  calc::Field field = calc::Field::Text1;
  std::string reset;
};

// The page's texts, and the warnings CheckInputs raised, each tied to the field reset after it.
class PageFields final : public calc::FormFields {
 public:
  std::array<std::string, calc::kFields.size()> texts;
  std::array<std::string, calc::kResultLabels.size()> captions;
  std::vector<Warning> warnings;

  std::string GetText(calc::Field field) const override { return texts[calc::IndexOf(field)]; }
  void SetText(calc::Field field, const std::string& text) override {
    texts[calc::IndexOf(field)] = text;
    if (!warnings.empty() && warnings.back().reset.empty()) {
      warnings.back().field = field;
      warnings.back().reset = text;
    }
  }
  void SetCaption(calc::ResultLabel label, const std::string& text) override {
    captions[calc::IndexOf(label)] = text;
  }
  void ShowWarning(const std::string& message) override { warnings.push_back({message, {}, {}}); }
};

PageFields page;
std::string answer;

void AppendJson(std::string& out, std::string_view text) {
  out += '"';
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
      out += escaped;
    } else {
      out += c;
    }
  }
  out += '"';
}

}  // namespace

extern "C" {

// Sets the text of input field 0..5 (Text1..Text6) for the next calculation: `length` bytes
// of UTF-8, so that a NUL inside the text is kept as the window would keep it.
void tarquen_set_text(int field, const char* text, int length) {
  if (field >= 0 && static_cast<std::size_t>(field) < page.texts.size() && length >= 0) {
    page.texts[static_cast<std::size_t>(field)].assign(text, static_cast<std::size_t>(length));
  }
}

// Checks and computes with the given decimal separator. Answers
// {"warnings":[["Text3","Adjon meg számot!","80"],...],"results":[["Label3","2,16"],...]}
// in the order of the boxes and the labels; "results" is replaced by "error" with the box's
// message when the calculation stops with an arithmetic error. The text lives until the next
// call.
const char* tarquen_calculate(const char* separator) {
  // A symbol no number text could be read with would stop every calculation; the point works.
  calc::NumberFormat format{separator};
  if (!calc::IsUsableSeparator(format.decimalSeparator)) format = calc::NumberFormat{"."};
  page.warnings.clear();
  bool failed = false;
  try {
    calc::CheckInputs(page, format);
    calc::ComputeResults(page, format);
  } catch (const std::exception&) {
    // An arithmetic error: the box and dashes, as on the desktop.
    failed = true;
  }
  answer = "{\"warnings\":[";
  for (std::size_t i = 0; i < page.warnings.size(); ++i) {
    const Warning& w = page.warnings[i];
    answer += i == 0 ? "[" : ",[";
    AppendJson(answer, calc::FieldName(w.field));
    answer += ',';
    AppendJson(answer, w.message);
    answer += ',';
    AppendJson(answer, w.reset);
    answer += ']';
  }
  if (failed) {
    answer += "],\"error\":";
    AppendJson(answer, kArithmeticMessage);
    answer += '}';
    return answer.c_str();
  }
  answer += "],\"results\":[";
  for (std::size_t i = 0; i < calc::kResultLabels.size(); ++i) {
    answer += i == 0 ? "[" : ",[";
    AppendJson(answer, calc::ResultLabelName(calc::kResultLabels[i]));
    answer += ',';
    AppendJson(answer, page.captions[static_cast<std::size_t>(calc::kResultLabels[i])]);
    answer += ']';
  }
  answer += "]}";
  return answer.c_str();
}

// The emission factors of carrier 0..3 (gas, electricity, oil, coal) as one line.
const char* tarquen_factor_text(int carrier, const char* separator) {
  calc::NumberFormat format{separator};
  if (!calc::IsUsableSeparator(format.decimalSeparator)) format = calc::NumberFormat{"."};
  answer = calc::FactorText(calc::kCarriers[static_cast<std::size_t>(carrier) % 4], format);
  return answer.c_str();
}

}  // extern "C"
