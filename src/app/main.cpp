// Program entry: every window once, in order, then the message loop.
#include "app/mainform.h"
#include "app/windows.h"
#include "platform/messages.h"
#include "platform/paths.h"

#include <QApplication>

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  // Closing the main window ends the program; no other window does.
  QApplication::setQuitOnLastWindowClosed(false);
  InstallDesktopMessageBoxes();
  RunHandler([] {
    CreateWindows(LayoutFilesOfThisProgram());
    formMain->showMaximized();
    QApplication::exec();
  });
  DestroyWindows();
  return 0;
}
