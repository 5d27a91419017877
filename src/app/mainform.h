#pragma once
// The main window: caption with the version, the menu, the two global
// shortcuts and the start-up sequence. Its client area carries the panel.
#include <QMainWindow>
#include <QString>

class QAction;
class QGroupBox;
class QLineEdit;
class QPushButton;

class TformMain : public QMainWindow {
  Q_OBJECT
 public:
  TformMain();

  int Build;
  QString Version;

  QMenuBar* MainMenu;
  QAction* N1;  // File
  QAction* N2;  // Port...
  QAction* N3;  // Save
  QAction* N4;  // Exit
  QAction* N5;  // Chart...
  QAction* N6;  // About

  void FormShow();
  // Returns false when the close must not happen (the layout was not saved).
  bool FormClose();
  void FormKeyUp(int key, Qt::KeyboardModifiers modifiers);
  void N2Click();
  void N3Click();
  void N4Click();
  void N5Click();
  void N6Click();

  // The panel cells' handlers.
  void btnClick(QPushButton* sender);
  void edtKeyDown(QLineEdit* sender, int key, Qt::KeyboardModifiers shift);
  void boxMouseDown(QGroupBox* sender, Qt::MouseButton button);

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateMenu();
  void EndProgram();
  bool startupDone = false;
};

extern TformMain* formMain;
