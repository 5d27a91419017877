#include <csignal>
#include <iostream>

#include "ctl/ctl.h"

int main(int argc, char** argv) {
#ifdef SIGXFSZ
  // A file grown past the user's size limit is a write that fails, told as
  // such, not the end of the program with the recording undescribed.
  std::signal(SIGXFSZ, SIG_IGN);
#endif
  return RunCtl(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
