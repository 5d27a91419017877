#include "app/about.h"

#include "app/logo.h"
#include "app/mainform.h"
#include "link/frameplacement.h"
#include "platform/messages.h"

#include <QDesktopServices>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QUrl>

TformAbout* formAbout = nullptr;

namespace {

// Each label is centred on the panel by its own width, so that it stays
// centred in whatever font the desktop has.
QLabel* CentredLabel(QWidget* panel, int top, const QString& text) {
  auto* label = new QLabel(text, panel);
  label->setAlignment(Qt::AlignCenter);
  label->adjustSize();
  label->move((panel->width() - label->width()) / 2, top);
  return label;
}

}  // namespace

TformAbout::TformAbout() {
  setWindowTitle("About");
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  StandAboveStayOnTopWindows(this);
  setFixedSize(280, 208);

  pnMain = new QFrame(this);
  pnMain->setGeometry(5, 2, 270, 159);
  pnMain->setFrameStyle(QFrame::Panel | QFrame::Raised);
  imgLogo = new QLabel(pnMain);
  imgLogo->setGeometry(7, 8, 249, 49);
  imgLogo->setAlignment(Qt::AlignCenter);
  imgLogo->setPixmap(TarnwickLogo());
  lbLabel1 = CentredLabel(pnMain, 64, "Product Name : Tarnwick");
  lbRevision = CentredLabel(pnMain, 80,
                            "Software Version : " + formMain->Version + " (build " +
                                QString::number(formMain->Build) + ")");
  lbNotice1 = CentredLabel(pnMain, 96, "Velkor Instruments");
  lbNotice2 = CentredLabel(pnMain, 112, "Bench register and capture tool");
  lbLink = CentredLabel(pnMain, 130, MakerSite);
  QFont linkFont = lbLink->font();
  linkFont.setPixelSize(12);
  lbLink->setFont(linkFont);
  lbLink->adjustSize();
  lbLink->move((pnMain->width() - lbLink->width()) / 2, 130);
  lbLink->setStyleSheet("color: blue;");
  lbLink->setCursor(Qt::PointingHandCursor);
  lbLink->installEventFilter(this);

  btnOK = new QPushButton("OK", this);
  btnOK->setGeometry(100, 175, 75, 25);
  connect(btnOK, &QPushButton::clicked, this, [this] { RunHandler([this] { btnOKClick(); }); });

  PlaceFrame(this, CentredAboveMiddle(1));
}

bool TformAbout::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lbLink && event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
    RunHandler([this] { lbLinkClick(); });
  return QDialog::eventFilter(watched, event);
}

// The desktop's default browser opens the page; a failure is not reported.
void TformAbout::lbLinkClick() { QDesktopServices::openUrl(QUrl(MakerAddress)); }

void TformAbout::btnOKClick() { close(); }
