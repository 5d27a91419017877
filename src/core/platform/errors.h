#pragma once
// The program's own failures. They travel as exceptions to the boundary of
// the event handler and are shown there in the standard error box.
#include <stdexcept>

// A text that does not convert to the number it should be.
struct ConversionError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// A file that cannot be written ("Unable to write to %s").
struct WriteError : std::runtime_error {
  using std::runtime_error::runtime_error;
};
