#include "link/telnet.h"

namespace telnet {

void AppendEscaped(std::vector<std::uint8_t>& out, const std::uint8_t* bytes, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    out.push_back(bytes[i]);
    if (bytes[i] == Iac) out.push_back(Iac);
  }
}

void Parser::Feed(const std::uint8_t* bytes, std::size_t count, std::vector<std::uint8_t>& data,
                  std::vector<Command>& commands) {
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t byte = bytes[i];
    switch (state_) {
      case State::Data:
        if (byte == Iac) state_ = State::Iac;
        else data.push_back(byte);
        break;
      case State::Iac:
        if (byte == Iac) {  // an escaped data byte 0xFF
          data.push_back(Iac);
          state_ = State::Data;
        } else if (byte >= Will || byte == Sb) {  // Will, Wont, Do, Dont or Sb: an option follows
          pending_ = Command{byte, 0, {}};
          state_ = State::Verb;
        } else {
          state_ = State::Data;  // a two-byte command (NOP, GA, ...): nothing for us
        }
        break;
      case State::Verb:
        pending_.option = byte;
        if (pending_.verb == Sb) {
          state_ = State::Sub;
        } else {
          commands.push_back(pending_);
          state_ = State::Data;
        }
        break;
      case State::Sub:
        if (byte == Iac) state_ = State::SubIac;
        else pending_.payload.push_back(byte);
        break;
      case State::SubIac:
        if (byte == Iac) {
          pending_.payload.push_back(Iac);
          state_ = State::Sub;
        } else {  // Se, or a malformed end: either way the sub-negotiation is over
          commands.push_back(std::move(pending_));
          pending_ = Command{};
          state_ = State::Data;
        }
        break;
    }
  }
}

}  // namespace telnet
