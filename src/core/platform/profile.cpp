#include "platform/profile.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>
#include <system_error>
#include <utility>

#include "platform/errors.h"
#include "platform/filereplace.h"
#include "platform/numtext.h"

namespace fs = std::filesystem;

namespace {

constexpr std::string_view Blanks = " \t\v\f\x1A";
constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
constexpr std::size_t MaxValueLength = 2047;
constexpr auto npos = std::string_view::npos;

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(Blanks);
  if (first == npos) return {};
  return text.substr(first, text.find_last_not_of(Blanks) - first + 1);
}

// Only ASCII letters fold: bytes from 0x80 are code-page characters.
char FoldCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, {}, FoldCase, FoldCase);
}

// The name of a "[name]" line; a line without "]" opens no section.
std::optional<std::string_view> HeaderName(std::string_view line) {
  line = Trim(line);
  const auto close = line.rfind(']');
  if (!line.starts_with('[') || close == npos) return std::nullopt;
  return Trim(line.substr(1, close - 1));
}

bool IsKeyLine(std::string_view line) { return line.find('=') != npos; }

std::string_view KeyName(std::string_view line) { return Trim(line.substr(0, line.find('='))); }

bool IsQuoted(std::string_view value) {
  return value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
         value.back() == value.front();
}

std::string ValueText(std::string_view line) {
  std::string_view value = line.substr(line.find('=') + 1);
  value = Trim(value.substr(0, value.find('\0')));
  if (IsQuoted(value)) value = value.substr(1, value.size() - 2);
  return std::string(value.substr(0, MaxValueLength));
}

// A value that reading would change (blanks at its ends, or a pair of
// enclosing quotes) is written inside one more pair of quotes, which
// reading removes again.
std::string ValueToWrite(std::string value) {
  std::erase_if(value, [](char c) { return c == '\r' || c == '\n'; });
  return Trim(value) != value || IsQuoted(value) ? '"' + value + '"' : value;
}

// The lines of one section: its header (none for the nameless section that
// the lines before the first header form), then its body up to the next header.
struct SectionSpan {
  std::size_t first;
  std::size_t body;
  std::size_t end;
};

// Every copy of the section, in file order.
std::vector<SectionSpan> SectionsNamed(const std::vector<std::string>& lines,
                                       std::string_view name) {
  std::vector<SectionSpan> found;
  SectionSpan current{0, 0, 0};
  bool inside = name.empty();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const auto header = HeaderName(lines[i]);
    if (!header) continue;
    if (inside) found.push_back({current.first, current.body, i});
    current = {i, i + 1, 0};
    inside = SameName(*header, name);
  }
  if (inside) found.push_back({current.first, current.body, lines.size()});
  return found;
}

std::optional<std::size_t> FindKey(const std::vector<std::string>& lines,
                                   const SectionSpan& section, std::string_view key) {
  for (std::size_t i = section.body; i < section.end; ++i)
    if (IsKeyLine(lines[i]) && SameName(KeyName(lines[i]), key)) return i;
  return std::nullopt;
}

std::size_t AfterLastKeyLine(const std::vector<std::string>& lines, const SectionSpan& section) {
  for (std::size_t i = section.end; i > section.body; --i)
    if (IsKeyLine(lines[i - 1])) return i;
  return section.body;
}

// Digits after a "$" or "0x" prefix; 0 for decimal text. Only for text that
// converts, where "$", "x" and "X" can stand only in the prefix.
std::size_t HexDigitCount(std::string_view text) {
  const auto prefixEnd = text.find_last_of("$xX");
  return prefixEnd == npos ? 0 : text.size() - prefixEnd - 1;
}

std::optional<std::int32_t> IntegerValue(std::string_view text) {
  const auto value = ParseIntegerText(text);
  if (!value) return std::nullopt;
  const auto hexDigits = HexDigitCount(text);
  if (hexDigits > 0 && hexDigits <= 8)
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(*value));
  using Limits = std::numeric_limits<std::int32_t>;
  if (*value < Limits::min() || *value > Limits::max()) return std::nullopt;
  return static_cast<std::int32_t>(*value);
}

// The bytes of the file, none when it is missing; nullopt when it exists but
// cannot be read (no access, a folder, an I/O error).
std::optional<std::string> ReadWholeFile(const std::string& path) {
  std::error_code error;
  if (fs::status(path, error).type() == fs::file_type::not_found) return std::string();
  std::ifstream in(path, std::ios::binary);
  std::string content;
  std::array<char, 65536> block;
  while (in.read(block.data(), block.size()) || in.gcount() > 0)
    content.append(block.data(), static_cast<std::size_t>(in.gcount()));
  if (in.bad() || !in.eof()) return std::nullopt;
  return content;
}

// A line ends at CR LF, at LF or at a lone CR, as the Windows profile
// functions read it: a stray CR must not join a line to the next one.
std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    const auto end = text.find_first_of("\r\n");
    lines.emplace_back(text.substr(0, end));
    if (end == npos) break;
    text.remove_prefix(end + (text.substr(end, 2) == "\r\n" ? 2 : 1));
  }
  return lines;
}

}  // namespace

ProfileFile::ProfileFile(std::string path) : path_(std::move(path)) {
  const auto content = ReadWholeFile(path_);
  readable_ = content.has_value();
  if (!readable_) return;
  std::string_view text = *content;
  byteOrderMark_ = text.starts_with(ByteOrderMark);
  if (byteOrderMark_) text.remove_prefix(ByteOrderMark.size());
  lines_ = SplitLines(text);
}

const std::string& ProfileFile::FileName() const { return path_; }

bool ProfileFile::Readable() const { return readable_; }

bool ProfileFile::HasSection(std::string_view section) const {
  return !SectionsNamed(lines_, section).empty();
}

bool ProfileFile::HasKey(std::string_view section, std::string_view key) const {
  const auto sections = SectionsNamed(lines_, section);
  return !sections.empty() && FindKey(lines_, sections.front(), key).has_value();
}

std::string ProfileFile::ReadString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue) const {
  const auto sections = SectionsNamed(lines_, section);
  if (sections.empty()) return std::string(defaultValue);
  const auto line = FindKey(lines_, sections.front(), key);
  return line ? ValueText(lines_[*line]) : std::string(defaultValue);
}

std::int32_t ProfileFile::ReadInteger(std::string_view section, std::string_view key,
                                      std::int32_t defaultValue) const {
  return IntegerValue(ReadString(section, key, "")).value_or(defaultValue);
}

bool ProfileFile::ReadBool(std::string_view section, std::string_view key,
                           bool defaultValue) const {
  const auto value = IntegerValue(ReadString(section, key, ""));
  return value ? *value != 0 : defaultValue;
}

double ProfileFile::ReadFloat(std::string_view section, std::string_view key,
                              double defaultValue) const {
  return ParseDecimalText(ReadString(section, key, "")).value_or(defaultValue);
}

void ProfileFile::WriteString(std::string_view section, std::string_view key,
                              std::string_view value) {
  std::string line = std::string(key) + "=" + ValueToWrite(std::string(value));

  const auto sections = SectionsNamed(lines_, section);
  if (sections.empty()) {
    lines_.push_back("[" + std::string(section) + "]");
    lines_.push_back(std::move(line));
  } else if (const auto existing = FindKey(lines_, sections.front(), key)) {
    lines_[*existing] = std::move(line);
  } else {
    const auto at = AfterLastKeyLine(lines_, sections.front());
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
  }
}

void ProfileFile::WriteInteger(std::string_view section, std::string_view key,
                               std::int64_t value) {
  WriteString(section, key, std::to_string(value));
}

void ProfileFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void ProfileFile::WriteFloat(std::string_view section, std::string_view key, double value) {
  WriteString(section, key, FormatNumber(value));
}

void ProfileFile::EraseSection(std::string_view section) {
  const auto sections = SectionsNamed(lines_, section);
  for (auto span = sections.rbegin(); span != sections.rend(); ++span)
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(span->first),
                 lines_.begin() + static_cast<std::ptrdiff_t>(span->end));
}

void ProfileFile::Save() const { SaveAs(path_); }

void ProfileFile::SaveAs(const std::string& path) const {
  std::string content = byteOrderMark_ ? std::string(ByteOrderMark) : std::string();
  for (const auto& line : lines_) content += line + "\n";

  // A file whose content was never read would lose it all.
  if (!readable_ || !ReplaceFileContent(path, content)) throw WriteError("Unable to write to " + path);
}
