#pragma once
// The panel's 288 controls: for each cell a group box, a button and an edit
// field, named after the cell and laid out on the main window's client area.
// Other windows reach them only by name, through the main window.
#include <QString>
#include <string>
#include <string_view>

#include "panel/panelcell.h"
#include "platform/uitext.h"

class QGroupBox;
class QLineEdit;
class QPushButton;
class QWidget;

// Creates the cell's group box, button and edit field on the panel, in that
// order, so that each lies above the one before and the keyboard visits the
// button, then the field.
void CreateCellControls(QWidget* panel, const PanelCell& cell, const CellTexts& texts);

// A cell's control, looked up by its name among the main window's
// components. Throws std::logic_error when the panel has no such control.
QGroupBox* CellBox(const std::string& suffix);
QPushButton* CellButton(const std::string& suffix);
QLineEdit* CellEdit(const std::string& suffix);

// The sibling lookup: from any control of a cell to another of its controls.
QGroupBox* SiblingBox(const QWidget& control);
QPushButton* SiblingButton(const QWidget& control);
QLineEdit* SiblingEdit(const QWidget& control);

// The cell's texts as its controls show them now.
CellTexts CellTextsOf(const PanelCell& cell);
