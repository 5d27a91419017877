#pragma once
// tarnwick-ctl: the register panel's and the capture window's work from a
// shell, on the same core as the tool, so that a result in the shell and a
// result in the panel can never differ.
#include <iosfwd>
#include <string>
#include <vector>

#include "capture/captureblock.h"

// What the program tells its caller.
enum ExitStatus : int {
  ExitSuccess = 0,
  ExitUsage = 1,     // a bad command line, address or value, or a file that cannot be read
  ExitPort = 2,      // the port cannot be opened
  ExitAnswer = 3,    // no answer, or a short one
  ExitOutput = 4,    // a result that cannot be written: a file, standard output
  ExitSignal = 128,  // plus the signal that ended a recording, as shells tell it: 130 for Ctrl+C
};

// arguments: without the program name. Results go to `out`, messages to `err`.
// `now` measures a capture's 5-second limit.
int RunCtl(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
           const CaptureClock& now = std::chrono::steady_clock::now);
