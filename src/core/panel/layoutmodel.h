#pragma once
// What the layout file holds, apart from any window: the chart settings and
// the texts of the 96 cells, read with their defaults and written back so
// that only what differs from a fresh panel is kept.
#include <array>
#include <string>

#include "platform/chartsettings.h"
#include "panel/panelcell.h"

class ProfileFile;

// The texts of every cell, by CellIndex.
using PanelTexts = std::array<CellTexts, PanelCellCount>;

ChartSettings ReadChartSettings(const ProfileFile& file);

// The cell's stored texts, a fresh cell's where a key is missing; the
// access mode comes back normalised.
CellTexts ReadCellTexts(const ProfileFile& file, const PanelCell& cell);

// Rewrites the program's sections: the stored BaudRate and network ports are
// carried forward, USB, CHART, BOXES, TAGS, BUTTONS and EDITS are erased in
// that order, then the settings are written and each changed cell with its
// caption, its mode unless it is "set", and its value. Other sections stay
// untouched.
void WriteLayout(ProfileFile& file, const ChartSettings& chart, const PanelTexts& cells);
