#pragma once
// The layout file's two operations: building the panel and the chart
// settings from it, and writing them back.
#include "platform/paths.h"

// The files that LoadLayout reads and SaveLayout writes. The windows are
// created with them.
void SetLayoutFiles(const LayoutFiles& files);

// Creates the 96 cells on the main window from the file, then applies the
// chart settings to the capture window and the options dialog. Runs once,
// before any panel control exists. A file that exists but cannot be read is
// reported ("Unable to read <path>"); the windows then show the defaults.
void LoadLayout();

// Writes the panel and the chart settings back, creating the file's folder
// when it is missing (a user's first save). The options dialog's four
// limit fields are converted first, so that a field that is not a number
// stops the save before the file changes. A file that could not be read at
// load is never replaced: the save throws WriteError instead.
void SaveLayout();
