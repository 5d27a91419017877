#pragma once
// Widget tests run against the program's real windows, created for each test
// with a layout file in a folder of its own; both are gone when it ends.
// Message boxes are recorded instead of shown, and modal windows are closed
// by a watcher.
#include "platform/messages.h"

#include <QString>

class QGroupBox;
class QLineEdit;
class QPushButton;
#include <QStringList>
#include <QTimer>
#include <filesystem>
#include <gtest/gtest.h>
#include <vector>

class WindowsTest : public ::testing::Test {
 protected:
  static std::filesystem::path Folder();
  static std::string LayoutFile() { return (Folder() / "tarnwick.ini").string(); }

  // Writes the layout file, for the panel to load.
  static void WriteLayout(const std::string& text);

  void SetUp() override;
  void TearDown() override;

  std::vector<MessageBoxRequest> boxes;

 private:
  MessageBoxPresenter previous;
};

// Records the caption of every modal window that opens and closes it again,
// unless told to leave it to close by itself.
class ModalWatcher {
 public:
  explicit ModalWatcher(QStringList leaveOpen = {});
  QStringList seen;

 private:
  QTimer timer;
  QStringList leaveOpen;
};

// A panel cell's control, found by the name the program gives it, from the
// cell's suffix ("00", "111"). Throws std::logic_error when there is none.
QGroupBox* CellBox(const std::string& suffix);
QPushButton* CellButton(const std::string& suffix);
QLineEdit* CellEdit(const std::string& suffix);

// Runs the event loop until the condition holds or two seconds pass.
bool WaitUntil(const std::function<bool()>& condition, int milliseconds = 2000);
