#include "panel/cellcommand.h"

#include "link/comport.h"
#include "link/registercommand.h"
#include "panel/panelcell.h"
#include "platform/messages.h"

namespace {

void ShowPortError(const std::string& text) { ShowMessage(text, "Port error"); }

}  // namespace

// A read that cannot open the port is a read without an answer as well: the
// user is told both, in that order.
std::optional<std::string> CarryOutCellCommand(TComPort& port, const CellCommand& command,
                                               bool portHeld) {
  if (command.command != CommandRead) {
    if (WriteRegister(port, command.address, command.value, portHeld) == LinkError::CannotOpen)
      ShowPortError(port.FaultText());
    return std::nullopt;
  }
  const RegisterReadResult read = ReadRegister(port, command.address, portHeld);
  if (read.error == LinkError::None) return ValueText(read.value, command.accessMode);
  if (read.error == LinkError::CannotOpen) ShowPortError(port.FaultText());
  ShowPortError("Timeout");
  return std::string(FailedReadText);
}

std::optional<std::string> ValueText(std::uint32_t value, const std::string& accessMode) {
  if (accessMode == ModeGetSigned) return std::to_string(static_cast<std::int32_t>(value));
  if (accessMode == ModeGetUnsigned) return std::to_string(value);
  return std::nullopt;
}
