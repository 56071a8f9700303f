#include "calc/input_check.h"

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "calc/savings.h"
#include "calc/testing/logging_fields.h"

namespace {

using calc::Field;
using calc::FieldRecord;
using calc::NumberFormat;

constexpr const char* kNotANumber = "Adjon meg számot!";
constexpr const char* kYieldRange =
    "A fajlagos energiahozam 0 és 1500 kWh/m2.év között kell legyen!";
constexpr const char* kAreaRange = "A kollektorfelület pozitív kell legyen!";
constexpr const char* kGasRange = "A gáztüzelés hatásfoka 0 és 120 % között kell legyen!";
constexpr const char* kElectricRange = "A villamos fűtés hatásfoka 0 és 100 % között kell legyen!";
constexpr const char* kOilRange = "A olajtüzelés hatásfoka 0 és 100 % között kell legyen!";
constexpr const char* kCoalRange = "A széntüzelés hatásfoka 0 és 100 % között kell legyen!";

// One field's text, all others at their start-up texts.
struct FieldCase {
  const char* name;
  Field field;
  std::string text;
  const char* warning;  // nullptr: accepted and kept exactly as typed
  std::string separator = ",";
};

class CheckOneField : public testing::TestWithParam<FieldCase> {};

TEST_P(CheckOneField, WarnsAndResetsOrKeeps) {
  const FieldCase& c = GetParam();
  FieldRecord record;
  const std::string startUp = record.GetText(c.field);
  record.SetText(c.field, c.text);

  calc::CheckInputs(record, NumberFormat{c.separator});

  if (c.warning == nullptr) {
    EXPECT_TRUE(record.Warnings().empty());
    EXPECT_EQ(record.GetText(c.field), c.text);
  } else {
    EXPECT_EQ(record.Warnings(), std::vector<std::string>{c.warning});
    EXPECT_EQ(record.GetText(c.field), startUp);
  }
  for (const Field other : calc::kFields) {
    if (other != c.field) {
      EXPECT_EQ(record.GetText(other), calc::StartUpText(other)) << calc::FieldName(other);
    }
  }
}

const FieldCase kFieldCases[] = {
    // Not numbers, in any field.
    {"EmptyYield", Field::Text1, "", kNotANumber},
    {"EmptyCoal", Field::Text6, "", kNotANumber},
    {"LettersGas", Field::Text3, "abc", kNotANumber},
    {"PointUnderCommaArea", Field::Text2, "1.5", kNotANumber},
    {"CommaUnderPointArea", Field::Text2, "1,5", kNotANumber, "."},
    {"ExponentYield", Field::Text1, "6e2", kNotANumber},
    // Zero and negatives get the range message, not the not-a-number one.
    {"ZeroYield", Field::Text1, "0", kYieldRange},
    {"NegativeYield", Field::Text1, "-5", kYieldRange},
    {"ZeroArea", Field::Text2, "0", kAreaRange},
    {"NegativeArea", Field::Text2, "-5", kAreaRange},
    {"NegativeZeroGas", Field::Text3, "-0", kGasRange},
    {"ZeroElectric", Field::Text4, "0,0", kElectricRange},
    {"NegativeOil", Field::Text5, "-5", kOilRange},
    {"ZeroCoal", Field::Text6, "0", kCoalRange},
    {"UnderflowsToZeroGas", Field::Text3, "0," + std::string(400, '0') + "1", kGasRange},
    // Upper bounds: strict except for the electric efficiency.
    {"YieldAtBound", Field::Text1, "1500", kYieldRange},
    {"YieldBelowBound", Field::Text1, "1499,99", nullptr},
    {"YieldBelowBoundPoint", Field::Text1, "1499.99", nullptr, "."},
    {"AreaAtBound", Field::Text2, "1000", kAreaRange},
    {"AreaAboveBound", Field::Text2, "5000", kAreaRange},
    {"AreaBelowBound", Field::Text2, "999,9999", nullptr},
    {"GasAtBound", Field::Text3, "120", kGasRange},
    {"GasBelowBound", Field::Text3, "119,99", nullptr},
    {"ElectricAtBound", Field::Text4, "100", nullptr},
    {"ElectricJustAboveBound", Field::Text4, "100,00000000001", kElectricRange},
    {"OilAtBound", Field::Text5, "100", kOilRange},
    {"OilBelowBound", Field::Text5, "99,99", nullptr},
    {"CoalAtBound", Field::Text6, "100", kCoalRange},
    {"CoalBelowBound", Field::Text6, "99,99", nullptr},
    // The bound is tested on the double: this text reads as exactly 1500.
    {"YieldRoundingOntoBound", Field::Text1, "1499,99999999999999999", kYieldRange},
    // Passing texts stay as typed, even where the calculation rounds them.
    {"KeptAsTyped", Field::Text2, " +0,00001\t", nullptr},
    {"TinyEfficiencyPasses", Field::Text4, "0,00000000000000001", nullptr},
};

INSTANTIATE_TEST_SUITE_P(Table, CheckOneField, testing::ValuesIn(kFieldCases),
                         [](const testing::TestParamInfo<FieldCase>& row) {
                           return std::string(row.param.name);
                         });

TEST(CheckInputs, RejectsInFieldOrderThenTheResultsUseTheResetTexts) {
  const NumberFormat hungarian{","};
  FieldRecord record;
  record.SetText(Field::Text4, "0");
  record.SetText(Field::Text1, "abc");

  calc::CheckInputs(record, hungarian);
  EXPECT_EQ(record.Warnings(), (std::vector<std::string>{kNotANumber, kElectricRange}));
  EXPECT_EQ(record.GetText(Field::Text1), "600");
  EXPECT_EQ(record.GetText(Field::Text4), "100");

  calc::ComputeResults(record, hungarian);
  EXPECT_EQ(record.Caption(calc::ResultLabel::Label3), "2,16");
  EXPECT_EQ(record.Caption(calc::ResultLabel::Label11), "0,151");
  EXPECT_EQ(record.Caption(calc::ResultLabel::Label12), "0,558");
}

TEST(CheckInputs, EveryFieldRejectedGivesSixWarningsInOrder) {
  FieldRecord record;
  const char* const texts[] = {"1500", "x", "120", "", "100", "-1"};
  for (std::size_t i = 0; i < calc::kFields.size(); ++i) {
    record.SetText(calc::kFields[i], texts[i]);
  }
  calc::CheckInputs(record, NumberFormat{","});
  EXPECT_EQ(record.Warnings(), (std::vector<std::string>{kYieldRange, kNotANumber, kGasRange,
                                                         kNotANumber, kOilRange, kCoalRange}));
  const char* const resets[] = {"600", "1", "80", "100", "70", "60"};
  for (std::size_t i = 0; i < calc::kFields.size(); ++i) {
    EXPECT_EQ(record.GetText(calc::kFields[i]), resets[i]) << calc::FieldName(calc::kFields[i]);
  }
}

// The warning is shown while the field still holds the rejected text: nothing is written
// before it.
TEST(CheckInputs, WarnsBeforeResettingAndTouchesNothingElse) {
  calc::LoggingFields fields;
  fields.SetText(Field::Text2, "-3");
  fields.ClearLog();
  calc::CheckInputs(fields, NumberFormat{","});
  EXPECT_EQ(fields.Lines(),
            (std::vector<std::string>{std::string("warning: ") + kAreaRange, "Text2 := 1"}));
}

TEST(CheckInputs, StartUpTextsAndMessagesAreExposed) {
  const char* const startUp[] = {"600", "1", "80", "100", "70", "60"};
  const char* const messages[] = {kYieldRange,    kAreaRange, kGasRange,
                                  kElectricRange, kOilRange,  kCoalRange};
  for (std::size_t i = 0; i < calc::kFields.size(); ++i) {
    EXPECT_EQ(calc::StartUpText(calc::kFields[i]), startUp[i]);
    EXPECT_EQ(calc::RangeMessage(calc::kFields[i]), messages[i]);
  }
  EXPECT_EQ(calc::kNotANumberMessage, kNotANumber);
}

TEST(FieldRecord, StartsWithStartUpTextsAndStoredCaptions) {
  const FieldRecord record;
  const char* const texts[] = {"600", "1", "80", "100", "70", "60"};
  const char* const names[] = {"Text1", "Text2", "Text3", "Text4", "Text5", "Text6"};
  for (std::size_t i = 0; i < calc::kFields.size(); ++i) {
    EXPECT_EQ(record.GetText(calc::kFields[i]), texts[i]);
    EXPECT_EQ(calc::FieldName(calc::kFields[i]), names[i]);
  }
  const char* const captions[] = {"Label3",  "Label39", "Label11", "Label12", "Label13",
                                  "Label14", "Label16", "Label17", "Label18", "Label19",
                                  "Label21", "Label22", "Label23", "Label24"};
  for (std::size_t i = 0; i < calc::kResultLabels.size(); ++i) {
    EXPECT_EQ(record.Caption(calc::kResultLabels[i]), captions[i]);
    EXPECT_EQ(calc::ResultLabelName(calc::kResultLabels[i]), captions[i]);
  }
  EXPECT_TRUE(record.Warnings().empty());
}

}  // namespace
