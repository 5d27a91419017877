#include "panel/panelactions.h"

#include <QPointer>

#include "link/commandsender.h"
#include "link/registercommand.h"
#include "panel/cellcommand.h"
#include "panel/registerdialog.h"
#include "panel/registerpanel.h"
#include "platform/messages.h"
#include "platform/uitext.h"

PanelActions::PanelActions(RegisterPanel& panel, CommandSender& sender, TformMSPI& registerDialog,
                           QObject* parent)
    : QObject(parent), panel(panel), sender(sender), registerDialog(registerDialog) {
  connect(&panel, &RegisterPanel::ButtonPressed, this,
          [this](PanelCell cell) { RunHandler([&] { btnClick(cell); }); });
  connect(&panel, &RegisterPanel::ArrowStep, this,
          [this](PanelCell cell, int step) { RunHandler([&] { edtKeyDown(cell, step); }); });
  connect(&panel, &RegisterPanel::DefinitionAsked, this,
          [this](PanelCell cell) { RunHandler([&] { boxMouseDown(cell); }); });
}

void PanelActions::btnClick(const PanelCell& cell) {
  const std::string accessMode = TextBytes(panel.AccessMode(cell));
  const std::uint8_t command = accessMode.starts_with("get") ? CommandRead : CommandWrite;
  // The value is parsed before the address: with both bad, the value's
  // error is the one shown.
  const std::string text = TextBytes(panel.Value(cell));
  const std::uint32_t value =
      (command == CommandRead || text == FailedReadText) ? 0 : ParseRegisterValue(text);
  // A negative address travels as its 32-bit pattern: -1 is the wide 4294967295.
  const auto address = static_cast<std::uint32_t>(ParseRegisterAddress(TextBytes(panel.Caption(cell))));
  // The field may be gone by the time a held-back command is answered.
  const QPointer<RegisterPanel> shown = &panel;
  const CellCommand given{command, address, value, accessMode};
  sender.Send([=](TComPort& port, bool portHeld) {
    const auto answer = CarryOutCellCommand(port, given, portHeld);
    if (answer && shown) shown->ShowValue(cell, QtText(*answer));
  });
}

void PanelActions::edtKeyDown(const PanelCell& cell, int step) {
  if (panel.AccessMode(cell) != QtText(ModeSet)) return;
  const std::uint32_t stepped =
      SteppedCellValue(TextBytes(panel.Caption(cell)), TextBytes(panel.Value(cell)), step);
  panel.ShowValue(cell, QString::number(stepped));
  btnClick(cell);
}

void PanelActions::boxMouseDown(const PanelCell& cell) { registerDialog.ShowWithInit(panel, cell); }
