#include "link/debugwindow.h"

#include "link/portdialog.h"
#include "link/frameplacement.h"
#include "link/linkcheck.h"
#include "platform/messages.h"
#include "platform/uitext.h"

#include <QEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

TformDebug* formDebug = nullptr;

namespace {
constexpr int LogHeight = 190;
}

TformDebug::TformDebug() {
  setWindowTitle("Debug");
  setWindowFlags(Qt::Window | Qt::WindowStaysOnTopHint);
  setFont(QFont("MS Sans Serif", 8));
  PlaceFrame(this, [](QSize) { return QRect(570, 292, 500, 424); });
  mmDebug = new QPlainTextEdit(this);
  mmDebug->setReadOnly(true);
  mmDebug->viewport()->installEventFilter(this);
  edRxCnt = new QLineEdit("0", this);
  edRxCnt->setGeometry(196, 31, 149, 24);
  btnCheck = new QPushButton("Check", this);
  btnCheck->setGeometry(56, 32, 75, 25);
  connect(btnCheck, &QPushButton::clicked, this, [this] { RunHandler([this] { btnCheckClick(); }); });
}

// The log keeps to the bottom edge over the window's full width.
void TformDebug::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  mmDebug->setGeometry(0, height() - LogHeight, width(), LogHeight);
}

bool TformDebug::eventFilter(QObject* watched, QEvent* event) {
  if (watched == mmDebug->viewport() && event->type() == QEvent::MouseButtonDblClick) {
    RunHandler([this] { mmDebugDblClick(); });
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

void TformDebug::btnCheckClick() {
  mmDebug->appendPlainText(QtText(RunLinkCheck(*formComPort->ComPort)));
}

void TformDebug::mmDebugDblClick() { mmDebug->clear(); }

void ShowDebugWindow() {
  formDebug->show();
  formDebug->raise();
  formDebug->activateWindow();
}
