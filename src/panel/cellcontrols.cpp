#include "panel/cellcontrols.h"

#include <QEvent>
#include <QFont>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <stdexcept>

#include "app/mainform.h"
#include "platform/layoutnames.h"
#include "platform/messages.h"

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

std::string SuffixOf(const QWidget& control) { return SuffixOfControlName(TextBytes(control.objectName())); }

// Hands the key presses of the edit fields and the mouse presses of the
// group boxes to the main window's handlers.
class CellEvents : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (auto* edit = qobject_cast<QLineEdit*>(watched); edit && event->type() == QEvent::KeyPress) {
      const auto* key = static_cast<QKeyEvent*>(event);
      RunHandler([&] { formMain->edtKeyDown(edit, key->key(), key->modifiers()); });
    }
    if (auto* box = qobject_cast<QGroupBox*>(watched); box && event->type() == QEvent::MouseButtonPress) {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      RunHandler([&] { formMain->boxMouseDown(box, mouse->button()); });
    }
    return false;
  }
};

// One for all cells, owned by the main window so that the panel holds its
// controls alone.
QObject* CellEventsFilter() {
  static QPointer<CellEvents> events;
  if (!events) events = new CellEvents(formMain);
  return events;
}

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

  QObject* events = CellEventsFilter();
  box->installEventFilter(events);
  edit->installEventFilter(events);
  QObject::connect(button, &QPushButton::clicked, formMain,
                   [button] { RunHandler([button] { formMain->btnClick(button); }); });
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
  return {TextBytes(CellBox(suffix)->title()), TextBytes(CellButton(suffix)->text()),
          TextBytes(CellEdit(suffix)->text())};
}
