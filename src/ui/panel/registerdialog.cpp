#include "panel/registerdialog.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "link/frameplacement.h"
#include "panel/registerpanel.h"
#include "platform/uitext.h"
#include "platform/messages.h"

TformMSPI* formMSPI = nullptr;

namespace {

bool IsEnter(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

}  // namespace

TformMSPI::TformMSPI() {
  setWindowTitle("Set MSPI");
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  StandAboveStayOnTopWindows(this);
  setFixedSize(184, 204);
  move(438, 299);
  KeepOnScreen(this);
  lbName = new QLabel("MSPI Register Name", this);
  lbName->move(16, 16);
  lbName->adjustSize();  // labels fit their text in whatever font the desktop has
  edName = new QLineEdit(this);
  edName->setGeometry(16, 40, 121, 21);
  lbAddress = new QLabel("MSPI Register Address", this);
  lbAddress->move(16, 80);
  lbAddress->adjustSize();
  edAddress = new QLineEdit(this);
  edAddress->setGeometry(16, 104, 65, 21);
  btnOK = new QPushButton("OK", this);
  btnOK->setGeometry(104, 104, 57, 65);
  // Enter applies only when released in a field; as a default button OK
  // would already act on the press.
  btnOK->setAutoDefault(false);
  btnOK->setDefault(false);
  cbType = new QCheckBox("Read", this);
  cbType->setGeometry(16, 144, 57, 17);
  cbSigned = new QCheckBox("Signed", this);
  cbSigned->setGeometry(16, 168, 73, 17);
  setTabOrder(edName, edAddress);
  setTabOrder(edAddress, btnOK);
  setTabOrder(btnOK, cbType);
  setTabOrder(cbType, cbSigned);

  connect(btnOK, &QPushButton::clicked, this, [this] { RunHandler([this] { btnOKClick(); }); });
  connect(cbType, &QCheckBox::clicked, this, [this] { RunHandler([this] { cbTypeClick(); }); });
  // Key preview: the dialog sees every key before the control it is meant for.
  for (QWidget* control : findChildren<QWidget*>()) control->installEventFilter(this);
  installEventFilter(this);
}

void TformMSPI::ShowWithInit(RegisterPanel& panel, const PanelCell& cell) {
  Panel = &panel;
  SelectedCell = cell;
  ShowCaption(panel.Caption(cell));
  ShowAccessMode(panel.AccessMode(cell));
  exec();
}

// Only the first separator counts: the name may hold " | " itself. A caption
// without one comes only from a hand-written layout file; we show it whole
// as the name, with an empty address, so that nothing of it is lost.
void TformMSPI::ShowCaption(const QString& caption) {
  const QString separator = QtText(CaptionSeparator);
  const qsizetype at = caption.indexOf(separator);
  edAddress->setText(at < 0 ? QString() : caption.left(at));
  edName->setText(at < 0 ? caption : caption.mid(at + separator.size()));
}

// Anything that does not begin with "get" is a write, and only the fifth
// character tells a signed read from an unsigned one.
void TformMSPI::ShowAccessMode(const QString& accessMode) {
  const bool read = accessMode.startsWith("get");
  cbType->setChecked(read);
  cbSigned->setChecked(read && accessMode.mid(4, 1) == "s");
  cbSigned->setVisible(read);
}

void TformMSPI::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  RunHandler([this] { FormShow(); });
}

void TformMSPI::FormShow() { edName->setFocus(); }

bool TformMSPI::eventFilter(QObject* watched, QEvent* event) {
  const bool press = event->type() == QEvent::KeyPress;
  const bool release = event->type() == QEvent::KeyRelease;
  // A key that no control uses climbs on to the dialog: act only where it
  // arrives first.
  QWidget* target = focusWidget() ? focusWidget() : this;
  if (!(press || release) || watched != target) return QDialog::eventFilter(watched, event);
  const int key = static_cast<QKeyEvent*>(event)->key();
  // A held key repeats its press, but it is released only once.
  const bool letGo = release && !static_cast<QKeyEvent*>(event)->isAutoRepeat();
  bool used = false;
  if (press) RunHandler([&] { used = FormKeyDown(key); });
  if (letGo && watched == edName) RunHandler([&] { edNameKeyUp(key); });
  if (letGo && watched == edAddress) RunHandler([&] { edAddressKeyUp(key); });
  return used;
}

// Escape leaves the panel as it was, whichever control has the focus.
bool TformMSPI::FormKeyDown(int key) {
  if (key != Qt::Key_Escape) return false;
  close();
  return true;
}

// Signed is kept while hidden, so that a read chosen again is as signed as before.
void TformMSPI::cbTypeClick() { cbSigned->setVisible(cbType->isChecked()); }

void TformMSPI::edNameKeyUp(int key) {
  if (IsEnter(key)) btnOKClick();
}

void TformMSPI::edAddressKeyUp(int key) {
  if (IsEnter(key)) btnOKClick();
}

// The texts are taken as typed: a bad address is the button's error, not ours.
void TformMSPI::btnOKClick() {
  if (Panel) Panel->Define(SelectedCell, edAddress->text() + QtText(CaptionSeparator) + edName->text(),
                          CheckedAccessMode());
  close();
}

QString TformMSPI::CheckedAccessMode() const {
  if (!cbType->isChecked()) return QtText(ModeSet);
  return QtText(cbSigned->isChecked() ? ModeGetSigned : ModeGetUnsigned);
}
