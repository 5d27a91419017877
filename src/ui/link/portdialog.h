#pragma once
// The port dialog: the user picks the serial port here. It owns the one
// port object, configured with the baud rate it is given (the layout file's),
// and lists the network ports confirmed before after the machine's own.
#include <QDialog>
#include <cstdint>
#include <memory>

class QComboBox;
class QPushButton;
class TComPort;
class NetPortHistory;

class TformComPort : public QDialog {
  Q_OBJECT
 public:
  TformComPort(std::uint32_t baudRate, const NetPortHistory& netPorts);
  ~TformComPort() override;

  QPushButton* btnRefreshComPort;
  QComboBox* cbComPortList;
  QPushButton* btnCloseForm;
  std::unique_ptr<TComPort> ComPort;  // lives as long as the dialog

  void FormShow();
  void btnRefreshComPortClick();
  void cbComPortListChange();
  void btnCloseFormClick();

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FillPortList(bool clearAlways);
  const NetPortHistory& netPorts;
};

extern TformComPort* formComPort;
