#pragma once
// The main window: caption with the version, the menu, the two global
// shortcuts and the start-up sequence. Its client area carries the panel.
#include <QMainWindow>
#include <QString>

#include "panel/layoutstore.h"

class QAction;
class RegisterPanel;

class TformMain : public QMainWindow {
  Q_OBJECT
 public:
  explicit TformMain(const LayoutFiles& layoutFiles);
  ~TformMain() override;

  int Build;
  QString Version;

  QMenuBar* MainMenu;
  QAction* N1;  // File
  QAction* N2;  // Port...
  QAction* N3;  // Save
  QAction* N4;  // Exit
  QAction* N5;  // Chart...
  QAction* N6;  // About
  RegisterPanel* Panel = nullptr;  // the client area, once the layout is loaded

  // The rate the port is configured with, from the layout file.
  std::uint32_t StoredBaudRate() const { return Layout.BaudRate(); }
  // The network ports the layout file keeps for the port dialog.
  const NetPortHistory& NetPorts() const { return Layout; }
  // Creates the 96 cells from the layout file, then has the capture window
  // and the options dialog apply the chart settings. Runs once, before any
  // panel control exists. A file that exists but cannot be read is reported
  // ("Unable to read <path>"); the windows then show the defaults.
  void LoadLayout();
  // Writes the panel and the chart settings back. The options dialog's limit
  // fields are converted first, so that a field that is not a number stops
  // the save before the file changes.
  void SaveLayout();

  void FormShow();
  // Returns false when the close must not happen (the layout was not saved).
  bool FormClose();
  void FormKeyUp(int key, Qt::KeyboardModifiers modifiers);
  void N2Click();
  void N3Click();
  void N4Click();
  void N5Click();
  void N6Click();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateMenu();
  void EndProgram();
  bool startupDone = false;
  LayoutStore Layout;
  QMetaObject::Connection panelFollowsFocus;
};

extern TformMain* formMain;
