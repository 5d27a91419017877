#pragma once
// The layout file's vocabulary: its sections and setting keys.

namespace layout {

inline constexpr const char* SectionUsb = "USB";
inline constexpr const char* SectionChart = "CHART";
inline constexpr const char* SectionBoxes = "BOXES";
inline constexpr const char* SectionButtons = "BUTTONS";
inline constexpr const char* SectionEdits = "EDITS";
inline constexpr const char* SectionTags = "TAGS";

inline constexpr const char* KeyBaudRate = "BaudRate";
inline constexpr int DefaultBaudRate = 115200;

}  // namespace layout
