#pragma once
// The link check: a fixed text to the board, and a log line of what came back.
#include <string>

class TComPort;

inline constexpr char LinkCheckRequest[] = "Hello!";  // six bytes, no terminating zero sent

struct LinkCheckReply {
  int waiting = 0;    // the count of bytes that came back
  std::string text;   // the reply up to its first zero byte, as far as 39 bytes
};

// Opens the port (whatever the result), drops what was waiting, sends the
// request, waits 100 ms, collects what is waiting and closes the port.
LinkCheckReply ExchangeLinkCheck(TComPort& port);

// The exchange as a log line: ">>", the count of bytes that were waiting,
// " : " and the reply.
std::string RunLinkCheck(TComPort& port);
