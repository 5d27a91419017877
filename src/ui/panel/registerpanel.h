#pragma once
// The register panel, the main window's client area: 96 cells, each a group
// box (address and name), a button (access mode) and an edit field (value),
// named after the cell. It owns them, shows and gives their texts, and tells
// what the user did to a cell; what that does is up to whoever listens.
#include <QString>
#include <QWidget>
#include <array>
#include <unordered_map>

#include "panel/layoutmodel.h"
#include "panel/panelcell.h"

class QGroupBox;
class QLineEdit;
class QPushButton;

class RegisterPanel : public QWidget {
  Q_OBJECT
 public:
  // Creates the cells with their texts, each cell's box, button and field in
  // that order, so that each lies above the one before and the keyboard
  // visits the button, then the field. The boxes take the parent's font.
  RegisterPanel(const PanelTexts& texts, QWidget* parent);

  QGroupBox* Box(const PanelCell& cell) const { return controls[cell.CellIndex()].box; }
  QPushButton* Button(const PanelCell& cell) const { return controls[cell.CellIndex()].button; }
  QLineEdit* Edit(const PanelCell& cell) const { return controls[cell.CellIndex()].edit; }

  QString Caption(const PanelCell& cell) const;
  QString AccessMode(const PanelCell& cell) const;
  QString Value(const PanelCell& cell) const;
  // What the register dialog decided the cell stands for. The box keeps its face.
  void Define(const PanelCell& cell, const QString& caption, const QString& accessMode);
  void ShowValue(const PanelCell& cell, const QString& value);

  // Where the cell of a control lies in the panel (its box), or an empty
  // rectangle for a widget that belongs to no cell.
  QRect CellPlace(const QWidget* control) const;

  // Every cell's texts as its controls show them now.
  PanelTexts Texts() const;

 signals:
  void ButtonPressed(PanelCell cell);
  // Up (+1) or Down (-1) in the cell's field, ten times that with Ctrl.
  void ArrowStep(PanelCell cell, int step);
  // A right click on the cell's box: the user wants to define the cell.
  void DefinitionAsked(PanelCell cell);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct CellControls {
    QGroupBox* box = nullptr;
    QPushButton* button = nullptr;
    QLineEdit* edit = nullptr;
  };
  void CreateCell(const PanelCell& cell, const CellTexts& texts);

  std::array<CellControls, PanelCellCount> controls;
  std::unordered_map<const QObject*, PanelCell> cellOf;  // the boxes and fields
};
