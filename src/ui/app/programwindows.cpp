#include "app/programwindows.h"

#include "app/about.h"
#include "app/mainform.h"
#include "app/splash.h"
#include "capture/capturewindow.h"
#include "capture/chartoptions.h"
#include "link/frameplacement.h"
#include "link/portdialog.h"
#include "link/debugwindow.h"
#include "panel/registerdialog.h"
#include "platform/messages.h"
#include "platform/uitext.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QMessageBox>

namespace {

// What one window tells another: the capture keeps the link check off while
// it holds the port, shows its byte count in the debug window, and keeps the
// user's layout when a run fails beyond repair; the port's warnings go to the
// debug window.
void Connect() {
  formComPort->ComPort->Warn = [](const std::string& text) {
    formDebug->mmDebug->appendPlainText(QtText(text));
  };
  QObject::connect(formChart, &TformChart::AcquiringChanged, formDebug,
                   [](bool acquiring) { formDebug->btnCheck->setEnabled(!acquiring); });
  QObject::connect(formChart, &TformChart::BytesReceived, formDebug,
                   [](int count) { formDebug->edRxCnt->setText(QString::number(count)); });
  formChart->SetLayoutSaver([] { formMain->SaveLayout(); });
}

}  // namespace

void CreateWindows(const LayoutFiles& layoutFiles) {
  formMain = new TformMain(layoutFiles);
  formComPort = new TformComPort(formMain->StoredBaudRate(), formMain->NetPorts());
  formChart = new TformChart(*formComPort->ComPort);
  formMSPI = new TformMSPI;
  formChartOptions = new TformChartOptions;
  formAbout = new TformAbout;
  formDebug = new TformDebug;
  formSplash = new TformSplash;
  Connect();
}

void DestroyWindows() {
  delete formSplash;
  delete formDebug;
  delete formAbout;
  delete formChartOptions;
  delete formMSPI;
  delete formChart;
  delete formComPort;
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
    StandAboveStayOnTopWindows(&box);
    box.exec();
  });
}
