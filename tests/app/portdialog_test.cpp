// The port dialog: the baud rate from the layout file, the list, the port
// name, the network ports kept.
#include "link/comport.h"
#include "link/portdialog.h"
#include "link/portsettings.h"
#include "windows_fixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <fstream>

namespace {

class PortDialog : public WindowsTest {
 protected:
  QComboBox* List() { return formComPort->cbComPortList; }

  // What a user does when picking entry i from the drop-down.
  void Pick(int index) {
    List()->setCurrentIndex(index);
    emit List()->textActivated(List()->itemText(index));
  }
};

std::uint32_t BaudRateFrom(const std::string& text) {
  const auto file = std::filesystem::temp_directory_path() / "tarnwick-baud.ini";
  std::ofstream(file) << text;
  const std::uint32_t rate = StoredBaudRate(file.string());
  std::filesystem::remove(file);
  return rate;
}

}  // namespace

TEST(PortNameOf, TakesTheTextBeforeTheFirstSpaceOrTheWholeText) {
  EXPECT_EQ(PortNameOf("COM3  Serial0"), "COM3");
  EXPECT_EQ(PortNameOf("/dev/pts/4  Tarnwick virtual board"), "/dev/pts/4");
  EXPECT_EQ(PortNameOf("COM7 "), "COM7");
  EXPECT_EQ(PortNameOf("/dev/serial/by-id/usb-FTDI_FT232R-if00-port0"),
            "/dev/serial/by-id/usb-FTDI_FT232R-if00-port0");
  EXPECT_EQ(PortNameOf(""), "");
  EXPECT_EQ(PortNameOf(" COM3"), "");
}

TEST(StoredBaudRate, ReadsTheIntegerOrFallsBackTo115200) {
  EXPECT_EQ(StoredBaudRate("/tmp/tarnwick-no-such-folder/none.ini"), 115200u);
  EXPECT_EQ(BaudRateFrom("[USB]\nBaudRate=9600\n"), 9600u);
  EXPECT_EQ(BaudRateFrom("[usb]\r\nbaudrate = 19200\r\n"), 19200u);
  EXPECT_EQ(BaudRateFrom("[USB]\nBaudRate=0x1C200\n"), 115200u);
  EXPECT_EQ(BaudRateFrom("[USB]\nBaudRate=$E100\n"), 57600u);
  EXPECT_EQ(BaudRateFrom("[USB]\nBaudRate=fast\n"), 115200u);
  EXPECT_EQ(BaudRateFrom("[USB]\nBaudRate=9600 ; fast\n"), 115200u);
  EXPECT_EQ(BaudRateFrom("[USB]\nBaudRate=\n"), 115200u);
  EXPECT_EQ(BaudRateFrom("[CHART]\nBaudRate=9600\n"), 115200u);
}

TEST_F(PortDialog, ShowingTwiceListsEveryPortOnceWithNothingSelected) {
  formComPort->FormShow();
  const int count = List()->count();
  formComPort->FormShow();
  EXPECT_EQ(List()->count(), count);
  EXPECT_EQ(List()->currentIndex(), -1);
  EXPECT_EQ(formComPort->ComPort->PortName, "COM1");
}

TEST_F(PortDialog, PickingAnEntryTakesItsPortNameAndRefreshKeepsThePosition) {
  List()->clear();
  List()->addItems({"COM3  Serial0", "COM7  Serial1"});
  Pick(1);
  EXPECT_EQ(formComPort->ComPort->PortName, "COM7");

  // The real list replaces ours; the position stays if it still exists, and
  // the port name waits for the next pick.
  formComPort->btnRefreshComPortClick();
  EXPECT_EQ(List()->currentIndex(), List()->count() > 1 ? 1 : -1);
  EXPECT_EQ(formComPort->ComPort->PortName, "COM7");
}

TEST_F(PortDialog, ATypedNameIsTakenWithOrWithoutATrailingSpaceAndEnterConfirmsIt) {
  formComPort->show();
  QLineEdit* text = List()->lineEdit();
  text->clear();
  QTest::keyClicks(text, "/dev/pts/9");
  EXPECT_EQ(formComPort->ComPort->PortName, "/dev/pts/9");
  QTest::keyClicks(text, " extra");
  EXPECT_EQ(formComPort->ComPort->PortName, "/dev/pts/9");

  QTest::keyClick(List(), Qt::Key_Return);  // the box has the focus and hands keys to its text
  EXPECT_EQ(text->text(), "/dev/pts/9 extra");
  EXPECT_EQ(formComPort->ComPort->PortName, "/dev/pts/9");
  EXPECT_FALSE(formComPort->isVisible());
}

TEST_F(PortDialog, NetworkPortsConfirmedBeforeEndTheListAndOkKeepsANewOneFirst) {
  WriteLayout("[USB]\nNetPort1=socket://bench:4001\n");
  formComPort->FormShow();
  Pick(List()->count() - 1);
  EXPECT_EQ(formComPort->ComPort->PortName, "socket://bench:4001");

  formComPort->show();
  List()->lineEdit()->clear();
  QTest::keyClicks(List()->lineEdit(), "rfc2217://[::1]:2217");
  formComPort->btnCloseForm->click();
  formComPort->btnRefreshComPortClick();
  const int count = List()->count();
  ASSERT_GE(count, 2);
  EXPECT_EQ(List()->itemText(count - 2), "rfc2217://[::1]:2217  network port");
  EXPECT_EQ(List()->itemText(count - 1), "socket://bench:4001  network port");
}

TEST_F(PortDialog, TheBaudRateComesFromTheLayoutFile) {
  // This test's windows were made without a layout file.
  EXPECT_EQ(formComPort->ComPort->BaudRate, 115200u);
}
