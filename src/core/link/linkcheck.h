#pragma once
// The link check: a fixed text to the board, and a log line of what came back.
#include <string>

#include "link/registercommand.h"

class TComPort;

inline constexpr char LinkCheckRequest[] = "Hello!";  // six bytes, no terminating zero sent

struct LinkCheckReply {
  // CannotOpen: nothing was sent; NoAnswer: nothing came back.
  LinkError error = LinkError::None;
  int waiting = 0;    // the count of bytes that came back
  std::string text;   // the reply up to its first zero byte, as far as 39 bytes
};

// Opens the port unless it is open already, drops what was waiting, sends the
// request, waits 100 ms, collects what is waiting and closes the port.
LinkCheckReply ExchangeLinkCheck(TComPort& port);

// The exchange as a log line: ">>", the count of bytes that were waiting,
// " : " and the reply. A port that cannot be opened gets nothing back.
std::string RunLinkCheck(TComPort& port);
