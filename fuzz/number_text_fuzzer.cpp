// Holds calc's number readers and writers against the independent ones in fuzz/reference.h.
//
// Input layout. The first byte picks the decimal separator by its value modulo 4:
// 0 ",", 1 ".", 2 "٫" (U+066B, two bytes), 3 the next (byte / 4) % 4 + 1 input bytes
// themselves, usable or not. The rest of the input is the number text, read straight from
// libFuzzer's exactly sized buffer so that a read past its end is caught. Besides, the
// eight bytes after the first are taken as a double and as an int64 for the writers.
// Seed files start with '0' to '3' (48 to 51) to pick the separator.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "calc/fixed4.h"
#include "calc/number_text.h"
#include "fuzz/reference.h"

namespace {

struct Input {
  std::string_view separator;
  std::string_view text;
};

[[noreturn]] void Fail(const Input& input, std::string_view what, const std::string& detail) {
  std::fprintf(stderr, "\nFAIL: %.*s\n  separator \"%s\"\n  text \"%s\"\n  %s\n",
               static_cast<int>(what.size()), what.data(), fuzzref::Escape(input.separator).c_str(),
               fuzzref::Escape(input.text).c_str(), detail.c_str());
  std::abort();
}

std::string Show(const fuzzref::Decimal& value) {
  return std::string(value.negative ? "-" : "") + "0." + value.digits + "e" +
         std::to_string(value.exponent);
}

template <typename Call>
void ExpectInvalidArgument(const Input& input, std::string_view what, Call call) {
  try {
    call();
  } catch (const std::invalid_argument&) {
    return;
  } catch (const std::exception& e) {
    Fail(input, what, std::string("threw another exception: ") + e.what());
  }
  Fail(input, what, "did not throw std::invalid_argument");
}

void CheckRejected(const Input& input, const calc::NumberFormat& format) {
  ExpectInvalidArgument(input, "ParseNumber of a rejected text",
                        [&] { calc::ParseNumber(input.text, format); });
  ExpectInvalidArgument(input, "ParseFixed4 of a rejected text",
                        [&] { calc::ParseFixed4(input.text, format); });
}

void CheckParseFixed4(const Input& input, const calc::NumberFormat& format,
                      const fuzzref::NumberText& number) {
  const std::optional<std::int64_t> expected = fuzzref::RoundToFixed4(number);
  try {
    const std::int64_t count = calc::ParseFixed4(input.text, format).Count();
    if (!expected) {
      Fail(input, "ParseFixed4 missed an overflow", "gave count " + std::to_string(count));
    }
    if (count != *expected) {
      Fail(input, "ParseFixed4 rounded wrongly",
           "gave count " + std::to_string(count) + ", exact rounding " + std::to_string(*expected));
    }
  } catch (const calc::ArithmeticError&) {
    if (expected) {
      Fail(input, "ParseFixed4 overflowed inside the range",
           "exact rounding " + std::to_string(*expected));
    }
  } catch (const std::exception& e) {
    Fail(input, "ParseFixed4 threw for an accepted text", e.what());
  }
}

// A value of at most 15 significant digits in the plain range comes back from the double
// unchanged, and reads back as the same double.
void CheckRoundTrip(const Input& input, const calc::NumberFormat& format,
                    const fuzzref::NumberText& number, double value) {
  fuzzref::Decimal exact = fuzzref::ValueOf(number);
  const bool zero = exact.digits.empty();
  if (exact.digits.size() > 15 || (!zero && (exact.exponent < -2 || exact.exponent > 15))) {
    return;
  }
  if (zero) {
    exact.negative = false;  // zero of either sign is "0"
  }
  const std::string shown = calc::FormatDouble(value, format);
  std::string why;
  const std::optional<fuzzref::Decimal> read =
      fuzzref::ReadFormattedDouble(shown, input.separator, &why);
  if (!read) {
    Fail(input, "FormatDouble wrote a malformed text", "\"" + shown + "\": " + why);
  }
  if (*read != exact) {
    Fail(input, "FormatDouble did not give back a 15-digit value",
         "\"" + shown + "\" is " + Show(*read) + ", the text is " + Show(exact));
  }
  if (calc::ParseNumber(shown, format) != value) {
    Fail(input, "ParseNumber of FormatDouble's text is another double", shown);
  }
}

void CheckText(const Input& input, const calc::NumberFormat& format) {
  if (!fuzzref::SeparatorUsable(input.separator)) {
    ExpectInvalidArgument(input, "IsNumberText with an unusable separator",
                          [&] { calc::IsNumberText(input.text, format); });
    CheckRejected(input, format);
    return;
  }
  const std::optional<fuzzref::NumberText> number =
      fuzzref::ScanNumber(input.text, input.separator);
  const bool accepted = calc::IsNumberText(input.text, format);
  if (accepted != number.has_value()) {
    Fail(input, "IsNumberText disagrees with the grammar",
         accepted ? "accepted a text outside it" : "rejected a number text");
  }
  if (!number) {
    CheckRejected(input, format);
    return;
  }
  double value = 0;
  try {
    value = calc::ParseNumber(input.text, format);
  } catch (const std::exception& e) {
    Fail(input, "ParseNumber threw for an accepted text", e.what());
  }
  const std::string why = fuzzref::CheckCorrectlyRounded(*number, value);
  if (!why.empty()) {
    char printed[64];
    std::snprintf(printed, sizeof printed, "%a", value);
    Fail(input, "ParseNumber is not correctly rounded", why + " (gave " + printed + ")");
  }
  CheckParseFixed4(input, format, *number);
  CheckRoundTrip(input, format, *number, value);
}

void CheckFormatDouble(const Input& input, const calc::NumberFormat& format, double value) {
  if (!fuzzref::SeparatorUsable(input.separator)) {
    ExpectInvalidArgument(input, "FormatDouble with an unusable separator",
                          [&] { calc::FormatDouble(value, format); });
    return;
  }
  const std::string shown = calc::FormatDouble(value, format);
  char printed[64];
  std::snprintf(printed, sizeof printed, "%a", value);
  if (std::isnan(value) || std::isinf(value)) {
    const char* expected = std::isnan(value) ? "NaN" : value > 0 ? "∞" : "-∞";
    if (shown != expected) {
      Fail(input, "FormatDouble of a non-finite value", std::string(printed) + " gave " + shown);
    }
    return;
  }
  std::string why;
  const std::optional<fuzzref::Decimal> read =
      fuzzref::ReadFormattedDouble(shown, input.separator, &why);
  if (!read) {
    Fail(input, "FormatDouble wrote a malformed text",
         std::string(printed) + " gave \"" + shown + "\": " + why);
  }
  fuzzref::Decimal expected = fuzzref::RoundTo15Digits(value);
  if (expected.digits.empty()) {
    expected.negative = false;
  }
  if (*read != expected) {
    Fail(input, "FormatDouble is not the 15-digit rounding",
         std::string(printed) + " gave \"" + shown + "\" = " + Show(*read) + ", expected " +
             Show(expected));
  }
}

void CheckFormatFixed4(const Input& input, const calc::NumberFormat& format, std::int64_t count) {
  if (calc::FormatInteger(count, format) != std::to_string(count)) {
    Fail(input, "FormatInteger", std::to_string(count));
  }
  if (!fuzzref::SeparatorUsable(input.separator)) {
    ExpectInvalidArgument(input, "FormatFixed4 with an unusable separator",
                          [&] { calc::FormatFixed4(calc::Fixed4::FromCount(count), format); });
    return;
  }
  const std::string shown = calc::FormatFixed4(calc::Fixed4::FromCount(count), format);
  const std::optional<fuzzref::Decimal> read = fuzzref::ReadFormattedFixed4(shown, input.separator);
  const bool negative = count < 0;
  const std::uint64_t magnitude =
      negative ? 0 - static_cast<std::uint64_t>(count) : static_cast<std::uint64_t>(count);
  const std::string digits = std::to_string(magnitude);
  fuzzref::NumberText asText{negative, digits, ""};
  fuzzref::Decimal expected = fuzzref::ValueOf(asText);
  if (!expected.digits.empty()) {
    expected.exponent -= 4;
  }
  if (!read || *read != expected) {
    Fail(input, "FormatFixed4", "count " + std::to_string(count) + " gave \"" + shown + "\"");
  }
  if (calc::ParseFixed4(shown, format).Count() != count) {
    Fail(input, "ParseFixed4 of FormatFixed4's text", shown);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) {
    return 0;
  }
  const auto* bytes = reinterpret_cast<const char*>(data);
  const std::string_view all(bytes, size);
  Input input;
  std::size_t textStart = 1;
  switch (data[0] % 4) {
    case 0:
      input.separator = ",";
      break;
    case 1:
      input.separator = ".";
      break;
    case 2:
      input.separator = "٫";
      break;
    default:
      input.separator = all.substr(1, static_cast<std::size_t>(data[0] / 4 % 4 + 1));
      textStart += input.separator.size();
      break;
  }
  input.text = all.substr(std::min(textStart, size));
  const calc::NumberFormat format{std::string(input.separator)};

  if (calc::IsUsableSeparator(input.separator) != fuzzref::SeparatorUsable(input.separator)) {
    Fail(input, "IsUsableSeparator", "disagrees");
  }
  CheckText(input, format);
  if (size >= 9) {
    double value = 0;
    std::int64_t count = 0;
    std::memcpy(&value, data + 1, sizeof value);
    std::memcpy(&count, data + 1, sizeof count);
    CheckFormatDouble(input, format, value);
    CheckFormatFixed4(input, format, count);
  }
  return 0;
}
