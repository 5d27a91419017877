#pragma once
// What the panel's cells do when the user works them: a button reads or
// writes its register, Up and Down step a write cell's value and write it, a
// right click on a box opens the register dialog. Commands go out through a
// sender, which holds them back while the capture has the port.
#include <QObject>

#include "panel/panelcell.h"

class CommandSender;
class RegisterPanel;
class TformMSPI;

class PanelActions : public QObject {
  Q_OBJECT
 public:
  // Acts on the panel's cells; the panel must outlive it. Not a child of the
  // panel, whose children are its controls alone.
  PanelActions(RegisterPanel& panel, CommandSender& sender, TformMSPI& registerDialog, QObject* parent);

  void btnClick(const PanelCell& cell);
  void edtKeyDown(const PanelCell& cell, int step);
  void boxMouseDown(const PanelCell& cell);

 private:
  RegisterPanel& panel;
  CommandSender& sender;
  TformMSPI& registerDialog;
};
