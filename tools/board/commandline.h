#pragma once
// The command line of tarnwick-board.
#include <stdexcept>
#include <string>
#include <vector>

#include "board/boardcore.h"

struct BoardCommandLine {
  BoardOptions options;
  std::string name = "Tarnwick virtual board";  // shown beside the port in the port list
  std::string link;                             // a symlink to the port; empty for none
  bool help = false;
};

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// arguments: without the program name. Throws UsageError.
BoardCommandLine ParseCommandLine(const std::vector<std::string>& arguments);

std::string UsageText();
