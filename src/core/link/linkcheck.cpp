#include "link/linkcheck.h"

#include "link/comport.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

namespace {

constexpr int ReplyBufferSize = 40;  // one byte of it ends the text

}  // namespace

// A port that is open already is used as it is and closed all the same:
// whoever opened it, the check leaves the port closed.
LinkCheckReply ExchangeLinkCheck(TComPort& port) {
  if (!port.Opened && !port.Open()) return {LinkError::CannotOpen, 0, ""};
  const PortCloser closer(port);
  port.DiscardInput();
  port.Write(LinkCheckRequest, sizeof LinkCheckRequest - 1);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  const int waiting = port.InQueueCount();
  // A longer reply than the buffer holds is read whole, so that nothing is
  // left for the next exchange, and shown as far as the buffer goes.
  std::vector<char> reply(std::max(waiting, 0) + 1, '\0');
  port.Read(reply.data(), waiting);
  reply.resize(std::min<std::size_t>(reply.size(), ReplyBufferSize));
  reply.back() = '\0';
  return {waiting > 0 ? LinkError::None : LinkError::NoAnswer, waiting, std::string(reply.data())};
}

std::string RunLinkCheck(TComPort& port) {
  const LinkCheckReply reply = ExchangeLinkCheck(port);
  return ">>" + std::to_string(reply.waiting) + " : " + reply.text;
}
