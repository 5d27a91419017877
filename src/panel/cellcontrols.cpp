#include "panel/cellcontrols.h"

#include <QFont>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <stdexcept>

#include "app/mainform.h"
#include "platform/layoutnames.h"

namespace {

constexpr int ColumnPitch = 146;
constexpr int RowPitch = 45;

// Offsets from the cell's corner, and sizes.
constexpr QRect BoxPlace(10, 10, 145, 44);
constexpr QRect ButtonPlace(95, 28, 50, 20);
constexpr QRect EditPlace(15, 28, 70, 20);

// A caption that is not the cell's fresh one stands out in a heavier face.
// Where "Arial Black" is missing, the black weight keeps its substitute heavy.
QFont BoxFont(bool freshCaption) {
  QFont font = formMain->font();
  font.setFamily(freshCaption ? "Arial" : "Arial Black");
  if (!freshCaption) font.setWeight(QFont::Black);
  return font;
}

void Place(QWidget* control, const char* prefix, const PanelCell& cell, QRect place) {
  control->setObjectName(QtText(prefix + cell.CellSuffix()));
  control->setGeometry(place.translated(cell.column * ColumnPitch, cell.row * RowPitch));
}

template <class Control>
Control* FindCellControl(const char* prefix, const std::string& suffix) {
  const std::string name = prefix + suffix;
  auto* control = formMain->findChild<Control*>(QtText(name));
  if (!control) throw std::logic_error("The panel has no control " + name);
  return control;
}

std::string SuffixOf(const QWidget& control) { return SuffixOfControlName(AnsiText(control.objectName())); }

}  // namespace

void CreateCellControls(QWidget* panel, const PanelCell& cell, const CellTexts& texts) {
  auto* box = new QGroupBox(panel);
  Place(box, layout::BoxPrefix, cell, BoxPlace);
  box->setTitle(QtText(texts.caption));
  box->setFont(BoxFont(texts.caption == cell.FreshCaption()));

  auto* button = new QPushButton(panel);
  Place(button, layout::ButtonPrefix, cell, ButtonPlace);
  button->setText(QtText(texts.accessMode));

  auto* edit = new QLineEdit(panel);
  Place(edit, layout::EditPrefix, cell, EditPlace);
  edit->setText(QtText(texts.value));

  // The main window's btnClick, edtKeyDown and boxMouseDown are connected
  // to these three controls here, when the panel's interaction is built.
}

QGroupBox* CellBox(const std::string& suffix) { return FindCellControl<QGroupBox>(layout::BoxPrefix, suffix); }

QPushButton* CellButton(const std::string& suffix) {
  return FindCellControl<QPushButton>(layout::ButtonPrefix, suffix);
}

QLineEdit* CellEdit(const std::string& suffix) { return FindCellControl<QLineEdit>(layout::EditPrefix, suffix); }

QGroupBox* SiblingBox(const QWidget& control) { return CellBox(SuffixOf(control)); }

QPushButton* SiblingButton(const QWidget& control) { return CellButton(SuffixOf(control)); }

QLineEdit* SiblingEdit(const QWidget& control) { return CellEdit(SuffixOf(control)); }

CellTexts CellTextsOf(const PanelCell& cell) {
  const std::string suffix = cell.CellSuffix();
  return {AnsiText(CellBox(suffix)->title()), AnsiText(CellButton(suffix)->text()),
          AnsiText(CellEdit(suffix)->text())};
}
