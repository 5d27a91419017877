#include "link/serialcomm.h"

namespace {

constexpr std::string_view DeviceMarker = "\\Device\\";

std::string_view DevicePart(std::string_view valueName) {
  const auto marker = valueName.find(DeviceMarker);
  return marker == std::string_view::npos ? valueName
                                          : valueName.substr(marker + DeviceMarker.size());
}

// Registry text is not bound to carry its terminating zero: a value written
// without one must keep its last character.
std::string_view PortPart(std::string_view data) { return data.substr(0, data.find('\0')); }

}  // namespace

std::string SerialCommEntry(std::string_view valueName, std::string_view data) {
  std::string entry(PortPart(data));
  entry += "  ";
  entry += DevicePart(valueName);
  return entry;
}

#ifdef _WIN32

void AppendSerialCommPorts(HKEY key, std::vector<std::string>& list) {
  constexpr DWORD BufferSize = 256;
  for (DWORD index = 0;; ++index) {
    char name[BufferSize];
    BYTE data[BufferSize];
    DWORD nameLength = BufferSize;
    DWORD dataLength = BufferSize;
    DWORD type = 0;
    const LONG result =
        RegEnumValueA(key, index, name, &nameLength, nullptr, &type, data, &dataLength);
    // One value that does not fit must not hide the ports listed after it.
    if (result == ERROR_MORE_DATA) continue;
    if (result != ERROR_SUCCESS) break;
    list.push_back(SerialCommEntry({name, nameLength},
                                   {reinterpret_cast<const char*>(data), dataLength}));
  }
}

#endif
