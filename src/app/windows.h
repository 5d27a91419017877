#pragma once
// The program's eight windows, created at start and kept until the end.
#include <string>

// Creates every window in the program's order, the first the main window,
// on an empty sample history. Destroyed, they can be created again.
void CreateWindows(const std::string& layoutFile);
void DestroyWindows();

// Message boxes as real modal boxes of the desktop.
void InstallDesktopMessageBoxes();
