#include "windows_fixture.h"

#include "app/windows.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>
#include <fstream>
#include <unistd.h>

std::filesystem::path WindowsTest::Folder() {
  return std::filesystem::temp_directory_path() / ("tarnwick-ui-" + std::to_string(getpid()));
}

void WindowsTest::WriteLayout(const std::string& text) { std::ofstream(LayoutFile()) << text; }

void WindowsTest::SetUp() {
  std::filesystem::remove_all(Folder());  // left by an earlier process of the same id
  std::filesystem::create_directories(Folder());
  previous = SetMessageBoxPresenter([this](const MessageBoxRequest& box) { boxes.push_back(box); });
  CreateWindows({LayoutFile(), LayoutFile()});
}

void WindowsTest::TearDown() {
  DestroyWindows();
  SetMessageBoxPresenter(previous);
  std::filesystem::remove_all(Folder());
}

ModalWatcher::ModalWatcher(QStringList leaveOpen) : leaveOpen(std::move(leaveOpen)) {
  QObject::connect(&timer, &QTimer::timeout, [this] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible()) return;
    const QString title = modal->windowTitle();
    if (seen.isEmpty() || seen.back() != title) seen << title;
    if (!this->leaveOpen.contains(title)) modal->close();
  });
  timer.start(5);
}

bool WaitUntil(const std::function<bool()>& condition, int milliseconds) {
  QElapsedTimer clock;
  clock.start();
  while (!condition()) {
    if (clock.elapsed() > milliseconds) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  return true;
}
