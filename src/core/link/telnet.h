#pragma once
// The Telnet byte stream as a port server speaks it (RFC 854, with the Com
// Port Control Option of RFC 2217): commands and sub-negotiations travel in
// the data, each introduced by the byte 0xFF (IAC), so a data byte 0xFF is
// sent twice.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace telnet {

inline constexpr std::uint8_t Iac = 255;
inline constexpr std::uint8_t Dont = 254;
inline constexpr std::uint8_t Do = 253;
inline constexpr std::uint8_t Wont = 252;
inline constexpr std::uint8_t Will = 251;
inline constexpr std::uint8_t Sb = 250;  // a sub-negotiation begins
inline constexpr std::uint8_t Se = 240;  // and ends

inline constexpr std::uint8_t OptionBinary = 0;
inline constexpr std::uint8_t OptionSuppressGoAhead = 3;
inline constexpr std::uint8_t OptionComPort = 44;

// Appends the bytes to `out` with every 0xFF doubled.
void AppendEscaped(std::vector<std::uint8_t>& out, const std::uint8_t* bytes, std::size_t count);

// What the stream carries besides data: an option verb (Will, Wont, Do, Dont)
// with its option, or a sub-negotiation (verb Sb) with its option and its
// payload, unescaped.
struct Command {
  std::uint8_t verb = 0;
  std::uint8_t option = 0;
  std::vector<std::uint8_t> payload;

  bool operator==(const Command&) const = default;
};

// Splits the received stream into data and commands. A command may end a TCP
// segment and its rest begin the next, so the parser keeps its state from one
// Feed to the next.
class Parser {
 public:
  // Appends the data bytes to `data` and the completed commands to `commands`.
  void Feed(const std::uint8_t* bytes, std::size_t count, std::vector<std::uint8_t>& data,
            std::vector<Command>& commands);

 private:
  enum class State { Data, Iac, Verb, Sub, SubIac };
  State state_ = State::Data;
  Command pending_;
};

}  // namespace telnet
