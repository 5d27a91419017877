#pragma once
// What a cell's button does on the link, and what the user sees of it: the
// link only reports, the panel speaks.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class TComPort;

// What a cell's field shows after a failed read; a write of that text
// writes 0.
inline constexpr std::string_view FailedReadText = "TimeOut";

// A cell's register command as the panel gives it.
struct CellCommand {
  std::uint8_t command = 0;  // CommandWrite or CommandRead
  std::uint32_t address = 0;
  std::uint32_t value = 0;  // 0 for a read
  std::string accessMode;   // the cell's "set", "get_s" or "get_u"
};

// Carries the command out on the link and says what the user sees: the
// "Port error" boxes through ShowMessage (the port's fault text when it cannot
// be opened; "Timeout" when a read gets no whole answer) and, as the result,
// the text the cell's field shows afterwards, if it changes (FailedReadText for
// a failed read, the value as "get_s"/"get_u" asks; nothing for a write or
// another access mode). portHeld: as for ReadRegister and WriteRegister.
std::optional<std::string> CarryOutCellCommand(TComPort& port, const CellCommand& command,
                                               bool portHeld);

// A read's value as the access mode shows it: "get_s" signed, "get_u"
// unsigned decimal; nothing for any other mode.
std::optional<std::string> ValueText(std::uint32_t value, const std::string& accessMode);
