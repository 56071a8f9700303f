#pragma once
// What each input field and each result label is, one row per control: the checks, the
// calculation, FieldRecord and the window all read these two tables. How a result is
// computed (its carrier, pollutant and steps) is in calc/pollutant_table.h.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "calc/emission_factors.h"
#include "calc/enum_index.h"
#include "calc/form_fields.h"

namespace calc {

// The values a field accepts, compared on the text's ParseNumber value: above `lower` (never
// the bound itself), and below `upper`, or up to it when `upperIncluded`.
struct FieldRange {
  double lower;
  double upper;
  bool upperIncluded;

  constexpr bool Contains(double x) const {
    return x > lower && (upperIncluded ? x <= upper : x < upper);
  }
};

struct InputField {
  Field field;
  std::string_view name;      // the control's name
  std::int64_t startUpValue;  // also what a rejected text is reset to; see StartUpText
  FieldRange range;
  std::string_view rangeMessage;  // the warning for a number outside the range, word for word
  // How the copied table and a screen reader name the field, in Hungarian, and its unit.
  std::string_view heading;
  std::string_view unit;
  std::optional<Carrier> efficiencyOf;  // the heating whose efficiency, in %, the field holds
};

// In checking order, which is the order of Field. Only the electric efficiency may reach its
// upper bound: 100 % is its start-up value.
// clang-format off
inline constexpr std::array<InputField, 6> kInputFields{{
  // field        name     start  range (lower, upper, upper included)  range message / heading / unit / efficiency of
  {Field::Text1, "Text1",   600, {0, 1500, false}, "A fajlagos energiahozam 0 és 1500 kWh/m2.év között kell legyen!",
   "Kollektorral megtakarítható éves fajlagos hőenergia", "kWh/m²·év", std::nullopt},
  {Field::Text2, "Text2",     1, {0, 1000, false}, "A kollektorfelület pozitív kell legyen!",
   "Napkollektor felület", "m²", std::nullopt},
  {Field::Text3, "Text3",    80, {0,  120, false}, "A gáztüzelés hatásfoka 0 és 120 % között kell legyen!",
   "Gáz hatásfok", "%", Carrier::Gas},
  {Field::Text4, "Text4",   100, {0,  100, true},  "A villamos fűtés hatásfoka 0 és 100 % között kell legyen!",
   "Villany hatásfok", "%", Carrier::Electricity},
  {Field::Text5, "Text5",    70, {0,  100, false}, "A olajtüzelés hatásfoka 0 és 100 % között kell legyen!",
   "Olaj hatásfok", "%", Carrier::Oil},
  {Field::Text6, "Text6",    60, {0,  100, false}, "A széntüzelés hatásfoka 0 és 100 % között kell legyen!",
   "Szén hatásfok", "%", Carrier::Coal},
}};
// clang-format on

struct ResultField {
  ResultLabel label;
  std::string_view name;  // the control's name, which is also a fresh label's stored caption
  // How the copied table and a screen reader name the result, in Hungarian, and its unit.
  std::string_view heading;
  std::string_view unit;
};

// In the order of ResultLabel: the heat saved, then carbon dioxide, nitrogen oxides and
// sulphur dioxide, each for gas, electricity, oil and coal.
// clang-format off
inline constexpr std::array<ResultField, 14> kResultFields{{
  {ResultLabel::Label3,  "Label3",  "Fajlagos hőenergia",              "GJ/m²·év"},
  {ResultLabel::Label39, "Label39", "Összes megtakarítható hőenergia", "GJ/év"},
  {ResultLabel::Label11, "Label11", "Gáz, szén-dioxid",                "t/év"},
  {ResultLabel::Label12, "Label12", "Villany, szén-dioxid",            "t/év"},
  {ResultLabel::Label13, "Label13", "Olaj, szén-dioxid",               "t/év"},
  {ResultLabel::Label14, "Label14", "Szén, szén-dioxid",               "t/év"},
  {ResultLabel::Label16, "Label16", "Gáz, nitrogén-oxidok",            "kg/év"},
  {ResultLabel::Label17, "Label17", "Villany, nitrogén-oxidok",        "kg/év"},
  {ResultLabel::Label18, "Label18", "Olaj, nitrogén-oxidok",           "kg/év"},
  {ResultLabel::Label19, "Label19", "Szén, nitrogén-oxidok",           "kg/év"},
  {ResultLabel::Label21, "Label21", "Gáz, kén-dioxid",                 "kg/év"},
  {ResultLabel::Label22, "Label22", "Villany, kén-dioxid",             "kg/év"},
  {ResultLabel::Label23, "Label23", "Olaj, kén-dioxid",                "kg/év"},
  {ResultLabel::Label24, "Label24", "Szén, kén-dioxid",                "kg/év"},
}};
// clang-format on

// Each table has one row per enumerator, in enumerator order, so an enumerator indexes it.
// (Plain loops: the WebAssembly build's library lacks some range algorithms.)
constexpr bool InEnumeratorOrder() {
  for (std::size_t i = 0; i < kInputFields.size(); ++i) {
    if (kInputFields[i].field != kFields[i] || IndexOf(kFields[i]) != i) return false;
  }
  for (std::size_t i = 0; i < kResultFields.size(); ++i) {
    if (kResultFields[i].label != kResultLabels[i] || IndexOf(kResultLabels[i]) != i) return false;
  }
  return true;
}
static_assert(InEnumeratorOrder());

// Every carrier's efficiency is in exactly one field.
constexpr bool OneFieldPerEfficiency() {
  for (const Carrier carrier : kCarriers) {
    int count = 0;
    for (const InputField& input : kInputFields) {
      if (input.efficiencyOf == carrier) ++count;
    }
    if (count != 1) return false;
  }
  return true;
}
static_assert(OneFieldPerEfficiency());

constexpr const InputField& InputFieldOf(Field field) {
  return kInputFields.at(IndexOf(field));
}

constexpr const ResultField& ResultFieldOf(ResultLabel label) {
  return kResultFields.at(IndexOf(label));
}

// The row of the control with this name ("Text3", "Label11"); nullptr for any other name.
constexpr const InputField* InputFieldNamed(std::string_view name) {
  for (const InputField& input : kInputFields) {
    if (input.name == name) return &input;
  }
  return nullptr;
}
constexpr const ResultField* ResultFieldNamed(std::string_view name) {
  for (const ResultField& result : kResultFields) {
    if (result.name == name) return &result;
  }
  return nullptr;
}

}  // namespace calc
