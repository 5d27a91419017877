#pragma once
// Rates that have no Bxxx constant are set through termios2, whose header
// cannot share a file with <termios.h>.
#include <cstdint>

// Sets input and output speed of an open tty to rate; false when refused.
bool SetCustomRate(int fd, std::uint32_t rate);
// The output speed the driver holds now, 0 when it cannot be read.
std::uint32_t CurrentRate(int fd);
