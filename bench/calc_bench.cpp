// One click on "Számítás" without the window: CheckInputs then ComputeResults on a plain
// record, for the start-up texts and for the slowest texts found so far.

#include <benchmark/benchmark.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "calc/form_fields.h"
#include "calc/input_check.h"
#include "calc/number_text.h"
#include "calc/savings.h"

namespace {

const calc::NumberFormat kHungarian{","};
constexpr std::size_t kMegabyte = std::size_t{1} << 20;

std::string Repeat(char c, std::size_t count) {
  return std::string(count, c);
}

struct Case {
  const char* name;
  std::array<std::string, 6> texts;
};

std::vector<Case> Cases() {
  const std::string digits = Repeat('7', kMegabyte);
  const std::string nines = Repeat('9', kMegabyte);
  const std::string zeros = Repeat('0', kMegabyte);
  std::string fourHundredDecimals = "0,";
  for (int i = 0; i < 40; ++i) {
    fourHundredDecimals += "9876543210";
  }
  return {
      {"startup", {"600", "1", "80", "100", "70", "60"}},
      // Accepted: 599,999... and 79,999... read to the last digit, then as Fixed4 and double.
      {"megabyte_fraction_accepted", {"599," + nines, "1", "79," + nines, "100", "70", "60"}},
      // Accepted: leading zeros in front of the start-up value.
      {"megabyte_leading_zeros_accepted", {zeros + "600", zeros + "1", "80", "100", "70", "60"}},
      {"four_hundred_decimals",
       {"600", fourHundredDecimals, fourHundredDecimals, "100", "70", "60"}},
      // A number far above the range: read to infinity, then rejected.
      {"megabyte_digits_out_of_range", {digits, "1", "80", "100", "70", "60"}},
      // Not a number only at its last character.
      {"megabyte_rejected_at_end", {"600", "1", "80", "100", digits + "x", "60"}},
      // Six megabytes, all out of range.
      {"six_megabytes_out_of_range", {digits, digits, digits, digits, digits, digits}},
      // Divides by an efficiency that is zero after the division by 100.
      {"arithmetic_error", {"600", "1", "0," + Repeat('0', 323) + "5", "100", "70", "60"}},
  };
}

calc::FieldRecord MakeRecord(const Case& c) {
  calc::FieldRecord record;
  for (std::size_t i = 0; i < calc::kFields.size(); ++i) {
    record.SetText(calc::kFields[i], c.texts[i]);
  }
  return record;
}

void Click(calc::FieldRecord& record) {
  calc::CheckInputs(record, kHungarian);
  try {
    calc::ComputeResults(record, kHungarian);
  } catch (const calc::ArithmeticError&) {
    // The window reports it; here only its cost counts.
  }
}

void RunCase(benchmark::State& state, const Case& c) {
  std::size_t bytes = 0;
  for (const std::string& text : c.texts) {
    bytes += text.size();
  }
  calc::FieldRecord record = MakeRecord(c);
  Click(record);
  // A rejected field is reset, so such cases need their texts back before every click;
  // accepted texts stay, and timing them without a pause keeps the pause's cost out.
  const bool resets = !record.Warnings().empty();
  for (auto _ : state) {
    if (resets) {
      state.PauseTiming();
      record = MakeRecord(c);
      state.ResumeTiming();
    }
    Click(record);
    benchmark::DoNotOptimize(record);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

}  // namespace

int main(int argc, char** argv) {
  // Registered from one table; the cases outlive the run.
  static const std::vector<Case> cases = Cases();
  for (const Case& c : cases) {
    benchmark::RegisterBenchmark(c.name, [&c](benchmark::State& state) {
      RunCase(state, c);
    })->Unit(benchmark::kMicrosecond);
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
    return 1;
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
