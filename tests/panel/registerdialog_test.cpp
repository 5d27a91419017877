// The register dialog on real panel cells: what it shows for a cell, what OK
// writes back, and the ways of leaving it without a change.
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/mainform.h"
#include "panel/registerdialog.h"
#include "panel_fixture.h"

namespace {

class MspiDialog : public PanelTest {
 protected:
  void SetUp() override {
    PanelTest::SetUp();
    // Cell 13 keeps its fresh caption "15 | noname" and mode "set".
    LoadFrom("[BOXES]\nboxDynamic11=64 | TX | GAIN\nboxDynamic12=noname\n"
             "[BUTTONS]\nbtnDynamic11=get_u\nbtnDynamic12=get_s\n");
  }

  // Opens the dialog for the cell through ShowWithInit and runs the action
  // while it is open; the title-bar close box ends what the action left open.
  static void WhileOpen(const char* suffix, const std::function<void(TformMSPI&)>& action) {
    bool ran = false;
    QTimer::singleShot(0, [&] {
      ran = true;
      EXPECT_EQ(QApplication::activeModalWidget(), formMSPI);
      action(*formMSPI);
      if (formMSPI->isVisible()) formMSPI->close();
    });
    formMSPI->ShowWithInit(*formMain->Panel, CellOf(suffix));
    EXPECT_TRUE(ran);
    EXPECT_FALSE(formMSPI->isVisible());
  }

  static PanelCell CellOf(const std::string& suffix) {
    for (const PanelCell& cell : AllPanelCells())
      if (cell.CellSuffix() == suffix) return cell;
    throw std::logic_error("no cell " + suffix);
  }

  static void Click(QWidget* control) { QTest::mouseClick(control, Qt::LeftButton); }

  // The box caption, then the button caption.
  static QStringList CellCaptions(const char* suffix) {
    return {CellBox(suffix)->title(), CellButton(suffix)->text()};
  }
};

}  // namespace

TEST_F(MspiDialog, ShowsTheAddressBeforeTheFirstSeparatorAndOkWritesTheCaptionBack) {
  WhileOpen("11", [](TformMSPI& dialog) {
    EXPECT_EQ(dialog.windowTitle(), "Set MSPI");
    EXPECT_EQ(dialog.edAddress->text(), "64");
    EXPECT_EQ(dialog.edName->text(), "TX | GAIN");
    EXPECT_EQ(dialog.focusWidget(), dialog.edName);
    Click(dialog.btnOK);
    EXPECT_FALSE(dialog.isVisible());
  });
  EXPECT_EQ(CellCaptions("11"), QStringList({"64 | TX | GAIN", "get_u"}));
  EXPECT_EQ(CellEdit("11")->text(), "0");
  EXPECT_EQ(formMSPI->SelectedCell.CellSuffix(), "11");
}

TEST_F(MspiDialog, ACaptionWithoutSeparatorIsAllNameAndComesBackBehindAnEmptyAddress) {
  WhileOpen("12", [](TformMSPI& dialog) {
    EXPECT_EQ(dialog.edAddress->text(), "");
    EXPECT_EQ(dialog.edName->text(), "noname");
    Click(dialog.btnOK);
  });
  EXPECT_EQ(CellBox("12")->title(), " | noname");
}

TEST_F(MspiDialog, TypedTextsAreWrittenVerbatimEvenWhenEmptyOrNoNumber) {
  const auto typeAndApply = [](const char* address, const char* name) {
    WhileOpen("13", [&](TformMSPI& dialog) {
      dialog.edAddress->setText(address);
      dialog.edName->setText(name);
      Click(dialog.btnOK);
    });
    return CellBox("13")->title();
  };
  EXPECT_EQ(typeAndApply("15", ""), "15 | ");
  EXPECT_EQ(typeAndApply("", "RX"), " | RX");
  EXPECT_EQ(typeAndApply(" 0x1G ", " a | b "), " 0x1G  |  a | b ");
  EXPECT_TRUE(boxes.empty());
}

TEST_F(MspiDialog, TheCheckBoxesShowTheButtonsAccessMode) {
  struct Case {
    const char* mode;
    bool read, signedShown, signedChecked;
  };
  // Each opening starts from the cell, not from what the last one left.
  for (const Case& c : {Case{"get_s", true, true, true}, Case{"set", false, false, false},
                        Case{"get_u", true, true, false}, Case{"get_s", true, true, true},
                        Case{"get", true, true, false}}) {
    CellButton("13")->setText(c.mode);
    WhileOpen("13", [&](TformMSPI& dialog) {
      EXPECT_EQ(dialog.cbType->isChecked(), c.read) << c.mode;
      EXPECT_EQ(dialog.cbSigned->isVisible(), c.signedShown) << c.mode;
      EXPECT_EQ(dialog.cbSigned->isChecked(), c.signedChecked) << c.mode;
    });
    EXPECT_EQ(CellButton("13")->text(), c.mode) << "closing changes nothing";
  }
}

TEST_F(MspiDialog, OkWritesTheAccessModeTheCheckBoxesSay) {
  WhileOpen("13", [](TformMSPI& dialog) {
    Click(dialog.cbType);
    EXPECT_TRUE(dialog.cbSigned->isVisible());
    EXPECT_FALSE(dialog.cbSigned->isChecked());
    Click(dialog.btnOK);
  });
  EXPECT_EQ(CellButton("13")->text(), "get_u");

  WhileOpen("13", [](TformMSPI& dialog) {
    Click(dialog.cbSigned);
    Click(dialog.cbType);
    EXPECT_FALSE(dialog.cbSigned->isVisible());
    Click(dialog.btnOK);
  });
  EXPECT_EQ(CellButton("13")->text(), "set") << "a hidden Signed counts for nothing";
}

TEST_F(MspiDialog, SignedComesBackAsItWasWhenReadIsCheckedAgain) {
  WhileOpen("11", [](TformMSPI& dialog) {
    Click(dialog.cbSigned);
    Click(dialog.cbType);
    Click(dialog.cbType);
    EXPECT_TRUE(dialog.cbSigned->isVisible());
    EXPECT_TRUE(dialog.cbSigned->isChecked());
    Click(dialog.btnOK);
  });
  EXPECT_EQ(CellButton("11")->text(), "get_s");
}

TEST_F(MspiDialog, EscapeFromAnyControlAndTheCloseBoxLeaveTheCellUnchanged) {
  const auto before = CellCaptions("11");
  const auto editEverything = [](TformMSPI& dialog) {
    QTest::keyClick(dialog.edName, Qt::Key_End);  // the focus came with the text selected
    QTest::keyClicks(dialog.edName, "X");
    EXPECT_EQ(dialog.edName->text(), "TX | GAINX") << "the dialog passes other keys on";
    dialog.edAddress->setText("7");
    Click(dialog.cbSigned);
  };
  const TformMSPI& dialog = *formMSPI;
  for (QWidget* control :
       std::vector<QWidget*>{dialog.edName, dialog.edAddress, dialog.btnOK, dialog.cbType, dialog.cbSigned}) {
    WhileOpen("11", [&](TformMSPI& open) {
      editEverything(open);
      control->setFocus();
      QTest::keyClick(control, Qt::Key_Escape);
      EXPECT_FALSE(open.isVisible()) << control->objectName().toStdString();
    });
    EXPECT_EQ(CellCaptions("11"), before);
  }
  WhileOpen("11", editEverything);  // then the close box
  EXPECT_EQ(CellCaptions("11"), before);
}

TEST_F(MspiDialog, EnterAppliesWhenReleasedInAFieldNotWhenPressed) {
  struct Case {
    QLineEdit* TformMSPI::*field;
    Qt::Key key;
  };
  // Return of the main keys, Enter of the keypad.
  for (const Case& c :
       {Case{&TformMSPI::edAddress, Qt::Key_Return}, Case{&TformMSPI::edName, Qt::Key_Enter}}) {
    WhileOpen("13", [&](TformMSPI& dialog) {
      QLineEdit* field = dialog.*c.field;
      dialog.edName->setText("RX");
      Click(dialog.cbType);
      field->setFocus();
      QTest::keyPress(field, c.key);
      QKeyEvent heldDown(QEvent::KeyRelease, c.key, Qt::NoModifier, "\r", true);
      QApplication::sendEvent(field, &heldDown);
      EXPECT_TRUE(dialog.isVisible());
      EXPECT_EQ(CellCaptions("13"), QStringList({"15 | noname", "set"}));
      QTest::keyRelease(field, c.key);
      EXPECT_FALSE(dialog.isVisible());
    });
    EXPECT_EQ(CellCaptions("13"), QStringList({"15 | RX", "get_u"}));
    CellBox("13")->setTitle("15 | noname");
    CellButton("13")->setText("set");
  }
}

TEST_F(MspiDialog, ANewCaptionKeepsTheBoxsFace) {
  for (const char* suffix : {"13", "11"}) {
    const QString face = CellBox(suffix)->font().family();
    WhileOpen(suffix, [](TformMSPI& dialog) {
      dialog.edName->setText("RENAMED");
      Click(dialog.btnOK);
    });
    EXPECT_TRUE(CellBox(suffix)->title().endsWith(" | RENAMED"));
    EXPECT_EQ(CellBox(suffix)->font().family(), face);
  }
  EXPECT_EQ(CellBox("13")->font().family(), "Arial");
}
