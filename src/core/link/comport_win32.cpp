// The serial port on Windows: a communications device opened exclusively,
// synchronous I/O, the driver's queues and time-outs.
#include "link/comport.h"
#include "link/serialcomm.h"

#include <windows.h>

namespace {

constexpr DWORD ReceiveQueueSize = 128;
constexpr DWORD TransmitQueueSize = 2048;
// DCBlength tells the system which layout of the structure it is given.
static_assert(sizeof(DCB) == 28);

// Over what the driver reports, only the rate, the frame format and the DSR
// and DTR handling are ours (DTR raised while open); every other member stays
// the driver's.
bool SetLine(HANDLE handle, const TComPort& port) {
  // No line runs at 0 baud, yet some drivers take it without complaint.
  if (port.BaudRate == 0) return false;
  DCB dcb{};
  dcb.DCBlength = sizeof(DCB);
  GetCommState(handle, &dcb);  // Configure has read it once already
  dcb.BaudRate = port.BaudRate;
  dcb.ByteSize = port.ByteSize;
  dcb.Parity = port.Parity;
  dcb.StopBits = port.StopBits;
  dcb.fDsrSensitivity = FALSE;
  dcb.fDtrControl = DTR_CONTROL_ENABLE;
  dcb.fOutxDsrFlow = FALSE;
  return SetCommState(handle, &dcb) != 0;
}

// Reads wait for their whole count at most ReadTotalTimeoutConstant (plus the
// multiplier per byte); writes never time out.
bool SetTimeOuts(HANDLE handle, const TComPort& port) {
  COMMTIMEOUTS timeouts{};
  timeouts.ReadIntervalTimeout = port.ReadIntervalTimeout;
  timeouts.ReadTotalTimeoutMultiplier = port.ReadTotalTimeoutMultiplier;
  timeouts.ReadTotalTimeoutConstant = port.ReadTotalTimeoutConstant;
  timeouts.WriteTotalTimeoutMultiplier = 0;
  timeouts.WriteTotalTimeoutConstant = 0;
  return SetCommTimeouts(handle, &timeouts) != 0;
}

// A handle whose line state cannot be read is no communications device (a
// file, a printer); one that refuses the line refuses the rate, the only
// setting the user chooses.
PortFault Configure(HANDLE handle, const TComPort& port) {
  DCB dcb{};
  dcb.DCBlength = sizeof(DCB);
  if (!GetCommState(handle, &dcb) || !SetupComm(handle, ReceiveQueueSize, TransmitQueueSize) ||
      !SetCommMask(handle, EV_RXCHAR | EV_TXEMPTY))
    return PortFault::NotSerial;
  if (!SetLine(handle, port)) return PortFault::RateRefused;
  return SetTimeOuts(handle, port) ? PortFault::None : PortFault::NotSerial;
}

PortFault OpenFault(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
      return PortFault::Missing;
    default:
      // ERROR_ACCESS_DENIED is what a COM port held by another program gives.
      return PortFault::Busy;
  }
}

// A negative count from a caller would become a length of about 4 GB.
DWORD ByteCount(int count) { return count > 0 ? static_cast<DWORD>(count) : 0; }

}  // namespace

bool TComPort::OpenDevice() {
  const std::string path = "\\\\.\\" + PortName;
  HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    Fault = OpenFault(GetLastError());
    return false;
  }
  Fault = Configure(handle, *this);
  if (Fault != PortFault::None) {
    CloseHandle(handle);  // the object ends closed and holds no device
    return false;
  }
  Handle = handle;
  Opened = true;
  return true;
}

std::string TComPort::DeviceFaultText() const { return PortFaultText(Fault, PortName, BaudRate); }

bool TComPort::CloseDevice() {
  if (!CloseHandle(Handle)) return false;
  Handle = NoPortHandle;
  Opened = false;
  return true;
}

bool TComPort::WriteDevice(const void* data, int count) {
  if (!Opened) return false;
  DWORD written = 0;
  WriteFile(Handle, data, ByteCount(count), &written, nullptr);  // failures are not told
  return true;
}

bool TComPort::ReadDevice(void* buffer, int count) {
  if (!Opened) return false;
  DWORD read = 0;
  return ReadFile(Handle, buffer, ByteCount(count), &read, nullptr) != 0;
}

int TComPort::ReadSomeDevice(void* buffer, int count, int waitMs) {
  if (count <= 0) return 0;
  const DWORD wait = waitMs > 0 ? static_cast<DWORD>(waitMs) : 0;
  if (Opened) {
    // With the interval and the multiplier at MAXDWORD, ReadFile returns as
    // soon as a byte is in, or with nothing after the constant; with the
    // interval alone at MAXDWORD it returns at once with what is there.
    COMMTIMEOUTS firstByte{MAXDWORD, wait > 0 ? MAXDWORD : 0, wait, 0, 0};
    DWORD read = 0;
    const bool done = SetCommTimeouts(Handle, &firstByte) &&
                      ReadFile(Handle, buffer, ByteCount(count), &read, nullptr);
    SetTimeOuts(Handle, *this);  // Read keeps the port's own time-outs
    if (done) return static_cast<int>(read);
    Fault = PortFault::Lost;  // an unplugged device fails every call on its handle
  }
  Sleep(wait);  // nothing comes from a closed or failed port, and that takes the wait
  return 0;
}

int TComPort::DeviceInQueueCount() {
  if (!Opened) return 0;
  COMSTAT status{};
  DWORD errors = 0;
  return ClearCommError(Handle, &errors, &status) ? static_cast<int>(status.cbInQue) : 0;
}

void TComPort::DiscardDeviceInput() {
  if (Opened) PurgeComm(Handle, PURGE_RXCLEAR);
}

void TComPort::EnumPorts(std::vector<std::string>& list) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) !=
      ERROR_SUCCESS)
    return;
  AppendSerialCommPorts(key, list);
  RegCloseKey(key);
}
