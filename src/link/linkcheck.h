#pragma once
// The link check: a fixed text to the board, and a log line of what came back.
#include <string>

class TComPort;

inline constexpr char LinkCheckRequest[] = "Hello!";  // six bytes, no terminating zero sent

// Opens the port (whatever the result), drops what was waiting, sends the
// request, waits 100 ms, collects what is waiting and closes the port. The line reads ">>", the
// count of bytes that were waiting, " : " and the reply up to its first zero
// byte.
std::string RunLinkCheck(TComPort& port);
