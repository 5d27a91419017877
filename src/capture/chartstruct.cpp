#include "capture/chartstruct.h"

#include "capture/capturechart.h"
#include "capture/chartmain.h"
#include "capture/display.h"
#include "capture/dumpfile.h"

void ProcessBlock(TformChart& window) {
  ComputeDisplay(window.Settings, window.Samples, window.Smoothed, window.Points);
  ShowPoints(*window.Chart, window.Points);
}

void SaveDump(const SampleHistory& history) { WriteDump(DumpFilePath(), history); }
