#pragma once
// Panel tests run against the program's real windows: each test loads the
// panel once, from a layout file of its own or from none.
#include <fstream>
#include <iterator>
#include <string>

#include "app/mainform.h"
#include "windows_fixture.h"

// The CHART section as a save writes the defaults.
inline const std::string DefaultChart =
    "[CHART]\nMaxY=10000\nMaxX=10000\nMinY=-10000\nMinX=-10000\nQAM=0\nSPECTRUM=0\nAVG=0\n"
    "FFTCOMPLEX=0\nGRAPH1=1\nGRAPH2=1\nAXIS=0\nFREQ=150\n";

class PanelTest : public WindowsTest {
 protected:
  // Loads the panel from a layout file of this content.
  static void LoadFrom(const std::string& content) {
    WriteLayout(content);
    formMain->LoadLayout();
  }

  static std::string FileBytes() {
    std::ifstream in(LayoutFile(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  static std::string Saved() {
    formMain->SaveLayout();
    return FileBytes();
  }
};
