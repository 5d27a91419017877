// The serial port on Windows: a communications device opened exclusively,
// synchronous I/O, the driver's queues and time-outs.
#include "link/comport.h"

#include <string_view>

#include <windows.h>

namespace {

constexpr DWORD ReceiveQueueSize = 128;
constexpr DWORD TransmitQueueSize = 2048;

// The line settings of the port over what the driver reports: rate, frame
// format and DTR raised while open; every other member stays the driver's.
bool Configure(HANDLE handle, const TComPort& port) {
  if (!SetupComm(handle, ReceiveQueueSize, TransmitQueueSize)) return false;
  if (!SetCommMask(handle, EV_RXCHAR | EV_TXEMPTY)) return false;
  DCB dcb{};
  dcb.DCBlength = sizeof(DCB);
  if (!GetCommState(handle, &dcb)) return false;
  dcb.BaudRate = port.BaudRate;
  dcb.ByteSize = port.ByteSize;
  dcb.Parity = port.Parity;
  dcb.StopBits = port.StopBits;
  dcb.fDsrSensitivity = FALSE;
  dcb.fDtrControl = DTR_CONTROL_ENABLE;
  dcb.fOutxDsrFlow = FALSE;
  if (!SetCommState(handle, &dcb)) return false;
  COMMTIMEOUTS timeouts{};
  timeouts.ReadIntervalTimeout = port.ReadIntervalTimeout;
  timeouts.ReadTotalTimeoutMultiplier = port.ReadTotalTimeoutMultiplier;
  timeouts.ReadTotalTimeoutConstant = port.ReadTotalTimeoutConstant;
  timeouts.WriteTotalTimeoutMultiplier = 0;
  timeouts.WriteTotalTimeoutConstant = 0;
  return SetCommTimeouts(handle, &timeouts) != 0;
}

}  // namespace

bool TComPort::Open() {
  if (Opened) return false;
  const std::string path = "\\\\.\\" + PortName;
  HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  if (!Configure(handle, *this)) {
    CloseHandle(handle);  // the object ends closed and holds nothing
    return false;
  }
  Handle = handle;
  Opened = true;
  return true;
}

bool TComPort::Close() {
  if (!Opened) return false;
  if (!CloseHandle(Handle)) return false;
  Handle = NoPortHandle;
  Opened = false;
  return true;
}

bool TComPort::Write(const void* data, int count) {
  if (!Opened) return false;
  DWORD written = 0;
  WriteFile(Handle, data, static_cast<DWORD>(count), &written, nullptr);
  return true;
}

bool TComPort::Read(void* buffer, int count) {
  if (!Opened) return false;
  DWORD read = 0;
  return ReadFile(Handle, buffer, static_cast<DWORD>(count), &read, nullptr) != 0;
}

int TComPort::InQueueCount() {
  if (!Opened) return 0;
  COMSTAT status{};
  DWORD errors = 0;
  return ClearCommError(Handle, &errors, &status) ? static_cast<int>(status.cbInQue) : 0;
}

void TComPort::EnumPorts(std::vector<std::string>& list) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) !=
      ERROR_SUCCESS)
    return;
  constexpr DWORD BufferSize = 256;
  constexpr std::string_view DeviceMarker = "\\Device\\";
  for (DWORD index = 0;; ++index) {
    char name[BufferSize];
    BYTE data[BufferSize];
    DWORD nameLength = BufferSize;
    DWORD dataLength = BufferSize;
    DWORD type = 0;
    if (RegEnumValueA(key, index, name, &nameLength, nullptr, &type, data, &dataLength) !=
        ERROR_SUCCESS)
      break;
    std::string device(name, nameLength);
    if (const auto marker = device.find(DeviceMarker); marker != std::string::npos)
      device = device.substr(marker + DeviceMarker.size());
    // The data is text with its terminating zero; an empty value has none.
    const DWORD portLength = dataLength > 0 ? dataLength - 1 : 0;
    const std::string portName(reinterpret_cast<const char*>(data), portLength);
    list.push_back(portName + "  " + device);
  }
  RegCloseKey(key);
}
