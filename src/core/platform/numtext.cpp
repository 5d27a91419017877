#include "platform/numtext.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>
#include <limits>

#include "platform/errors.h"

namespace {

constexpr std::string_view Blanks = " \t";

std::string_view TrimBlanks(std::string_view text) {
  const auto first = text.find_first_not_of(Blanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(Blanks) - first + 1);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the prefix that makes the text hexadecimal; 0 for decimal text.
std::size_t HexPrefixLength(std::string_view text, bool bareXPrefix) {
  if (text.starts_with('$')) return 1;
  if (text.starts_with("0x") || text.starts_with("0X")) return 2;
  if (bareXPrefix && (text.starts_with('x') || text.starts_with('X'))) return 1;
  return 0;
}

// Sign, digits with an optional decimal part, optional exponent, and nothing
// else. from_chars alone would also take "inf", "nan" and stop early at junk.
bool IsDecimalNumber(std::string_view text) {
  std::size_t at = 0;
  const auto skipSign = [&] {
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
  };
  const auto skipDigits = [&] {
    const std::size_t start = at;
    while (at < text.size() && IsDigit(text[at])) ++at;
    return at - start;
  };
  skipSign();
  std::size_t mantissaDigits = skipDigits();
  if (at < text.size() && text[at] == '.') {
    ++at;
    mantissaDigits += skipDigits();
  }
  if (mantissaDigits == 0) return false;
  if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
    ++at;
    skipSign();
    if (skipDigits() == 0) return false;
  }
  return at == text.size();
}

template <class Real>
std::optional<Real> ReadDecimal(std::string_view text) {
  text = TrimBlanks(text);
  if (!IsDecimalNumber(text)) return std::nullopt;
  if (text.starts_with('+')) text.remove_prefix(1);  // from_chars takes no "+"
  Real value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{}) return std::nullopt;
  return value;
}

}  // namespace

std::optional<std::int64_t> ParseIntegerText(std::string_view text, bool bareXPrefix) {
  text.remove_prefix(std::min(text.find_first_not_of(Blanks), text.size()));
  const bool negative = text.starts_with('-');
  if (negative || text.starts_with('+')) text.remove_prefix(1);
  const std::size_t prefix = HexPrefixLength(text, bareXPrefix);
  const std::string_view digits = text.substr(prefix);

  std::uint64_t magnitude = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(),
                                            magnitude, prefix ? 16 : 10);
  if (error != std::errc{} || end != digits.data() + digits.size()) return std::nullopt;

  constexpr auto largest = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
  if (magnitude > largest + (negative ? 1 : 0)) return std::nullopt;
  return static_cast<std::int64_t>(negative ? 0 - magnitude : magnitude);
}

std::optional<double> ParseDecimalText(std::string_view text) { return ReadDecimal<double>(text); }

long double ParseFloatText(const std::string& text) {
  std::string dotted = text;
  if (const auto comma = dotted.find(','); comma != std::string::npos) dotted[comma] = '.';
  // The program keeps every number as a double: one beyond its range would
  // become infinite, which no file or field reads back.
  const auto value = ReadDecimal<long double>(dotted);
  if (value && std::isfinite(static_cast<double>(*value))) return *value;
  throw ConversionError("'" + dotted + "' is not a valid floating point value");
}

std::string FormatNumber(double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0) return "0";  // negative zero too

  // The general format of 15 digits already picks the form by the exponent
  // and drops trailing zeros; only its exponent needs our spelling. Next to
  // the largest double, 15 digits round up past it and would read back as
  // out of range: there the shortest exact form is written.
  char buffer[32];
  auto end = std::to_chars(std::begin(buffer), std::end(buffer), value,
                           std::chars_format::general, 15).ptr;
  double readBack = 0;
  if (std::from_chars(buffer, end, readBack).ec != std::errc{})
    end = std::to_chars(std::begin(buffer), std::end(buffer), value, std::chars_format::general).ptr;
  const std::string_view text(buffer, end - buffer);
  const auto e = text.find('e');
  if (e == std::string_view::npos) return std::string(text);

  const std::string_view exponentDigits = text.substr(e + 2);
  return std::string(text.substr(0, e)) + "E" + (text[e + 1] == '-' ? "-" : "") +
         std::string(exponentDigits.substr(exponentDigits.find_first_not_of('0')));
}
