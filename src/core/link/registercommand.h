#pragma once
// The register command protocol: the frames the tool sends to the board, and
// the transactions that write a register or read one, from opening the port
// to the value or the error.
#include <cstdint>
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

// What went wrong on the link. The link only reports it: what the user is
// told is the caller's business (the panel's boxes, tarnwick-ctl's status).
enum class LinkError { None, CannotOpen, NoAnswer, ShortAnswer };

struct RegisterReadResult {
  LinkError error = LinkError::None;
  std::uint32_t value = 0;  // only with LinkError::None
};

// Reads and drops what the line brings until it has been quiet for 10 ms,
// for at most a second: the rest of an answer that a program stopped in the
// middle of it no longer takes would otherwise pass for the next answer.
void DropLateAnswers(TComPort& port);

// One register transaction. portHeld: the caller has the port open (the
// capture between two blocks), and it stays open; otherwise the port is
// opened here and closed at the end, and a port that does not open gives
// CannotOpen with nothing sent. What waits in the receive queue (a late
// answer to an earlier read) is dropped before the frame goes out.
LinkError WriteRegister(TComPort& port, std::uint32_t address, std::uint32_t value, bool portHeld);
// The answer is what waits 100 ms after the frame: none is NoAnswer, fewer
// than 6 bytes ShortAnswer.
RegisterReadResult ReadRegister(TComPort& port, std::uint32_t address, bool portHeld);

// The value of a write: an integer text (decimal, or hexadecimal after "$"
// or "0x") in 0..4294967295. Throws ConversionError otherwise.
std::uint32_t ParseRegisterValue(const std::string& text);
