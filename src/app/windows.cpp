#include "app/windows.h"

#include "app/about.h"
#include "app/mainform.h"
#include "app/splash.h"
#include "capture/chartmain.h"
#include "capture/chartoptions.h"
#include "link/comportmain.h"
#include "link/debug.h"
#include "panel/mspimain.h"
#include "platform/messages.h"
#include "platform/uitext.h"

#include <QApplication>
#include <QMessageBox>

void CreateWindows(const LayoutFiles& layoutFiles) {
  formMain = new TformMain(layoutFiles);
  formChart = new TformChart;
  formChart->SetLayoutSaver([] { formMain->SaveLayout(); });
  formComPort = new TformComPort(formMain->StoredBaudRate());
  formMSPI = new TformMSPI;
  formChartOptions = new TformChartOptions;
  formAbout = new TformAbout;
  formDebug = new TformDebug;
  formSplash = new TformSplash;
}

void DestroyWindows() {
  delete formSplash;
  delete formDebug;
  delete formAbout;
  delete formChartOptions;
  delete formMSPI;
  delete formComPort;
  delete formChart;
  delete formMain;
  formSplash = nullptr;
  formDebug = nullptr;
  formAbout = nullptr;
  formChartOptions = nullptr;
  formMSPI = nullptr;
  formComPort = nullptr;
  formChart = nullptr;
  formMain = nullptr;
}

void InstallDesktopMessageBoxes() {
  SetMessageBoxPresenter([](const MessageBoxRequest& request) {
    QMessageBox box(request.icon == BoxIcon::Error ? QMessageBox::Critical : QMessageBox::NoIcon,
                    QtText(request.caption), QtText(request.text),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
  });
}
