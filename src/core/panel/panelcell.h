#pragma once
// One register cell of the main window's 8 × 12 panel. Its address, name,
// access mode and value live only in its three controls' texts; this is
// what those texts mean, without the controls.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

inline constexpr int PanelColumns = 8;
inline constexpr int PanelRows = 12;
inline constexpr int PanelCellCount = PanelColumns * PanelRows;

// Between the register address and the register name in a box caption.
inline constexpr std::string_view CaptionSeparator = " | ";

// The three access modes a button caption can hold.
inline constexpr std::string_view ModeSet = "set";
inline constexpr std::string_view ModeGetSigned = "get_s";
inline constexpr std::string_view ModeGetUnsigned = "get_u";

// What the edit field of a fresh cell holds.
inline constexpr std::string_view FreshValue = "0";

struct PanelCell {
  int column;  // 0..7
  int row;     // 0..11

  // Cells are numbered down each column: column × 12 + row.
  int CellIndex() const;
  // The column digit followed by the row number: "00", "011", "711".
  std::string CellSuffix() const;
  // A cell nobody has defined addresses the register of its own index.
  std::string FreshCaption() const;
};

// Every cell in creation order: column by column, each top to bottom.
const std::array<PanelCell, PanelCellCount>& AllPanelCells();

// The texts of a cell's group box, button and edit field.
struct CellTexts {
  std::string caption;     // address, " | ", name
  std::string accessMode;  // "set", "get_s" or "get_u"
  std::string value;
};

// A cell is changed, and worth keeping in the layout file, when any of its
// texts differs from a fresh cell's. The comparisons are exact.
bool IsChanged(const PanelCell& cell, const CellTexts& texts);

// "get_s" and "get_u" are kept; any other text, "get" or "GET_S" included,
// means "set".
std::string NormalisedAccessMode(std::string_view text);

// The cell suffix in a control's name: what follows the ten-character
// prefix, at most three characters.
std::string SuffixOfControlName(std::string_view controlName);

// A signed 32-bit integer text: decimal, or hexadecimal after "$", "0x" or
// a bare "x"; nothing when the text is no such number.
std::optional<std::int32_t> ParseAddressText(std::string_view text);

// An address standing alone, as ParseAddressText reads it. Throws
// ConversionError "'%s' is not a valid integer value" naming the text.
std::int32_t ParseRegisterAddressText(std::string_view text);

// The RegisterAddress: the address text before the first " | " of a box
// caption, empty when the caption has none.
std::int32_t ParseRegisterAddress(std::string_view caption);

// The value that Up (step > 0) or Down (step < 0) leaves in a write cell. A
// cell of a wide address (100 or more, or negative) holds a 32-bit value: its
// text, read as a write reads it, steps modulo 2^32. Any other cell is an
// 8-bit register: its text read as a signed 32-bit integer, the low byte
// steps modulo 256. A text that is no such number counts as 0.
std::uint32_t SteppedCellValue(std::string_view caption, std::string_view value, int step);
