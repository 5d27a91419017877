#pragma once
// The register dialog that defines what a panel cell stands for.
#include <QDialog>
#include <QString>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

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
  QString SelectedBoxName;
};

extern TformMSPI* formMSPI;
