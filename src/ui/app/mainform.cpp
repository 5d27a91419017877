#include "app/mainform.h"

#include "app/about.h"
#include "app/splash.h"
#include "capture/capturewindow.h"
#include "capture/chartoptions.h"
#include "link/frameplacement.h"
#include "link/portdialog.h"
#include "link/debugwindow.h"
#include "panel/registerdialog.h"
#include "panel/panelactions.h"
#include "panel/registerpanel.h"
#include "platform/messages.h"
#include "version.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QMenuBar>
#include <QScrollArea>
#include <QTimer>
#include <clocale>

TformMain* formMain = nullptr;

TformMain::TformMain(const LayoutFiles& layoutFiles) : Layout(layoutFiles) {
  Build = TarnwickBuild;
  Version = TarnwickVersion;
  // Numbers in the layout file and in every field use "." whatever the
  // user's locale says.
  std::setlocale(LC_NUMERIC, "C");
  QLocale::setDefault(QLocale::c());
  setWindowTitle("Velkor Tarnwick (v " + Version + ")");
  setObjectName("formMain");
  setFont(QFont("MS Sans Serif", 8));
  setGeometry(237, 150, 870, 640);
  KeepOnScreen(this);
  // Key preview: the window sees every key of its controls first.
  qApp->installEventFilter(this);
  CreateMenu();
}

// A window being destroyed hides, and the focus moves: the panel, half gone
// by then, must not follow it.
TformMain::~TformMain() { disconnect(panelFollowsFocus); }

void TformMain::CreateMenu() {
  MainMenu = menuBar();
  auto item = [this](QMenu* parent, const char* name, const QString& caption, void (TformMain::*handler)()) {
    QAction* action = parent ? parent->addAction(caption) : MainMenu->addAction(caption);
    action->setObjectName(name);
    connect(action, &QAction::triggered, this, [this, handler] { RunHandler([&] { (this->*handler)(); }); });
    return action;
  };
  QMenu* file = MainMenu->addMenu("File");
  N1 = file->menuAction();
  N1->setObjectName("N1");
  N2 = item(file, "N2", "Port...", &TformMain::N2Click);
  N3 = item(file, "N3", "Save", &TformMain::N3Click);
  N4 = item(file, "N4", "Exit", &TformMain::N4Click);
  N5 = item(nullptr, "N5", "Chart...", &TformMain::N5Click);
  N6 = item(nullptr, "N6", "About", &TformMain::N6Click);
}

void TformMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (startupDone) return;
  startupDone = true;
  // Run once the window is on screen, so that the dialogs open above it.
  QTimer::singleShot(0, this, [this] { RunHandler([this] { FormShow(); }); });
}

void TformMain::FormShow() {
  formComPort->exec();
  formSplash->exec();
  LoadLayout();
}

void TformMain::LoadLayout() {
  const LayoutValues values = Layout.Load();
  if (!Layout.UnreadAtLoad().empty()) ShowErrorBox("Unable to read " + Layout.UnreadAtLoad());
  // The grid is wider and taller than a small or scaled screen: the panel
  // scrolls whenever the window is smaller than the grid, and tabbing to a
  // cell scrolls it into view. The scroll area is neither a tab stop nor a
  // frame, so that the cells keep their places and focus order.
  auto* scroller = new QScrollArea(this);
  scroller->setFrameShape(QFrame::NoFrame);
  scroller->setFocusPolicy(Qt::NoFocus);
  scroller->setWidgetResizable(true);
  Panel = new RegisterPanel(values.cells, scroller);
  scroller->setWidget(Panel);
  new PanelActions(*Panel, formChart->Session(), *formMSPI, this);
  setCentralWidget(scroller);
  // The scroll area alone would show only a field's text cursor: the whole
  // cell comes into view, with the margin between cells.
  panelFollowsFocus = connect(qApp, &QApplication::focusChanged, scroller, [this, scroller](QWidget*, QWidget* now) {
    const QRect cell = Panel->CellPlace(now);
    if (!cell.isNull())
      scroller->ensureVisible(cell.center().x(), cell.center().y(), cell.width() / 2 + 10, cell.height() / 2 + 10);
  });
  formChartOptions->ShowSettings(values.chart);
  formChart->ApplySettings(values.chart);
}

void TformMain::SaveLayout() {
  if (!Panel) return;  // nothing loaded yet, so nothing of the user's to keep
  LayoutValues values;
  values.chart = formChartOptions->Limits();
  values.chart.display = formChart->Settings();
  values.cells = Panel->Texts();
  Layout.Save(values);
}

void TformMain::closeEvent(QCloseEvent* event) {
  bool saved = false;
  RunHandler([&] { saved = FormClose(); });
  if (!saved) {
    event->ignore();  // the layout could not be written: keep the window
    return;
  }
  event->accept();
  EndProgram();
}

bool TformMain::FormClose() {
  SaveLayout();
  return true;
}

bool TformMain::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyRelease) {
    auto* widget = qobject_cast<QWidget*>(watched);
    auto* key = static_cast<QKeyEvent*>(event);
    // A key reaches the filter once per widget it is offered to: act on its
    // delivery to the focused widget only, and never on the repeats of a held
    // key. Handed on to the parents (no longer spontaneous), it is the same
    // key, although the focus may have moved meanwhile: a dialog it opened
    // has closed.
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : this;
    if (widget == target && widget->window() == this && event->spontaneous() && !key->isAutoRepeat())
      RunHandler([&] { FormKeyUp(key->key(), key->modifiers()); });
  }
  return QMainWindow::eventFilter(watched, event);
}

void TformMain::FormKeyUp(int key, Qt::KeyboardModifiers modifiers) {
  if (key == Qt::Key_F1) formAbout->exec();
  if (key == Qt::Key_D && (modifiers & Qt::ControlModifier)) ShowDebugWindow();
}

void TformMain::N2Click() { formComPort->exec(); }

void TformMain::N3Click() { SaveLayout(); }

void TformMain::N4Click() { EndProgram(); }

// The program ends with this window, even while the capture or debug window
// is open. A capture run in progress stops at the end of its pass, so that
// control comes back to the message loop, which then ends.
void TformMain::EndProgram() {
  formChart->nnStopClick();
  qApp->exit(0);
}

void TformMain::N5Click() {
  formChart->show();
  formChart->raise();
}

void TformMain::N6Click() { formAbout->exec(); }
