// Number, value and address texts: whatever parses formats back to a text
// that parses to the same number; what does not parse raises ConversionError
// and nothing else (anything else escapes and ends the run).
//
// Input: the text. For the Up and Down arithmetic, its first line is a cell's
// caption and the rest its value.
#include <cstdint>
#include <optional>
#include <string>

#include "fuzz_support.h"
#include "link/registercommand.h"
#include "panel/panelcell.h"
#include "platform/errors.h"
#include "platform/numtext.h"

namespace {

template <class Parse>
auto Parsed(Parse parse) -> std::optional<decltype(parse())> {
  try {
    return parse();
  } catch (const ConversionError&) {
    return std::nullopt;
  }
}

// How a number the program holds comes back from the layout file or from an
// options field that shows it.
void RequireReadsBack(double value) {
  const std::string text = FormatNumber(value);
  const auto stored = ParseDecimalText(text);
  Require(stored.has_value(), "a number's written form reads back");
  Require(FormatNumber(*stored) == text, "a number reads back the same to its written precision");
  const auto typed = Parsed([&] { return static_cast<double>(ParseFloatText(text)); });
  Require(typed && FormatNumber(*typed) == text, "a number's written form reads back as typed");
}

void CheckIntegers(const std::string& text) {
  for (const bool bareX : {false, true})
    if (const auto n = ParseIntegerText(text, bareX))
      Require(ParseIntegerText(std::to_string(*n)) == n, "an integer's decimal form reads back");

  if (const auto value = Parsed([&] { return ParseRegisterValue(text); }))
    Require(ParseRegisterValue(std::to_string(*value)) == *value, "a register value reads back");

  if (const auto address = ParseAddressText(text))
    Require(ParseAddressText(std::to_string(*address)) == address, "an address reads back");
  if (const auto address = Parsed([&] { return ParseRegisterAddress(text); }))
    Require(ParseRegisterAddress(std::to_string(*address) + " | name") == *address,
            "a caption's address reads back");
}

void CheckDecimals(const std::string& text) {
  if (const auto value = ParseDecimalText(text)) RequireReadsBack(*value);
  // Typed numbers are kept as double.
  if (const auto typed = Parsed([&] { return ParseFloatText(text); }))
    RequireReadsBack(static_cast<double>(*typed));
}

// Up then Down leaves the value as a step of zero reads it, and an 8-bit
// register stays within its byte.
void CheckSteps(const std::string& text) {
  const auto lineEnd = text.find('\n');
  const std::string caption = text.substr(0, lineEnd);
  const std::string value = lineEnd == std::string::npos ? std::string() : text.substr(lineEnd + 1);
  const bool wide = SteppedCellValue(caption, "256", 0) == 256;  // else 8-bit, which keeps 0
  const std::uint32_t asRead = SteppedCellValue(caption, value, 0);
  for (const int step : {1, -1}) {
    const std::uint32_t stepped = SteppedCellValue(caption, value, step);
    Require(SteppedCellValue(caption, std::to_string(stepped), -step) == asRead,
            "Up then Down gives the value back");
    Require(wide || stepped <= 0xFF, "an 8-bit register steps within its byte");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  CheckIntegers(text);
  CheckDecimals(text);
  CheckSteps(text);
  return 0;
}
