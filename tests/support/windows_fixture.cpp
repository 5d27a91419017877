#include "windows_fixture.h"

#include "app/mainform.h"
#include "app/programwindows.h"
#include "platform/layoutnames.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>
#include <fstream>
#include <stdexcept>
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

namespace {

template <class Control>
Control* CellControl(const char* prefix, const std::string& suffix) {
  const QString name = QString::fromStdString(prefix + suffix);
  auto* control = formMain->findChild<Control*>(name);
  if (!control) throw std::logic_error("The panel has no control " + name.toStdString());
  return control;
}

}  // namespace

QGroupBox* CellBox(const std::string& suffix) { return CellControl<QGroupBox>(layout::BoxPrefix, suffix); }

QPushButton* CellButton(const std::string& suffix) {
  return CellControl<QPushButton>(layout::ButtonPrefix, suffix);
}

QLineEdit* CellEdit(const std::string& suffix) { return CellControl<QLineEdit>(layout::EditPrefix, suffix); }
