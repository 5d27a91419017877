#include "panel/mspimain.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TformMSPI* formMSPI = nullptr;

TformMSPI::TformMSPI() {
  setWindowTitle("Set MSPI");
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setFixedSize(184, 204);
  move(438, 299);
  lbName = new QLabel("MSPI Register Name", this);
  lbName->setGeometry(16, 16, 99, 13);
  edName = new QLineEdit(this);
  edName->setGeometry(16, 40, 121, 21);
  lbAddress = new QLabel("MSPI Register Address", this);
  lbAddress->setGeometry(16, 80, 109, 13);
  edAddress = new QLineEdit(this);
  edAddress->setGeometry(16, 104, 65, 21);
  btnOK = new QPushButton("OK", this);
  btnOK->setGeometry(104, 104, 57, 65);
  cbType = new QCheckBox("Read", this);
  cbType->setGeometry(16, 144, 57, 17);
  cbSigned = new QCheckBox("Signed", this);
  cbSigned->setGeometry(16, 168, 73, 17);
  setTabOrder(edName, edAddress);
  setTabOrder(edAddress, btnOK);
  setTabOrder(btnOK, cbType);
  setTabOrder(cbType, cbSigned);
}
