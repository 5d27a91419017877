#include <iostream>

#include "ctl/ctl.h"

int main(int argc, char** argv) {
  return RunCtl(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
