// What the panel's cells do when the user works them: a button reads or
// writes its register, Up and Down step a write cell's value and write it,
// a right click on a box opens the register dialog.
#include "app/mainform.h"
#include "capture/chartmain.h"
#include "link/comportmain.h"
#include "link/registercommand.h"
#include "panel/cellcommand.h"
#include "panel/cellcontrols.h"
#include "panel/mspimain.h"
#include "panel/panelcell.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

namespace {

// While the capture holds the port, the capture sends the command between
// two blocks or before it lets the port go; otherwise it goes out now.
void Dispatch(std::uint8_t command, std::uint32_t address, std::uint32_t value, QLineEdit* target,
              const QString& accessMode) {
  if (formChart->Acquiring) {
    formChart->PendingCommand = {true, command, address, value, target, accessMode};
    return;
  }
  if (const auto text = CarryOutCellCommand(*formComPort->ComPort,
                                            {command, address, value, TextBytes(accessMode)}, false))
    target->setText(QtText(*text));
}

}  // namespace

void TformMain::btnClick(QPushButton* sender) {
  const QString accessMode = sender->text();
  const std::uint8_t command = accessMode.startsWith("get") ? CommandRead : CommandWrite;
  QLineEdit* edit = SiblingEdit(*sender);
  QGroupBox* box = SiblingBox(*sender);
  // The value is parsed before the address: with both bad, the value's
  // error is the one shown.
  const std::string text = TextBytes(edit->text());
  const std::uint32_t value =
      (command == CommandRead || text == "TimeOut") ? 0 : ParseRegisterValue(text);
  // A negative address travels as its 32-bit pattern: -1 is the wide 4294967295.
  const auto address = static_cast<std::uint32_t>(ParseRegisterAddress(TextBytes(box->title())));
  Dispatch(command, address, value, edit, accessMode);
}

void TformMain::edtKeyDown(QLineEdit* sender, int key, Qt::KeyboardModifiers shift) {
  if (key != Qt::Key_Up && key != Qt::Key_Down) return;
  QLineEdit* edit = SiblingEdit(*sender);
  QPushButton* button = SiblingButton(*sender);
  if (button->text() != QtText(ModeSet)) return;
  const int step = (shift & Qt::ControlModifier) ? 10 : 1;
  const std::uint32_t stepped = SteppedCellValue(TextBytes(SiblingBox(*sender)->title()),
                                                 TextBytes(edit->text()),
                                                 key == Qt::Key_Up ? step : -step);
  edit->setText(QString::number(stepped));
  btnClick(button);
}

void TformMain::boxMouseDown(QGroupBox* sender, Qt::MouseButton button) {
  if (button == Qt::RightButton) formMSPI->ShowWithInit(sender);
}
