#pragma once
// The program's own command-line options, answered before Qt starts, so
// that they need no display.
#include <optional>
#include <string>
#include <vector>

// What --version or --help prints, whichever comes first, or nothing when
// the arguments are for the windows (Qt's own options included).
std::optional<std::string> OwnOptionAnswer(const std::vector<std::string>& arguments);
