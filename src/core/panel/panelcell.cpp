#include "panel/panelcell.h"

#include <limits>

#include "link/registercommand.h"
#include "platform/errors.h"
#include "platform/numtext.h"

namespace {

constexpr std::size_t ControlPrefixLength = 10;  // "boxDynamic", "btnDynamic", "edtDynamic"
constexpr std::size_t LongestSuffix = 3;

}  // namespace

int PanelCell::CellIndex() const { return column * PanelRows + row; }

std::string PanelCell::CellSuffix() const { return std::to_string(column) + std::to_string(row); }

std::string PanelCell::FreshCaption() const {
  return std::to_string(CellIndex()) + std::string(CaptionSeparator) + "noname";
}

const std::array<PanelCell, PanelCellCount>& AllPanelCells() {
  static const auto cells = [] {
    std::array<PanelCell, PanelCellCount> all{};
    for (int column = 0; column < PanelColumns; ++column)
      for (int row = 0; row < PanelRows; ++row) all[column * PanelRows + row] = {column, row};
    return all;
  }();
  return cells;
}

bool IsChanged(const PanelCell& cell, const CellTexts& texts) {
  return texts.caption != cell.FreshCaption() || texts.accessMode != ModeSet ||
         texts.value != FreshValue;
}

std::string NormalisedAccessMode(std::string_view text) {
  const bool read = text == ModeGetSigned || text == ModeGetUnsigned;
  return std::string(read ? text : ModeSet);
}

std::string SuffixOfControlName(std::string_view controlName) {
  if (controlName.size() <= ControlPrefixLength) return {};
  return std::string(controlName.substr(ControlPrefixLength, LongestSuffix));
}

std::optional<std::int32_t> ParseAddressText(std::string_view text) {
  using Limits = std::numeric_limits<std::int32_t>;
  const auto value = ParseIntegerText(text, /*bareXPrefix=*/true);
  if (!value || *value < Limits::min() || *value > Limits::max()) return std::nullopt;
  return static_cast<std::int32_t>(*value);
}

std::int32_t ParseRegisterAddressText(std::string_view text) {
  const auto address = ParseAddressText(text);
  if (!address) throw ConversionError("'" + std::string(text) + "' is not a valid integer value");
  return *address;
}

std::int32_t ParseRegisterAddress(std::string_view caption) {
  const auto separator = caption.find(CaptionSeparator);
  return ParseRegisterAddressText(separator == std::string_view::npos ? std::string_view()
                                                                      : caption.substr(0, separator));
}

namespace {

bool HasWideAddress(std::string_view caption) {
  try {
    return static_cast<std::uint32_t>(ParseRegisterAddress(caption)) >= FirstWideAddress;
  } catch (const ConversionError&) {
    return false;  // the write that follows reports the caption
  }
}

std::uint32_t WideValueOrZero(std::string_view text) {
  try {
    return ParseRegisterValue(std::string(text));
  } catch (const ConversionError&) {
    return 0;
  }
}

}  // namespace

std::uint32_t SteppedCellValue(std::string_view caption, std::string_view value, int step) {
  const auto delta = static_cast<std::uint32_t>(step);  // modulo 2^32, as the sum
  if (HasWideAddress(caption)) return WideValueOrZero(value) + delta;
  const auto byte = static_cast<std::uint32_t>(ParseAddressText(value).value_or(0));
  return (byte + delta) & 0xFF;
}
