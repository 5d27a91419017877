// The profile file: any bytes as a file. A key written with any value and
// saved reads back as that value (less its line breaks, cut to the longest
// value), every other key reads as before the write, and the save changes
// nothing that the file in memory read.
//
// Input: one byte choosing the section and key to write, the value up to a
// NUL byte, then the file.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "platform/profile.h"

namespace {

// Names of the program's own and others, in several letter cases.
constexpr std::array<std::string_view, 5> Sections = {"USB", "chart", "BOXES", "Vendor", "x"};
constexpr std::array<std::string_view, 5> Keys = {"BaudRate", "MAXY", "boxDynamic00", ";note", "k"};
constexpr std::size_t LongestValue = 2047;
constexpr std::string_view Absent = "\x01" "absent";

using Reading = std::array<std::array<std::string, Keys.size()>, Sections.size()>;

Reading ReadAll(const ProfileFile& file) {
  Reading reading;
  for (std::size_t s = 0; s < Sections.size(); ++s)
    for (std::size_t k = 0; k < Keys.size(); ++k) {
      reading[s][k] = file.ReadString(Sections[s], Keys[k], Absent);
      // The number forms convert what the string read gives: only their
      // arithmetic is of interest here.
      file.ReadInteger(Sections[s], Keys[k], 0);
      file.ReadFloat(Sections[s], Keys[k], 0);
    }
  return reading;
}

std::string WithoutLineBreaks(std::string value) {
  std::erase_if(value, [](char c) { return c == '\r' || c == '\n'; });
  return value.substr(0, LongestValue);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const ScratchFile scratch;
  if (size == 0) return 0;
  const std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::size_t section = data[0] % Sections.size(), key = data[0] / Sections.size() % Keys.size();
  const std::string_view value = input.substr(0, input.find('\0'));
  scratch.Write(input.substr(std::min(input.size(), value.size() + 1)));

  ProfileFile file(scratch.Path());
  const Reading before = ReadAll(file);
  file.WriteString(Sections[section], Keys[key], value);
  const Reading written = ReadAll(file);
  file.Save();
  const Reading after = ReadAll(ProfileFile(scratch.Path()));

  Require(after == written, "a save changes nothing that the file read");
  Require(after[section][key] == WithoutLineBreaks(std::string(value)),
          "a written value reads back");
  Reading others = after;
  others[section][key] = before[section][key];
  Require(others == before, "a write leaves every other key as it read");
  return 0;
}
