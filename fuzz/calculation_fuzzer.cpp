// Runs six arbitrary texts through CheckInputs and then ComputeResults, as a click on
// "Számítás" does, and checks everything the user would see: the warnings and reset texts,
// that only ArithmeticError escapes and then no caption changes, the form of every
// caption, and that the same texts always give the same outcome.
//
// Input layout: the first byte picks the decimal separator by its value modulo 3:
// 0 ",", 1 ".", 2 "٫". The rest is split at '\n' into Text1..Text6; fields without a line
// keep their start-up text and lines after the sixth are ignored. Seed files start with
// '0', '1' or '2' (48 to 50) to pick the separator.

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calc/form_fields.h"
#include "calc/input_check.h"
#include "calc/number_text.h"
#include "calc/savings.h"
#include "calc/testing/logging_fields.h"
#include "fuzz/reference.h"

namespace {

constexpr std::size_t kFieldCount = calc::kFields.size();
constexpr std::size_t kLabelCount = calc::kResultLabels.size();

// The field rules, kept here independently of calc: what a passing number must satisfy.
struct FieldRange {
  double upperBound;
  bool upperAccepted;
  std::string_view resetText;
};
constexpr std::array<FieldRange, kFieldCount> kRanges{{
    {1500, false, "600"},
    {1000, false, "1"},
    {120, false, "80"},
    {100, true, "100"},
    {100, false, "70"},
    {100, false, "60"},
}};

// Efficiencies from here up cannot make a quotient leave the double range: every result
// before the division by the efficiency stays below 1e7.
constexpr double kOrdinaryEfficiency = 1e-290;

// Captions in the order ComputeResults documents that it writes them.
constexpr std::array<calc::ResultLabel, kLabelCount> kWriteOrder{
    calc::ResultLabel::Label3,  calc::ResultLabel::Label11, calc::ResultLabel::Label12,
    calc::ResultLabel::Label13, calc::ResultLabel::Label14, calc::ResultLabel::Label16,
    calc::ResultLabel::Label17, calc::ResultLabel::Label18, calc::ResultLabel::Label19,
    calc::ResultLabel::Label21, calc::ResultLabel::Label22, calc::ResultLabel::Label23,
    calc::ResultLabel::Label24, calc::ResultLabel::Label39};

using Event = calc::FormEvent;

std::array<std::string, kFieldCount> TextsOf(const calc::LoggingFields& form) {
  std::array<std::string, kFieldCount> texts;
  for (std::size_t i = 0; i < kFieldCount; ++i) texts[i] = form.GetText(calc::kFields[i]);
  return texts;
}

std::array<std::string, kLabelCount> CaptionsOf(const calc::LoggingFields& form) {
  std::array<std::string, kLabelCount> captions;
  for (std::size_t i = 0; i < kLabelCount; ++i) {
    captions[i] = form.Record().Caption(calc::kResultLabels[i]);
  }
  return captions;
}

struct Outcome {
  std::array<std::string, kFieldCount> texts;
  std::array<std::string, kLabelCount> captions;
  std::vector<Event> log;
  bool arithmeticError = false;
  friend bool operator==(const Outcome&, const Outcome&) = default;
};

struct Input {
  std::string_view separator;
  std::array<std::optional<std::string_view>, kFieldCount> texts;
};

[[noreturn]] void Fail(const Input& input, std::string_view what, const std::string& detail) {
  std::fprintf(stderr, "\nFAIL: %.*s\n  separator \"%s\"\n", static_cast<int>(what.size()),
               what.data(), fuzzref::Escape(input.separator).c_str());
  for (std::size_t i = 0; i < kFieldCount; ++i) {
    if (input.texts[i]) {
      std::fprintf(stderr, "  Text%zu \"%s\"\n", i + 1, fuzzref::Escape(*input.texts[i]).c_str());
    }
  }
  std::fprintf(stderr, "  %s\n", detail.c_str());
  std::abort();
}

bool InRange(std::size_t field, double x) {
  const FieldRange& range = kRanges[field];
  return x > 0 && (range.upperAccepted ? x <= range.upperBound : x < range.upperBound);
}

// What CheckInputs must do with these texts: per rejected field one warning, then its reset.
std::vector<Event> ExpectedChecks(const std::array<std::string, kFieldCount>& texts,
                                  const calc::NumberFormat& format) {
  std::vector<Event> events;
  for (std::size_t i = 0; i < kFieldCount; ++i) {
    const calc::Field field = calc::kFields[i];
    std::string_view message;
    if (!fuzzref::ScanNumber(texts[i], format.decimalSeparator)) {
      message = calc::kNotANumberMessage;
    } else if (!InRange(i, calc::ParseNumber(texts[i], format))) {
      message = calc::RangeMessage(field);
    } else {
      continue;
    }
    events.push_back({Event::Kind::kShowWarning, "", std::string(message)});
    events.push_back({Event::Kind::kSetText, std::string(calc::FieldName(field)),
                      std::string(kRanges[i].resetText)});
  }
  return events;
}

std::string Describe(const std::vector<Event>& log) {
  std::string out;
  for (const Event& event : log) {
    out += event.kind == Event::Kind::kSetText      ? "SetText "
           : event.kind == Event::Kind::kSetCaption ? "SetCaption "
                                                    : "ShowWarning ";
    out += event.name + " \"" + fuzzref::Escape(event.text, 60) + "\"; ";
  }
  return out;
}

void CheckCaptions(const Input& input, const calc::LoggingFields& form) {
  const std::vector<Event>& log = form.Log();
  if (log.size() != kLabelCount) {
    Fail(input, "ComputeResults did not write each caption once", Describe(log));
  }
  for (std::size_t i = 0; i < kLabelCount; ++i) {
    const Event& event = log[i];
    const calc::ResultLabel label = kWriteOrder[i];
    const std::string name(calc::ResultLabelName(label));
    if (event.kind != Event::Kind::kSetCaption || event.name != name) {
      Fail(input, "ComputeResults wrote out of order or touched a field", Describe(log));
    }
    const std::string& caption = event.text;
    if (label == calc::ResultLabel::Label3 || label == calc::ResultLabel::Label39) {
      // GJ per m2 from a yield below 1500 kWh rounded to Fixed4, and that times an area
      // below 1000 m2 rounded to Fixed4: at most 5.4 and 5400.
      const fuzzref::Decimal bound = label == calc::ResultLabel::Label3
                                         ? fuzzref::Decimal{false, "54", 1}
                                         : fuzzref::Decimal{false, "54", 4};
      const std::optional<fuzzref::Decimal> value =
          fuzzref::ReadFormattedFixed4(caption, input.separator);
      if (!value || value->negative || fuzzref::CompareMagnitude(*value, bound) > 0) {
        Fail(input, "caption is not a Fixed4 text in range", name + " \"" + caption + "\"");
      }
      continue;
    }
    std::string why;
    const std::optional<fuzzref::Decimal> value =
        fuzzref::ReadFormattedDouble(caption, input.separator, &why);
    if (!value) {
      Fail(input, "caption is not a FormatDouble text", name + " \"" + caption + "\": " + why);
    }
    // Whole kg or g divided by 1000: never negative, never more than three decimals.
    if (value->negative || fuzzref::DecimalsOf(*value) > 3) {
      Fail(input, "caption is not whole units over 1000", name + " \"" + caption + "\"");
    }
  }
}

Outcome Run(const Input& input, const calc::NumberFormat& format) {
  calc::LoggingFields form;
  for (std::size_t i = 0; i < kFieldCount; ++i) {
    if (input.texts[i]) {
      form.SetText(calc::kFields[i], std::string(*input.texts[i]));
    }
  }
  form.ClearLog();
  const std::array<std::string, kFieldCount> texts = TextsOf(form);
  const std::vector<Event> expected = ExpectedChecks(texts, format);
  try {
    calc::CheckInputs(form, format);
  } catch (const std::exception& e) {
    Fail(input, "CheckInputs threw", e.what());
  }
  if (form.Log() != expected) {
    Fail(input, "CheckInputs warned or reset wrongly",
         "did: " + Describe(form.Log()) + "\n  expected: " + Describe(expected));
  }

  double smallestEfficiency = INFINITY;
  bool zeroDivisor = false;
  for (std::size_t i = 0; i < kFieldCount; ++i) {
    const std::string text = form.GetText(calc::kFields[i]);
    if (!fuzzref::ScanNumber(text, input.separator) ||
        !InRange(i, calc::ParseNumber(text, format))) {
      Fail(input, "a field is not a number in range after CheckInputs",
           "Text" + std::to_string(i + 1) + " \"" + fuzzref::Escape(text) + "\"");
    }
    if (i >= 2) {
      const double efficiency = calc::ParseNumber(text, format);
      smallestEfficiency = std::fmin(smallestEfficiency, efficiency);
      zeroDivisor = zeroDivisor || efficiency / 100 == 0;
    }
  }

  form.ClearLog();
  const std::array<std::string, kLabelCount> before = CaptionsOf(form);
  Outcome outcome;
  try {
    calc::ComputeResults(form, format);
  } catch (const calc::ArithmeticError& e) {
    outcome.arithmeticError = true;
    if (!form.Log().empty() || CaptionsOf(form) != before) {
      Fail(input, "ComputeResults changed the form before an ArithmeticError",
           Describe(form.Log()));
    }
    if (smallestEfficiency >= kOrdinaryEfficiency) {
      Fail(input, "ArithmeticError for ordinary efficiencies", e.what());
    }
  } catch (const std::exception& e) {
    Fail(input, "ComputeResults threw something other than ArithmeticError", e.what());
  }
  if (!outcome.arithmeticError) {
    if (zeroDivisor) {
      Fail(input, "no ArithmeticError for an efficiency that is zero after dividing by 100",
           Describe(form.Log()));
    }
    CheckCaptions(input, form);
  }
  outcome.texts = TextsOf(form);
  outcome.captions = CaptionsOf(form);
  outcome.log = form.Log();
  return outcome;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) {
    return 0;
  }
  static constexpr std::array<std::string_view, 3> kSeparators{",", ".", "٫"};
  Input input;
  input.separator = kSeparators[data[0] % kSeparators.size()];
  std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  for (std::size_t i = 0; i < kFieldCount && !rest.empty(); ++i) {
    const std::size_t end = rest.find('\n');
    input.texts[i] = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
  }
  const calc::NumberFormat format{std::string(input.separator)};

  const Outcome first = Run(input, format);
  const Outcome second = Run(input, format);
  if (!(first == second)) {
    Fail(input, "the same texts gave another outcome", Describe(second.log));
  }
  return 0;
}
