#include "link/portpath.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace {

// "COM" in any letter case followed by a number of 1 or more.
int ComNumber(const std::string& name) {
  if (name.size() < 4) return 0;
  const bool com = std::equal(name.begin(), name.begin() + 3, "COM",
                              [](char a, char b) { return std::toupper(static_cast<unsigned char>(a)) == b; });
  if (!com) return 0;
  int number = 0;
  const char* first = name.data() + 3;
  const char* last = name.data() + name.size();
  const auto [end, error] = std::from_chars(first, last, number);
  return (error == std::errc() && end == last && number > 0) ? number : 0;
}

}  // namespace

std::string DevicePath(const std::string& portName) {
  if (portName.empty()) return {};
  if (portName.front() == '/') return portName;
  if (const int number = ComNumber(portName)) return "/dev/ttyS" + std::to_string(number - 1);
  return "/dev/" + portName;
}
