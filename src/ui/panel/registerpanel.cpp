#include "panel/registerpanel.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

#include "platform/layoutnames.h"
#include "platform/uitext.h"

namespace {

constexpr int ColumnPitch = 146;
constexpr int RowPitch = 45;

// Offsets from the cell's corner, and sizes.
constexpr QRect BoxPlace(10, 10, 145, 44);
constexpr QRect ButtonPlace(95, 28, 50, 20);
constexpr QRect EditPlace(15, 28, 70, 20);

// A caption that is not the cell's fresh one stands out in a heavier face.
// Where "Arial Black" is missing, the black weight keeps its substitute heavy.
QFont BoxFont(QFont font, bool freshCaption) {
  font.setFamily(freshCaption ? "Arial" : "Arial Black");
  if (!freshCaption) font.setWeight(QFont::Black);
  return font;
}

void Place(QWidget* control, const char* prefix, const PanelCell& cell, QRect place) {
  control->setObjectName(QtText(prefix + cell.CellSuffix()));
  control->setGeometry(place.translated(cell.column * ColumnPitch, cell.row * RowPitch));
}

}  // namespace

RegisterPanel::RegisterPanel(const PanelTexts& texts, QWidget* parent) : QWidget(parent) {
  for (const PanelCell& cell : AllPanelCells()) CreateCell(cell, texts[cell.CellIndex()]);
  // Never smaller than the grid with the margin of its first cell on every
  // side: a smaller window shows part of it, and its scroll area the rest.
  const QRect last = Box(AllPanelCells().back())->geometry();
  setMinimumSize(last.right() + 1 + BoxPlace.left(), last.bottom() + 1 + BoxPlace.top());
}

void RegisterPanel::CreateCell(const PanelCell& cell, const CellTexts& texts) {
  auto* box = new QGroupBox(this);
  Place(box, layout::BoxPrefix, cell, BoxPlace);
  box->setTitle(QtText(texts.caption));
  box->setFont(BoxFont(font(), texts.caption == cell.FreshCaption()));

  auto* button = new QPushButton(this);
  Place(button, layout::ButtonPrefix, cell, ButtonPlace);
  button->setText(QtText(texts.accessMode));

  auto* edit = new QLineEdit(this);
  Place(edit, layout::EditPrefix, cell, EditPlace);
  edit->setText(QtText(texts.value));

  box->installEventFilter(this);
  edit->installEventFilter(this);
  connect(button, &QPushButton::clicked, this, [this, cell] { emit ButtonPressed(cell); });
  controls[cell.CellIndex()] = {box, button, edit};
  cellOf.emplace(box, cell);
  cellOf.emplace(edit, cell);
}

bool RegisterPanel::eventFilter(QObject* watched, QEvent* event) {
  const auto found = cellOf.find(watched);
  if (found == cellOf.end()) return QWidget::eventFilter(watched, event);
  const PanelCell cell = found->second;
  if (watched == Edit(cell) && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    const int step = (key->modifiers() & Qt::ControlModifier) ? 10 : 1;
    if (key->key() == Qt::Key_Up) emit ArrowStep(cell, step);
    if (key->key() == Qt::Key_Down) emit ArrowStep(cell, -step);
  }
  if (watched == Box(cell) && event->type() == QEvent::MouseButtonPress &&
      static_cast<QMouseEvent*>(event)->button() == Qt::RightButton)
    emit DefinitionAsked(cell);
  return false;  // the controls still see their keys and clicks
}

QRect RegisterPanel::CellPlace(const QWidget* control) const {
  for (const CellControls& cell : controls)
    if (control == cell.box || control == cell.button || control == cell.edit) return cell.box->geometry();
  return {};
}

QString RegisterPanel::Caption(const PanelCell& cell) const { return Box(cell)->title(); }

QString RegisterPanel::AccessMode(const PanelCell& cell) const { return Button(cell)->text(); }

QString RegisterPanel::Value(const PanelCell& cell) const { return Edit(cell)->text(); }

void RegisterPanel::Define(const PanelCell& cell, const QString& caption, const QString& accessMode) {
  Box(cell)->setTitle(caption);
  Button(cell)->setText(accessMode);
}

void RegisterPanel::ShowValue(const PanelCell& cell, const QString& value) { Edit(cell)->setText(value); }

PanelTexts RegisterPanel::Texts() const {
  PanelTexts texts;
  for (const PanelCell& cell : AllPanelCells())
    texts[cell.CellIndex()] = {TextBytes(Caption(cell)), TextBytes(AccessMode(cell)), TextBytes(Value(cell))};
  return texts;
}
