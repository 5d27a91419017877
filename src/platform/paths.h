#pragma once
// Where the program's own files live: beside the executable.
#include <string>

// Full path of the running executable.
std::string ExecutablePath();

// The executable's path with its extension replaced by ".ini", or ".ini"
// appended when it has none: tarnwick.exe keeps its layout in tarnwick.ini.
std::string LayoutFilePathFor(const std::string& executablePath);

// The layout file of this program.
std::string LayoutFilePath();
