#pragma once
// The capture window's display of the newest block, and its dump file.

// Redraws the chart from the sample history in the capture window's mode.
void ProcessBlock();

// Titles the chart's axes for the capture window's display mode.
void ShowModeTitles();

// Writes the newest block to "dump.bin" in the current folder.
void SaveDump();
