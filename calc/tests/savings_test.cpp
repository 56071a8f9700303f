#include "calc/savings.h"

#include <array>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "calc/input_check.h"
#include "calc/testing/logging_fields.h"

namespace {

using calc::Field;
using calc::FieldRecord;
using calc::NumberFormat;
using calc::ResultLabel;

constexpr const char* kArabicSeparator = "\xD9\xAB";  // U+066B, two bytes in UTF-8

// Each scenario is accepted by CheckInputs; the captions follow kResultLabels:
// Label3, Label39, then CO2 (Label11-14), NOx (Label16-19) and SO2 (Label21-24), each for
// gas, electricity, oil and coal.
struct Scenario {
  const char* name;
  std::string separator;
  std::array<std::string, 6> texts;
  std::array<std::string, 14> captions;
};

class Savings : public testing::TestWithParam<Scenario> {};

TEST_P(Savings, WritesEveryCaption) {
  const Scenario& s = GetParam();
  const NumberFormat format{s.separator};
  FieldRecord record;
  for (std::size_t i = 0; i < calc::kFields.size(); ++i) {
    record.SetText(calc::kFields[i], s.texts[i]);
  }
  calc::CheckInputs(record, format);
  ASSERT_TRUE(record.Warnings().empty()) << record.Warnings().front();

  calc::ComputeResults(record, format);
  for (std::size_t i = 0; i < calc::kResultLabels.size(); ++i) {
    EXPECT_EQ(record.Caption(calc::kResultLabels[i]), s.captions[i])
        << calc::ResultLabelName(calc::kResultLabels[i]);
  }
}

const Scenario kScenarios[] = {
    {"StartUpTextsComma",
     ",",
     {"600", "1", "80", "100", "70", "60"},
     {"2,16", "2,16", "0,151", "0,558", "0,238", "0,345", "0,202", "0,36", "0,246", "0,54", "0,021",
      "0,24", "4,628", "6,12"}},
    {"StartUpTextsPoint",
     ".",
     {"600", "1", "80", "100", "70", "60"},
     {"2.16", "2.16", "0.151", "0.558", "0.238", "0.345", "0.202", "0.36", "0.246", "0.54", "0.021",
      "0.24", "4.628", "6.12"}},
    // The same values spelt otherwise give the same results.
    {"StartUpValuesOtherSpellings",
     ",",
     {" +600,0000 ", "1,", "80,00004", "100,", "\t70", "060"},
     {"2,16", "2,16", "0,151", "0,558", "0,238", "0,345", "0,202", "0,36", "0,246", "0,54", "0,021",
      "0,24", "4,628", "6,12"}},
    // 555.55 kWh is 1.99998 GJ, which Fixed4 makes 2.
    {"YieldRoundsToTwo",
     ",",
     {"555,55", "12,5", "92", "98", "85", "75"},
     {"2", "25", "1,524", "6,59", "2,275", "3,2", "2,038", "4,251", "2,352", "5", "0,217", "2,834",
      "44,117", "56,666"}},
    {"YieldRoundsToTwoPoint",
     ".",
     {"555.55", "12.5", "92", "98", "85", "75"},
     {"2", "25", "1.524", "6.59", "2.275", "3.2", "2.038", "4.251", "2.352", "5", "0.217", "2.834",
      "44.117", "56.666"}},
    {"YieldRoundsToTwoWideSeparator",
     kArabicSeparator,
     {"555\xD9\xAB"
      "55",
      "12\xD9\xAB"
      "5",
      "92", "98", "85", "75"},
     {"2", "25",
      "1\xD9\xAB"
      "524",
      "6\xD9\xAB"
      "59",
      "2\xD9\xAB"
      "275",
      "3\xD9\xAB"
      "2",
      "2\xD9\xAB"
      "038",
      "4\xD9\xAB"
      "251",
      "2\xD9\xAB"
      "352",
      "5",
      "0\xD9\xAB"
      "217",
      "2\xD9\xAB"
      "834",
      "44\xD9\xAB"
      "117",
      "56\xD9\xAB"
      "666"}},
    // In doubles 4.625 x 3.6 / 1000 x 10000 is 166.50000000000003, not a tie: 0,0167.
    // Folding the steps into x 0.0036 would give 166.49999999999997 and 0,0166.
    {"YieldJustAboveAHalf",
     ",",
     {"4,625", "100", "80", "100", "70", "60"},
     {"0,0167", "1,67", "0,117", "0,43", "0,184", "0,267", "0,156", "0,277", "0,19", "0,417",
      "0,016", "0,185", "3,578", "4,731"}},
    {"LargestInputs",
     ",",
     {"1499,99", "999,9999", "119,99", "100", "99,99", "99,99"},
     {"5,4", "5399,9995", "252,471", "1394,99", "417,839", "518,451", "337,528", "899,993",
      "432,043", "810,08", "36,002", "599,995", "8100,809", "9180,917"}},
    {"LowEfficiencies",
     ",",
     {"1499,9999", "999,9999", "0,001", "0,001", "0,001", "0,001"},
     {"5,4", "5399,9995", "30293996,97", "139499976,75", "41779795,822", "51839994,816",
      "40499995,95", "89999984,999", "43199995,679", "80999991,9", "4319999,568", "59999990",
      "809999918,999", "917999908,2"}},
    {"SmallYield",
     ",",
     {"1", "1", "50", "50", "50", "50"},
     {"0,0036", "0,0036", "0", "0,001", "0", "0", "0", "0,001", "0", "0,001", "0", "0", "0,01",
      "0,012"}},
    // Accepted areas that Fixed4 rounds: to zero, and half to even both ways.
    {"AreaRoundsToZero",
     ",",
     {"600", "0,00001", "80", "100", "70", "60"},
     {"2,16", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0"}},
    {"AreaHalfRoundsDownToEven",
     ",",
     {"600", "0,00005", "80", "100", "70", "60"},
     {"2,16", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0"}},
    {"AreaHalfRoundsUpToEven",
     ",",
     {"600", "0,00015", "80", "100", "70", "60"},
     {"2,16", "0,0004", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0,001"}},
    // Tiny accepted efficiencies give results far beyond the positional range.
    {"TinyEfficienciesPrintExponents",
     ",",
     {"600", "1", "0,00000000000000001", "0,00000000000000001", "0,00000000000000001",
      "0,00000000000000001"},
     {"2,16", "2,16", "1,21176E+18", "5,58E+18", "1,671192E+18", "2,0736E+18", "1,62E+18",
      "3,6E+18", "1,728E+18", "3,24E+18", "1,728E+17", "2,4E+18", "3,24E+19", "3,672E+19"}},
};

INSTANTIATE_TEST_SUITE_P(Table, Savings, testing::ValuesIn(kScenarios),
                         [](const testing::TestParamInfo<Scenario>& row) {
                           return std::string(row.param.name);
                         });

TEST(ComputeResults, WritesEachCaptionOnceInOrderAndNothingElse) {
  calc::LoggingFields fields;
  calc::ComputeResults(fields, NumberFormat{","});
  const std::vector<std::string> expected{
      "Label3 = 2,16",   "Label11 = 0,151", "Label12 = 0,558", "Label13 = 0,238", "Label14 = 0,345",
      "Label16 = 0,202", "Label17 = 0,36",  "Label18 = 0,246", "Label19 = 0,54",  "Label21 = 0,021",
      "Label22 = 0,24",  "Label23 = 4,628", "Label24 = 6,12",  "Label39 = 2,16"};
  EXPECT_EQ(fields.Lines(), expected);
}

// A failing run writes no caption at all, so the labels never mix two runs.
struct Failure {
  const char* name;
  Field field;
  std::string text;
  bool passesChecks;  // whether CheckInputs lets the text through
};

const std::string kUnderflowingEfficiency = "0," + std::string(323, '0') + "5";  // 5e-324

const Failure kFailures[] = {
    // The efficiency divided by 100 underflows to zero.
    {"GasEfficiencyUnderflows", Field::Text3, kUnderflowingEfficiency, true},
    {"ElectricEfficiencyUnderflows", Field::Text4, kUnderflowingEfficiency, true},
    {"OilEfficiencyUnderflows", Field::Text5, kUnderflowingEfficiency, true},
    {"CoalEfficiencyUnderflows", Field::Text6, kUnderflowingEfficiency, true},
    // 1e-310 % stays above zero, but the quotient passes the double range.
    {"QuotientOverflows", Field::Text3, "0," + std::string(309, '0') + "1", true},
    // Beyond what the checks let through: Fixed4 or double range left at various steps.
    {"YieldOutsideFixed4", Field::Text1, "1000000000000000", false},
    {"ElectricRowOutsideFixed4", Field::Text1, "100000000000000", false},
    {"AreaOutsideFixed4", Field::Text2, "10000000000", false},
    {"EfficiencyInfinite", Field::Text4, "1" + std::string(400, '0'), false},
    {"EfficiencyZero", Field::Text6, "0", false},
};

class FailedRun : public testing::TestWithParam<Failure> {};

TEST_P(FailedRun, ThrowsAndLeavesEveryCaption) {
  const Failure& f = GetParam();
  const NumberFormat hungarian{","};
  FieldRecord record;
  record.SetText(f.field, f.text);

  FieldRecord checked = record;
  calc::CheckInputs(checked, hungarian);
  EXPECT_EQ(checked.Warnings().empty(), f.passesChecks);

  EXPECT_THROW(calc::ComputeResults(record, hungarian), calc::ArithmeticError);
  for (const ResultLabel label : calc::kResultLabels) {
    EXPECT_EQ(record.Caption(label), calc::ResultLabelName(label));
  }
}

INSTANTIATE_TEST_SUITE_P(Table, FailedRun, testing::ValuesIn(kFailures),
                         [](const testing::TestParamInfo<Failure>& row) {
                           return std::string(row.param.name);
                         });

TEST(ComputeResults, FailureAfterAGoodRunKeepsItsResults) {
  const NumberFormat hungarian{","};
  FieldRecord record;
  calc::ComputeResults(record, hungarian);
  FieldRecord before = record;

  record.SetText(Field::Text5, kUnderflowingEfficiency);
  EXPECT_THROW(calc::ComputeResults(record, hungarian), calc::ArithmeticError);
  for (const ResultLabel label : calc::kResultLabels) {
    EXPECT_EQ(record.Caption(label), before.Caption(label)) << calc::ResultLabelName(label);
  }
}

TEST(ComputeResults, NonNumberTextIsAnInvalidArgument) {
  calc::LoggingFields fields;
  fields.SetText(Field::Text6, "abc");
  fields.ClearLog();
  EXPECT_THROW(calc::ComputeResults(fields, NumberFormat{","}), std::invalid_argument);
  EXPECT_EQ(fields.Lines(), std::vector<std::string>{});
}

}  // namespace
