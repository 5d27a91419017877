#pragma once
// The about box: logo, product name, version with build number, the maker's link.
#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

class TformAbout : public QDialog {
  Q_OBJECT
 public:
  TformAbout();

  QFrame* pnMain;
  QLabel* imgLogo;
  QLabel* lbLabel1;
  QLabel* lbRevision;
  QLabel* lbNotice1;
  QLabel* lbNotice2;
  QLabel* lbLink;
  QPushButton* btnOK;

  void lbLinkClick();
  void btnOKClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

// The maker's page, opened by the link, and how the link reads.
inline constexpr const char* MakerAddress = "https://www.example.com/";
inline constexpr const char* MakerSite = "www.example.com";

extern TformAbout* formAbout;
