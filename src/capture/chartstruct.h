#pragma once
// The capture window's display of the newest block, and its dump file.

class TformChart;
struct SampleHistory;

// Redraws the window's chart from its sample history in its display mode.
void ProcessBlock(TformChart& window);

// Writes the newest block to "dump.bin" in the current folder.
void SaveDump(const SampleHistory& history);
