// The 288 controls of the panel: names, places, stacking, focus, faces and
// the controls of each cell.
#include <QFontInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

#include "app/mainform.h"
#include "panel/registerpanel.h"
#include "panel_fixture.h"

namespace {

QWidget* Panel() { return formMain->Panel; }

QStringList NamesOf(const QObjectList& objects) {
  QStringList names;
  for (const QObject* object : objects) names << object->objectName();
  return names;
}

}  // namespace

TEST_F(PanelTest, CellsLieOnTheClientAreaAtTheirPlaces) {
  formMain->LoadLayout();
  struct Case {
    const char* suffix;
    QRect box, button, edit;
  };
  for (const Case& c : {Case{"00", {10, 10, 145, 44}, {95, 28, 50, 20}, {15, 28, 70, 20}},
                        Case{"111", {156, 505, 145, 44}, {241, 523, 50, 20}, {161, 523, 70, 20}},
                        Case{"711", {1032, 505, 145, 44}, {1117, 523, 50, 20}, {1037, 523, 70, 20}}}) {
    EXPECT_EQ(CellBox(c.suffix)->geometry(), c.box) << c.suffix;
    EXPECT_EQ(CellButton(c.suffix)->geometry(), c.button) << c.suffix;
    EXPECT_EQ(CellEdit(c.suffix)->geometry(), c.edit) << c.suffix;
    EXPECT_EQ(CellBox(c.suffix)->parentWidget(), Panel());
    EXPECT_EQ(CellButton(c.suffix)->parentWidget(), Panel());
    EXPECT_EQ(CellEdit(c.suffix)->parentWidget(), Panel());
  }
}

TEST_F(PanelTest, ControlsStackAndTakeTheFocusInCreationOrder) {
  formMain->LoadLayout();
  QStringList created, visited;
  for (const PanelCell& cell : AllPanelCells()) {
    const QString suffix = QString::fromStdString(cell.CellSuffix());
    created << "boxDynamic" + suffix << "btnDynamic" + suffix << "edtDynamic" + suffix;
    visited << "btnDynamic" + suffix << "edtDynamic" + suffix;
    EXPECT_EQ(CellBox(cell.CellSuffix())->focusPolicy(), Qt::NoFocus);
  }
  // Later children lie above earlier ones.
  EXPECT_EQ(NamesOf(Panel()->children()), created);

  QStringList chain;
  QWidget* widget = CellButton("00");
  do {
    if (widget->parentWidget() == Panel() && (widget->focusPolicy() & Qt::TabFocus))
      chain << widget->objectName();
    widget = widget->nextInFocusChain();
  } while (widget != CellButton("00"));
  EXPECT_EQ(chain, visited);
}

TEST_F(PanelTest, StartUpLoadsThePanelFromTheWindowsLayoutFileAndClicksReachTheTopControl) {
  WriteLayout("[BOXES]\nboxDynamic11=64 | TXGAIN\n");
  ModalWatcher watcher;  // closes the port dialog and the splash
  formMain->show();
  ASSERT_TRUE(WaitUntil([] { return Panel() && Panel()->isVisible(); }, 5000));
  QGroupBox* box = CellBox("11");
  EXPECT_EQ(box->title(), "64 | TXGAIN");
  const QPoint corner = box->mapTo(formMain, QPoint(0, 0));
  EXPECT_EQ(formMain->childAt(corner + QPoint(90, 25)), CellButton("11"));
  EXPECT_EQ(formMain->childAt(corner + QPoint(10, 25)), CellEdit("11"));
  EXPECT_EQ(formMain->childAt(corner + QPoint(80, 25)), box);  // between field and button
}

TEST_F(PanelTest, EachCellsControlsAreTheOnesNamedAfterIt) {
  formMain->LoadLayout();
  const RegisterPanel& panel = *formMain->Panel;
  for (const PanelCell& cell : {PanelCell{1, 1}, PanelCell{1, 11}, PanelCell{0, 11}, PanelCell{0, 0}}) {
    const std::string suffix = cell.CellSuffix();
    EXPECT_EQ(panel.Box(cell), CellBox(suffix));
    EXPECT_EQ(panel.Button(cell), CellButton(suffix));
    EXPECT_EQ(panel.Edit(cell), CellEdit(suffix));
  }
}

TEST_F(PanelTest, ABoxDiffersInAHeavierFaceWhenItsCaptionIsNotTheFreshOne) {
  LoadFrom("[BOXES]\nboxDynamic00=64 | TXGAIN\nboxDynamic01=1 | noname\nboxDynamic11=13 | NONAME\n"
           "boxDynamic13=13 | noname\n");
  const QFont fresh = CellBox("01")->font();
  EXPECT_EQ(fresh.family(), "Arial");
  EXPECT_EQ(fresh.pointSize(), 8);
  EXPECT_EQ(CellBox("10")->font().family(), "Arial");
  for (const char* changed : {"00", "11", "13"}) {
    const QFont font = CellBox(changed)->font();
    EXPECT_EQ(font.family(), "Arial Black") << changed;
    EXPECT_EQ(font.pointSize(), 8);
    EXPECT_GT(QFontInfo(font).weight(), QFontInfo(fresh).weight()) << "the heavier face must show";
  }
  EXPECT_EQ(formMain->font().pointSize(), 8);
  EXPECT_EQ(CellButton("00")->font(), formMain->font());
  EXPECT_EQ(CellEdit("00")->font(), formMain->font());
}
