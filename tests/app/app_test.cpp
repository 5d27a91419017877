// The application shell: windows, captions, start-up, shortcuts, error box.
#include "app/about.h"
#include "app/mainform.h"
#include "app/splash.h"
#include "capture/capturewindow.h"
#include "capture/chartoptions.h"
#include "link/comport.h"
#include "link/portdialog.h"
#include "link/debugwindow.h"
#include "link/frameplacement.h"
#include "panel/registerdialog.h"
#include "platform/placement.h"
#include "windows_fixture.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <cstdio>

using Shell = WindowsTest;

TEST(FullStop, IsAddedWhenTheLastCharacterSortsAfterAFullStop) {
  EXPECT_EQ(WithFullStop("Value is out of range"), "Value is out of range.");
  EXPECT_EQ(WithFullStop("Unable to write to /x/tarnwick.ini"), "Unable to write to /x/tarnwick.ini.");
  EXPECT_EQ(WithFullStop("'' is not a valid integer value"), "'' is not a valid integer value.");
  EXPECT_EQ(WithFullStop("build 42"), "build 42.");
  EXPECT_EQ(WithFullStop("Done."), "Done.");
  EXPECT_EQ(WithFullStop("Stop!"), "Stop!");
  EXPECT_EQ(WithFullStop("range -"), "range -");
  EXPECT_EQ(WithFullStop(""), "");
}

TEST_F(Shell, AnExceptionLeavingAHandlerIsShownInTheStandardErrorBox) {
  RunHandler([] { throw std::runtime_error("Value is out of range"); });
  RunHandler([] { throw 42; });
  bool after = false;
  RunHandler([&] { after = true; });
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, "Value is out of range.");
  EXPECT_EQ(boxes[0].caption, "Velkor Tarnwick");
  EXPECT_EQ(boxes[0].icon, BoxIcon::Error);
  EXPECT_EQ(boxes[1].text, "");  // not one of ours: no text to show
  EXPECT_TRUE(after);
}

TEST_F(Shell, EveryWindowHasItsExactCaption) {
  const std::vector<std::pair<QWidget*, QString>> windows{
      {formMain, "Velkor Tarnwick (v 2.6.0)"}, {formChart, "Chart"},
      {formComPort, "Port dialog"},           {formMSPI, "Set MSPI"},
      {formChartOptions, "Chart Options"},    {formAbout, "About"},
      {formDebug, "Debug"},                   {formSplash, "splash"}};
  for (const auto& [window, caption] : windows) {
    window->winId();  // the toolkit's own window carries what the desktop shows
    EXPECT_EQ(window->windowTitle(), caption);
    EXPECT_EQ(window->windowHandle()->title(), caption);
  }
  EXPECT_EQ(formMain->Build, 3600);
  EXPECT_EQ(formMain->Version, "2.6.0");
}

TEST_F(Shell, MainMenuHasItsItemsInOrder) {
  const QList<QAction*> bar = formMain->MainMenu->actions();
  ASSERT_EQ(bar.size(), 3);
  EXPECT_EQ(bar[0], formMain->N1);
  EXPECT_EQ(bar[1], formMain->N5);
  EXPECT_EQ(bar[2], formMain->N6);
  EXPECT_EQ(formMain->N1->text(), "File");
  EXPECT_EQ(formMain->N5->text(), "Chart...");
  EXPECT_EQ(formMain->N6->text(), "About");
  const QList<QAction*> file = formMain->N1->menu()->actions();
  ASSERT_EQ(file.size(), 3);
  EXPECT_EQ(file[0]->text(), "Port...");
  EXPECT_EQ(file[1]->text(), "Save");
  EXPECT_EQ(file[2]->text(), "Exit");
}

TEST_F(Shell, NumbersUseAFullStopWhateverTheLocale) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", 2.5);
  EXPECT_STREQ(text, "2.5");
  EXPECT_EQ(QLocale().decimalPoint(), ".");
}

TEST_F(Shell, StartUpAsksForThePortThenShowsTheSplashThenTheMainWindow) {
  ModalWatcher watcher({"splash"});
  formMain->show();
  ASSERT_TRUE(WaitUntil([&] { return watcher.seen.size() == 2 && !formSplash->isVisible(); }, 5000));
  EXPECT_EQ(watcher.seen, (QStringList{"Port dialog", "splash"}));
  EXPECT_EQ(formSplash->ProgressBar1->value(), 100);
  EXPECT_TRUE(formMain->isVisible());
  // The port dialog closed without a choice: the port keeps its default name.
  EXPECT_EQ(formComPort->ComPort->PortName, "COM1");
}

TEST_F(Shell, SplashFillsItsBarThenClosesOnTheHundredAndFirstTick) {
  formSplash->show();
  for (int tick = 1; tick <= 100; ++tick) {
    formSplash->Timer1Timer();
    if (tick == 50) {
      EXPECT_EQ(formSplash->ProgressBar1->value(), 100);
    }
  }
  EXPECT_TRUE(formSplash->isVisible());
  formSplash->Timer1Timer();
  EXPECT_FALSE(formSplash->isVisible());
}

TEST_F(Shell, AboutShowsTheVersionWithItsBuild) {
  EXPECT_EQ(formAbout->lbRevision->text(), "Software Version : 2.6.0 (build 3600)");
  EXPECT_EQ(formAbout->lbLabel1->text(), "Product Name : Tarnwick");
}

// Answered before Qt starts: no display is needed, so none may be asked for.
TEST(OwnOptions, VersionAndHelpArePrintedWithoutADisplay) {
  const auto run = [](const std::string& option) {
    const std::string command =
        "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" TARNWICK_PROGRAM "' " + option + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    std::string output;
    char block[256];
    for (std::size_t n; (n = std::fread(block, 1, sizeof block, pipe)) > 0;) output.append(block, n);
    return std::make_pair(output, pclose(pipe));
  };
  EXPECT_EQ(run("--version"), std::make_pair(std::string("tarnwick 2.6.0 (build 3600)\n"), 0));
  const auto [help, status] = run("--help");
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(help.starts_with("usage: tarnwick")) << help;
}

TEST(Placement, CentresHorizontallyAboveTheMiddleLine) {
  // On a 1080-pixel screen the about box ends on row 540, the splash one of
  // its own heights higher.
  const auto about = CentredAbove(1920, 1080, 280, 208, 1);
  EXPECT_EQ(about.top + 208, 540);
  EXPECT_EQ(about.left, 960 - 140);
  const auto splash = CentredAbove(1920, 1080, 254, 65, 2);
  EXPECT_EQ(splash.top + 65, 540 - 65);
  EXPECT_EQ(splash.left, 960 - 127);
  EXPECT_EQ(CentredAbove(1921, 1081, 255, 65, 2).left, 960 - 127);
}

// Offscreen windows get a frame once shown, two pixels a side: as on a
// desktop, the sizes the windows are given are the frame's and the client
// area is smaller.
TEST_F(Shell, WindowsArePlacedByTheirFramesOnceShown) {
  const std::vector<QWidget*> windows{formAbout, formComPort, formDebug};
  for (QWidget* window : windows) {
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
  }
  ASSERT_NE(formAbout->frameGeometry().size(), formAbout->size());
  const QSize screen = QGuiApplication::primaryScreen()->size();
  const QSize about = formAbout->frameGeometry().size();
  const auto aboutAt = CentredAbove(screen.width(), screen.height(), about.width(), about.height(), 1);
  EXPECT_EQ(formAbout->frameGeometry(), QRect(QPoint(aboutAt.left, aboutAt.top), about));
  const QSize port = formComPort->frameGeometry().size();
  const auto portAt = CentredAbove(screen.width(), screen.height(), port.width(), port.height(), 2);
  EXPECT_EQ(formComPort->frameGeometry(), QRect(QPoint(portAt.left, portAt.top), port));
  EXPECT_EQ(formDebug->frameGeometry(), QRect(570, 292, 500, 424));
  for (QWidget* window : windows) window->hide();
}

// Placed again when first exposed, never again once the user has moved it.
TEST(FramePlacement, PlacesOnTheFirstExposureOnlyAndKeepsWhereTheUserPutsIt) {
  QWidget window;
  PlaceFrame(&window, [](QSize) { return QRect(40, 30, 200, 100); });
  window.setGeometry(0, 0, 10, 10);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  EXPECT_EQ(window.frameGeometry(), QRect(40, 30, 200, 100));
  window.move(300, 200);
  window.hide();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !window.windowHandle()->isExposed(); }));
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  EXPECT_EQ(window.pos(), QPoint(300, 200));
}

TEST_F(Shell, F1OpensTheAboutBoxWhicheverControlHasTheFocus) {
  ModalWatcher watcher;  // closes the start-up dialogs, and later the about box
  formMain->show();
  ASSERT_TRUE(WaitUntil([&] { return watcher.seen.size() >= 2; }));
  auto* field = new QLineEdit(formMain);
  field->show();
  QApplication::setActiveWindow(formMain);
  field->setFocus();
  ASSERT_TRUE(WaitUntil([&] { return field->hasFocus(); }));
  QTest::keyClick(field, Qt::Key_F1);
  EXPECT_TRUE(WaitUntil([&] { return watcher.seen.contains("About"); }));

  // A button hands the release on to its parents. There it must not open the
  // box again once the focus has left the button, as it does on a desktop
  // when the box closes.
  auto* button = new QPushButton("x", formMain);
  button->show();
  int shown = 0;
  QObject::connect(formAbout, &QDialog::finished, button, [&] {
    ++shown;
    button->clearFocus();
  });
  QApplication::setActiveWindow(formMain);
  button->setFocus();
  ASSERT_TRUE(WaitUntil([&] { return button->hasFocus(); }));
  QTest::keyClick(button, Qt::Key_F1);
  WaitUntil([&] { return shown > 1; }, 300);
  EXPECT_EQ(shown, 1);
}

TEST_F(Shell, CtrlDShowsTheOneDebugWindowAndBringsItToTheFront) {
  formMain->FormKeyUp(Qt::Key_D, Qt::NoModifier);
  EXPECT_FALSE(formDebug->isVisible());
  formMain->FormKeyUp(Qt::Key_D, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_TRUE(formDebug->isVisible());
  formMain->FormKeyUp(Qt::Key_D, Qt::ControlModifier);
  EXPECT_TRUE(formDebug->isVisible());
  EXPECT_EQ(formDebug->windowFlags() & Qt::WindowStaysOnTopHint, Qt::WindowStaysOnTopHint);
}
