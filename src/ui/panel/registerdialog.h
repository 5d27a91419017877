#pragma once
// The register dialog that defines what a panel cell stands for: it edits
// the captions of one cell's group box and button, and keeps nothing itself.
#include <QDialog>
#include <QPointer>
#include <QString>

#include "panel/panelcell.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class RegisterPanel;

class TformMSPI : public QDialog {
  Q_OBJECT
 public:
  TformMSPI();

  QLabel* lbName;
  QLineEdit* edName;
  QLabel* lbAddress;
  QLineEdit* edAddress;
  QPushButton* btnOK;
  QCheckBox* cbType;
  QCheckBox* cbSigned;
  // The cell being edited; it outlives the dialog's closing.
  PanelCell SelectedCell{0, 0};

  // Fills the dialog from the cell's box and button, then shows it modally;
  // returns when it has closed.
  void ShowWithInit(RegisterPanel& panel, const PanelCell& cell);

  void FormShow();
  // Returns true when the key is used up and its control must not see it.
  bool FormKeyDown(int key);
  void cbTypeClick();
  void edNameKeyUp(int key);
  void edAddressKeyUp(int key);
  void btnOKClick();

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowCaption(const QString& caption);
  void ShowAccessMode(const QString& accessMode);
  QString CheckedAccessMode() const;
  QPointer<RegisterPanel> Panel;
};

extern TformMSPI* formMSPI;
