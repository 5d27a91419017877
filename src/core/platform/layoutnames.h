#pragma once
// The layout file's vocabulary: its sections, its setting keys and the
// prefixes of the panel's control names, which are also its cell keys.
#include <array>

namespace layout {

inline constexpr const char* SectionUsb = "USB";
inline constexpr const char* SectionChart = "CHART";
inline constexpr const char* SectionBoxes = "BOXES";
inline constexpr const char* SectionButtons = "BUTTONS";
inline constexpr const char* SectionEdits = "EDITS";
inline constexpr const char* SectionTags = "TAGS";

inline constexpr const char* KeyBaudRate = "BaudRate";
inline constexpr int DefaultBaudRate = 115200;
// The network ports the port dialog offers again, most recent first.
inline constexpr std::array<const char*, 5> KeyNetPorts = {"NetPort1", "NetPort2", "NetPort3", "NetPort4",
                                                           "NetPort5"};

inline constexpr const char* KeyMaxY = "MaxY";
inline constexpr const char* KeyMaxX = "MaxX";
inline constexpr const char* KeyMinY = "MinY";
inline constexpr const char* KeyMinX = "MinX";
inline constexpr const char* KeyQam = "QAM";
inline constexpr const char* KeySpectrum = "SPECTRUM";
inline constexpr const char* KeyAverage = "AVG";
inline constexpr const char* KeyFftComplex = "FFTCOMPLEX";
inline constexpr const char* KeyGraph1 = "GRAPH1";
inline constexpr const char* KeyGraph2 = "GRAPH2";
inline constexpr const char* KeyAxis = "AXIS";
inline constexpr const char* KeyFreq = "FREQ";

// A cell's control is named, and its key in BOXES, BUTTONS or EDITS is
// written, as one of these prefixes followed by the cell's suffix.
inline constexpr const char* BoxPrefix = "boxDynamic";
inline constexpr const char* ButtonPrefix = "btnDynamic";
inline constexpr const char* EditPrefix = "edtDynamic";

}  // namespace layout
