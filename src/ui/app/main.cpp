// Program entry: --version and --help answer alone; otherwise every window
// once, in order, then the message loop.
#include "app/mainform.h"
#include "app/options.h"
#include "app/programwindows.h"
#include "platform/messages.h"
#include "platform/paths.h"

#include <QApplication>
#include <iostream>

int main(int argc, char** argv) {
  if (const auto answer = OwnOptionAnswer({argv + 1, argv + argc})) {
    std::cout << *answer;
    return 0;
  }
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
