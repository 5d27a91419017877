#include "link/portdialog.h"

#include "link/comport.h"
#include "link/frameplacement.h"
#include "link/portsettings.h"
#include "platform/messages.h"
#include "platform/uitext.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

TformComPort* formComPort = nullptr;

TformComPort::TformComPort(std::uint32_t baudRate, const NetPortHistory& netPorts) : netPorts(netPorts) {
  setWindowTitle("Port dialog");
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  StandAboveStayOnTopWindows(this);
  setFont(QFont("MS Sans Serif", 8));
  setFixedSize(305, 87);

  btnRefreshComPort = new QPushButton("Refresh", this);
  btnRefreshComPort->setGeometry(216, 16, 75, 25);
  cbComPortList = new QComboBox(this);
  cbComPortList->setEditable(true);
  cbComPortList->setInsertPolicy(QComboBox::NoInsert);
  cbComPortList->setGeometry(32, 16, 145, 21);
  btnCloseForm = new QPushButton("Ok", this);
  btnCloseForm->setGeometry(216, 48, 75, 25);
  setTabOrder(btnCloseForm, btnRefreshComPort);
  setTabOrder(btnRefreshComPort, cbComPortList);
  // "Ok" is first in the keyboard order, so it has the focus when the dialog opens.
  btnCloseForm->setDefault(true);

  connect(btnRefreshComPort, &QPushButton::clicked, this,
          [this] { RunHandler([this] { btnRefreshComPortClick(); }); });
  connect(btnCloseForm, &QPushButton::clicked, this,
          [this] { RunHandler([this] { btnCloseFormClick(); }); });
  // Only what the user does changes the port: a pick or an edit.
  const auto change = [this] { RunHandler([this] { cbComPortListChange(); }); };
  connect(cbComPortList, &QComboBox::textActivated, this, change);
  connect(cbComPortList->lineEdit(), &QLineEdit::textEdited, this, change);
  cbComPortList->installEventFilter(this);

  ComPort = std::make_unique<TComPort>();
  ComPort->PortName = "COM1";
  ComPort->BaudRate = baudRate;

  PlaceFrame(this, CentredAboveMiddle(2));
}

TformComPort::~TformComPort() = default;  // where TComPort is complete

// Enter in the port's text confirms it like "Ok". Left to the combo box,
// it would replace the typed name by the list's selection.
bool TformComPort::eventFilter(QObject* watched, QEvent* event) {
  if (watched == cbComPortList && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      RunHandler([this] { btnCloseFormClick(); });
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TformComPort::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  RunHandler([this] { FormShow(); });
}

void TformComPort::FormShow() { FillPortList(false); }

void TformComPort::btnRefreshComPortClick() { FillPortList(true); }

// The selection stays at its position, whichever port now stands there; the
// port name changes only when the user picks again.
void TformComPort::FillPortList(bool clearAlways) {
  const QSignalBlocker quiet(cbComPortList);
  const int selected = cbComPortList->currentIndex();
  if (clearAlways || cbComPortList->count() > 0) cbComPortList->clear();
  std::vector<std::string> ports;
  TComPort::EnumPorts(ports);
  for (const auto& name : netPorts.NetPorts()) ports.push_back(name + "  network port");
  for (const auto& port : ports) cbComPortList->addItem(QtText(port));
  // Entries are longer than the box is wide: the drop-down shows them whole.
  cbComPortList->view()->setMinimumWidth(cbComPortList->view()->sizeHintForColumn(0) + 8);
  cbComPortList->setCurrentIndex(selected < cbComPortList->count() ? selected : -1);
}

void TformComPort::cbComPortListChange() {
  ComPort->PortName = PortNameOf(TextBytes(cbComPortList->currentText()));
}

// The link opens the port only when a command needs it, so a network port
// is kept for the next time on the user's confirmation.
void TformComPort::btnCloseFormClick() {
  close();
  netPorts.RememberNetPort(ComPort->PortName);
}
