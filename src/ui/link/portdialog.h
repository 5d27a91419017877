#pragma once
// The port dialog: the user picks the serial port here. It owns the one
// port object, configured with the baud rate it is given (the layout file's).
#include <QDialog>
#include <cstdint>
#include <memory>

class QComboBox;
class QPushButton;
class TComPort;

class TformComPort : public QDialog {
  Q_OBJECT
 public:
  explicit TformComPort(std::uint32_t baudRate);
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
};

extern TformComPort* formComPort;
