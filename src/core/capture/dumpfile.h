#pragma once
// The dump file of "Save": the newest block as 1024 pairs of single-precision
// numbers, I then Q, little-endian, 8192 bytes without a header.
#include <string>

struct SampleHistory;

// The absolute path of "dump.bin" in the current directory.
std::string DumpFilePath();

// Writes slot 0 of `history` to `path`, replacing the file there in one
// step and never blind (see ReplaceFileContent). Throws
// WriteError("Unable to write to <path>") when it cannot, and then leaves any
// old file at `path` as it was.
void WriteDump(const std::string& path, const SampleHistory& history);
