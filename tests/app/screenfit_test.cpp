// At twice the scale on a 1600 x 900 screen, as on a HiDPI laptop, the
// windows have 800 x 450 to open in: each must lie inside the screen's
// available area, as large as designed wherever that fits, and the register
// panel must scroll to its far corner.
#include "app/about.h"
#include "app/mainform.h"
#include "capture/capturewindow.h"
#include "capture/chartoptions.h"
#include "link/debugwindow.h"
#include "link/portdialog.h"
#include "panel/registerdialog.h"
#include "panel/registerpanel.h"
#include "windows_fixture.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QGroupBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTest>

namespace {

class ScaledScreen : public WindowsTest {};

// Whether the control lies wholly within the visible part of the panel.
bool InView(const QScrollArea& scroller, const QWidget* control) {
  const QRect place(control->mapTo(scroller.viewport(), QPoint(0, 0)), control->size());
  return scroller.viewport()->rect().contains(place);
}

}  // namespace

TEST_F(ScaledScreen, EveryWindowOpensInsideTheScreenAndThePanelScrollsToItsLastCell) {
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  ASSERT_EQ(area.size(), QSize(800, 450)) << "the scale factor or the test screen is not the one meant";
  ModalWatcher watcher;  // closes the port dialog and the splash at start-up
  formMain->show();
  ASSERT_TRUE(WaitUntil([] { return formMain->Panel && formMain->Panel->isVisible(); }, 5000));

  // The size each window is made with: its client area's, or its frame's.
  struct Case {
    QWidget* window;
    QSize design;
    bool frameSize;
  };
  for (const Case& c : {Case{formMain, {870, 640}, false}, Case{formChart, {808, 854}, false},
                        Case{formDebug, {500, 424}, true}, Case{formAbout, {280, 208}, false},
                        Case{formComPort, {305, 87}, false}, Case{formMSPI, {184, 204}, false},
                        Case{formChartOptions, {475, 217}, false}}) {
    const QString title = c.window->windowTitle();
    if (c.window != formMain) c.window->show();  // modeless here, so that all are seen together
    ASSERT_TRUE(QTest::qWaitForWindowExposed(c.window)) << title.toStdString();
    const QRect frame = c.window->frameGeometry();
    EXPECT_TRUE(area.contains(frame)) << title.toStdString();
    const QSize margins = frame.size() - c.window->size();
    EXPECT_EQ(frame.size(), (c.frameSize ? c.design : c.design + margins).boundedTo(area.size()))
        << title.toStdString();
  }
  for (QWidget* window : std::initializer_list<QWidget*>{formChart, formDebug, formAbout, formComPort, formMSPI,
                                                         formChartOptions})
    window->hide();

  // The last cell lies beyond the window's right and bottom edges; tabbing
  // back to it from the first brings the whole cell into view.
  auto* scroller = qobject_cast<QScrollArea*>(formMain->centralWidget());
  ASSERT_NE(scroller, nullptr);
  ASSERT_FALSE(InView(*scroller, CellBox("711")));
  QApplication::setActiveWindow(formMain);
  QPushButton* first = CellButton("00");
  first->setFocus();
  ASSERT_TRUE(WaitUntil([&] { return first->hasFocus(); }));
  QTest::keyClick(first, Qt::Key_Backtab, Qt::ShiftModifier);
  ASSERT_TRUE(CellEdit("711")->hasFocus());
  EXPECT_TRUE(InView(*scroller, CellBox("711")));
}
