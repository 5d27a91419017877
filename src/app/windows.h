#pragma once
// The program's eight windows, each created once and kept until the end.
#include <string>

// Creates every window in the program's order; the first is the main window.
void CreateWindows(const std::string& layoutFile);
void DestroyWindows();

// Message boxes as real modal boxes of the desktop.
void InstallDesktopMessageBoxes();
