#pragma once
// The register command protocol: the frames the tool sends to the board, and
// the one transaction that carries out a register write or read from opening
// the port to showing the result.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "link/comport.h"

inline constexpr std::uint8_t CommandWrite = 0x47, CommandRead = 0xBB, CommandCapture = 0xBC;

// From this address on, an address names a 32-bit value over four registers.
inline constexpr std::uint32_t FirstWideAddress = 100;

// The preamble FF FF FF FF and one command group (code, register, data, 00)
// for addresses below 100. From 100 on, an address names the 32-bit value
// held by the four registers from address / 100 on: four groups, the most
// significant byte first, each register number wrapping at 256.
std::vector<std::uint8_t> RegisterFrame(std::uint8_t command, std::uint32_t address,
                                        std::uint32_t value);

// Where a read's result goes (the panel's edit field in the program).
using TextTarget = std::function<void(const std::string&)>;

// Opens the port unless the caller holds it, drops what waits in the receive
// queue (a late answer to an earlier read), sends the frame and, for a read,
// shows the answer in the target as the access mode asks ("get_s" signed,
// "get_u" unsigned decimal). Failures are shown in "Port error" boxes; the
// port is closed at the end unless the caller holds it.
void SendRegisterCommand(TComPort& port, std::uint8_t command, std::uint32_t address,
                         std::uint32_t value, bool portAlreadyOpen, const TextTarget& target,
                         const std::string& accessMode);

// The value of a write: an integer text (decimal, or hexadecimal after "$"
// or "0x") in 0..4294967295. Throws ConversionError otherwise.
std::uint32_t ParseRegisterValue(const std::string& text);
