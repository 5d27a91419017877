#pragma once
// The program's eight windows, created at start and kept until the end.
#include "platform/paths.h"

// Creates every window in the program's order, the first the main window,
// on an empty sample history, with the layout files they load and save.
// Destroyed, they can be created again.
void CreateWindows(const LayoutFiles& layoutFiles);
void DestroyWindows();

// Message boxes as real modal boxes of the desktop.
void InstallDesktopMessageBoxes();
