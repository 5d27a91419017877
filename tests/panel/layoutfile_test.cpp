// LoadLayout and SaveLayout on the program's windows: what the panel and
// the chart show after a load, and what a save leaves in the file.
#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>

#include "app/programwindows.h"
#include "capture/capturewindow.h"
#include "capture/chartoptions.h"
#include "chart/chart.h"
#include "panel_fixture.h"

TEST_F(PanelTest, WithoutAFileThePanelIsFreshAndASaveWritesOnlyTheSettings) {
  formMain->LoadLayout();
  for (const PanelCell& cell : AllPanelCells()) {
    const std::string suffix = cell.CellSuffix();
    EXPECT_EQ(CellBox(suffix)->title().toStdString(), cell.FreshCaption());
    EXPECT_EQ(CellBox(suffix)->font().family(), "Arial");
    EXPECT_EQ(CellButton(suffix)->text(), "set");
    EXPECT_EQ(CellEdit(suffix)->text(), "0");
  }
  TChart& chart = *formChart->Chart;
  EXPECT_EQ(chart.LeftAxis().Minimum(), -10000);
  EXPECT_EQ(chart.LeftAxis().Maximum(), 10000);
  EXPECT_EQ(chart.BottomAxis().Minimum(), -10000);
  EXPECT_EQ(chart.BottomAxis().Maximum(), 10000);
  EXPECT_EQ(chart.LeftAxis().Title(), "Amp. uV");
  EXPECT_EQ(chart.BottomAxis().Title(), "Time, sample");
  EXPECT_TRUE(formChart->nnGraph1->isChecked() && formChart->nnGraph2->isChecked());
  EXPECT_FALSE(std::filesystem::exists(LayoutFile()));

  EXPECT_EQ(Saved(), "[USB]\nBaudRate=115200\n" + DefaultChart);
}

TEST_F(PanelTest, TheHandWrittenExampleIsSavedByteForByte) {
  // As typed in a text editor, with carriage returns.
  LoadFrom(
      "[USB]\r\nBaudRate=9600\r\n[CHART]\r\nMaxY=2000\r\nSPECTRUM=1\r\n"
      "[BOXES]\r\nboxDynamic00=64 | TXGAIN\r\nboxDynamic11=13 | noname\r\n"
      "[BUTTONS]\r\nbtnDynamic00=get_s\r\nbtnDynamic10=get\r\n[EDITS]\r\nedtDynamic00=-12\r\n");
  EXPECT_EQ(CellBox("00")->title(), "64 | TXGAIN");
  EXPECT_EQ(CellBox("00")->font().family(), "Arial Black");
  EXPECT_EQ(CellBox("11")->font().family(), "Arial");
  EXPECT_EQ(CellButton("00")->text(), "get_s");
  EXPECT_EQ(CellButton("10")->text(), "set");
  EXPECT_EQ(CellEdit("00")->text(), "-12");
  EXPECT_EQ(formChart->Chart->LeftAxis().Maximum(), 2000);
  EXPECT_EQ(formChart->Chart->LeftAxis().Title(), "Power, dB");
  EXPECT_EQ(formChart->Chart->BottomAxis().Title(), "Freq, 1/sample");

  EXPECT_EQ(Saved(),
            "[USB]\nBaudRate=9600\n"
            "[CHART]\nMaxY=2000\nMaxX=10000\nMinY=-10000\nMinX=-10000\nQAM=0\nSPECTRUM=1\nAVG=0\n"
            "FFTCOMPLEX=0\nGRAPH1=1\nGRAPH2=1\nAXIS=0\nFREQ=150\n"
            "[BOXES]\nboxDynamic00=64 | TXGAIN\n"
            "[BUTTONS]\nbtnDynamic00=get_s\n"
            "[EDITS]\nedtDynamic00=-12\n");
}

TEST_F(PanelTest, CellsThatDifferFromFreshOnesAreSavedAndOthersDropped) {
  LoadFrom(
      "[BOXES]\nboxDynamic13=13 | noname\nboxDynamic40=\nboxDynamic80=beyond the grid\n"
      "[BUTTONS]\nbtnDynamic25=get_u\nbtnDynamic01=GET_U\n[EDITS]\nedtDynamic37=5\n");
  EXPECT_EQ(CellBox("13")->font().family(), "Arial Black");  // cell 15 captioned like cell 13
  EXPECT_EQ(CellBox("40")->title(), "");
  EXPECT_EQ(CellBox("40")->font().family(), "Arial Black");
  EXPECT_EQ(CellButton("01")->text(), "set");

  EXPECT_EQ(Saved(),
            "[USB]\nBaudRate=115200\n" + DefaultChart +
                "[BOXES]\nboxDynamic13=13 | noname\nboxDynamic25=29 | noname\nboxDynamic37=43 | noname\n"
                "boxDynamic40=\n"
                "[EDITS]\nedtDynamic13=0\nedtDynamic25=0\nedtDynamic37=5\nedtDynamic40=0\n"
                "[BUTTONS]\nbtnDynamic25=get_u\n");
}

TEST_F(PanelTest, KeysAreFoundWhateverTheirCaseAndRewrittenUnderTheProgramsNames) {
  LoadFrom("[usb]\nBAUDRATE=$2580\n[Chart]\nmaxy=2000\nqam=2\n[boxes]\nBOXDYNAMIC00=64 | TXGAIN\n");
  EXPECT_EQ(CellBox("00")->title(), "64 | TXGAIN");
  EXPECT_TRUE(formChart->Settings().QamMode);
  EXPECT_EQ(Saved(),
            "[USB]\nBaudRate=9600\n"
            "[CHART]\nMaxY=2000\nMaxX=10000\nMinY=-10000\nMinX=-10000\nQAM=1\nSPECTRUM=0\nAVG=0\n"
            "FFTCOMPLEX=0\nGRAPH1=1\nGRAPH2=1\nAXIS=0\nFREQ=150\n"
            "[BOXES]\nboxDynamic00=64 | TXGAIN\n[EDITS]\nedtDynamic00=0\n");
}

TEST_F(PanelTest, LoadingShowsTheSettingsWithoutRunningAnyHandler) {
  WriteLayout("[CHART]\nQAM=1\nAVG=1\nFFTCOMPLEX=1\nGRAPH1=0\nAXIS=1\nFREQ=62.5\nMinX=-0.25\n");
  TformChartOptions& options = *formChartOptions;
  QSignalSpy qam(options.cbQAM, &QCheckBox::toggled);
  QSignalSpy graph1(formChart->nnGraph1, &QAction::toggled);
  QSignalSpy freq(options.edFreq, &QLineEdit::textChanged);
  QSignalSpy minX(options.edMinX, &QLineEdit::textChanged);
  formMain->LoadLayout();
  EXPECT_EQ(qam.count() + graph1.count() + freq.count() + minX.count(), 0);

  EXPECT_TRUE(formChart->Settings().QamMode && options.cbQAM->isChecked());
  EXPECT_FALSE(formChart->Settings().Spectrum || options.cbSpectrum->isChecked());
  EXPECT_TRUE(formChart->Settings().Average && options.cbAverage->isChecked());
  EXPECT_TRUE(formChart->Settings().ComplexFft && options.cbFFTComplex->isChecked());
  EXPECT_FALSE(formChart->Settings().Graph1 || formChart->nnGraph1->isChecked());
  EXPECT_TRUE(formChart->Settings().Graph2 && formChart->nnGraph2->isChecked());
  EXPECT_TRUE(formChart->Settings().RealAxis && options.cbAxis->isChecked());
  EXPECT_EQ(formChart->Settings().FreqMHz, 62.5);
  EXPECT_EQ(options.edFreq->text(), "62.5");
  EXPECT_EQ(options.edMinX->text(), "-0.25");
  EXPECT_EQ(options.edMaxX->text(), "10000");
  EXPECT_EQ(formChart->Chart->BottomAxis().Minimum(), -0.25);
  EXPECT_EQ(formChart->Chart->LeftAxis().Title(), "Amp, uV");  // QAM wins over the real axis
  EXPECT_EQ(formChart->Chart->BottomAxis().Title(), "Amp, uV");
  EXPECT_TRUE(boxes.empty());
}

TEST_F(PanelTest, ARangeWhollyBelowOrAboveTheChartsLoads) {
  LoadFrom("[CHART]\nMaxY=-20000\nMinY=-50000\nMaxX=50000\nMinX=20000\n");
  EXPECT_TRUE(boxes.empty());
  TChart& chart = *formChart->Chart;
  EXPECT_EQ(chart.LeftAxis().Minimum(), -50000);
  EXPECT_EQ(chart.LeftAxis().Maximum(), -20000);
  EXPECT_EQ(chart.BottomAxis().Minimum(), 20000);
  EXPECT_EQ(chart.BottomAxis().Maximum(), 50000);
  EXPECT_EQ(formChartOptions->edMaxY->text(), "-20000");
  EXPECT_EQ(formChartOptions->edMinY->text(), "-50000");
  EXPECT_NE(Saved().find("MaxY=-20000\nMaxX=50000\nMinY=-50000\nMinX=20000\n"), std::string::npos);
}

TEST_F(PanelTest, AnInvertedRangeIsReportedAndTheOtherSettingsStillLoadAndSurviveASave) {
  LoadFrom("[CHART]\nMaxY=5\nMinY=10\nSPECTRUM=1\nFREQ=75\n[BOXES]\nboxDynamic00=64 | TXGAIN\n");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Axis Minimum Value must be <= Maximum.");
  EXPECT_EQ(boxes[0].caption, "Velkor Tarnwick");
  EXPECT_EQ(boxes[0].icon, BoxIcon::Error);
  TChart& chart = *formChart->Chart;
  EXPECT_LE(chart.LeftAxis().Minimum(), chart.LeftAxis().Maximum());
  EXPECT_EQ(chart.BottomAxis().Maximum(), 10000);
  EXPECT_TRUE(formChart->Settings().Spectrum);
  EXPECT_EQ(formChart->Settings().FreqMHz, 75);
  EXPECT_EQ(chart.LeftAxis().Title(), "Power, dB");
  EXPECT_EQ(CellBox("00")->title(), "64 | TXGAIN");
  EXPECT_EQ(formChartOptions->edMaxY->text(), "5");
  EXPECT_EQ(formChartOptions->edMinY->text(), "10");

  const std::string saved = Saved();
  EXPECT_NE(saved.find("MaxY=5\nMaxX=10000\nMinY=10\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("SPECTRUM=1\n"), std::string::npos);
  EXPECT_NE(saved.find("FREQ=75\n"), std::string::npos);
}

TEST_F(PanelTest, ALimitFieldThatIsNotANumberStopsTheSaveBeforeTheFileChanges) {
  const std::string before = "[USB]\r\nBaudRate=9600\r\n[TAGS]\r\nt=1\r\n[BOXES]\r\nboxDynamic00=64 | A\r\n";
  LoadFrom(before);
  formChartOptions->edMinX->setText("1,5,5");
  RunHandler([] { formMain->SaveLayout(); });
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "'1.5,5' is not a valid floating point value.");
  EXPECT_EQ(FileBytes(), before);

  formChartOptions->edMinX->setText("1,5");  // a comma counts as the decimal separator
  EXPECT_NE(Saved().find("MinX=1.5\n"), std::string::npos);
}

TEST_F(PanelTest, AFileThatCannotBeWrittenIsReportedAndKeptWhole) {
  const std::string before = "[USB]\nBaudRate=9600\n[BOXES]\nboxDynamic00=64 | A\n";
  LoadFrom(before);
  CellEdit("00")->setText("7");
  // Something in the way of the new file beside the old one.
  std::filesystem::create_directory(LayoutFile() + ".saving");
  RunHandler([] { formMain->SaveLayout(); });
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Unable to write to " + LayoutFile() + ".");
  EXPECT_EQ(FileBytes(), before);
  EXPECT_EQ(CellEdit("00")->text(), "7");
}

TEST_F(PanelTest, ABrokenFileLoadsWhatItCanAndKeepsItsBytes) {
  // Garbage lines, NUL and high bytes, a line far beyond any value's length,
  // and a caption without a separator.
  const std::string longLine(100000, 'x');
  // An 8-bit text that is no UTF-8 is read byte for byte as Latin-1.
  const std::string caption = "71 | caf\xE9 \x01\x7F";
  const char binary[] = "\x89PNG\r\n\x1A\n\0\0garbage\n[BOXES\n";
  LoadFrom(std::string(binary, sizeof binary - 1) + "[BOXES]\nboxDynamic00=" + caption +
           "\nboxDynamic01=noname\nboxDynamic02=" + longLine + "\n[OTHER]\n" + longLine + "=\xFF\n");
  EXPECT_EQ(CellBox("00")->title(), QString::fromLatin1(caption));
  EXPECT_EQ(CellBox("01")->title(), "noname");
  EXPECT_EQ(CellBox("02")->title().size(), 2047);

  const std::string saved = Saved();
  EXPECT_NE(saved.find("boxDynamic00=71 | caf\xC3\xA9 \x01\x7F\n"), std::string::npos);
  EXPECT_NE(saved.find("[OTHER]\n" + longLine + "=\xFF\n"), std::string::npos);
  EXPECT_EQ(saved.find('\r'), std::string::npos);
}

TEST_F(PanelTest, TextsBeyondLatin1SurviveASaveAndALoad) {
  LoadFrom("[BOXES]\nboxDynamic00=7 | \xCE\xA9-Gain \xE2\x82\xAC\n");
  EXPECT_EQ(CellBox("00")->title(), QString::fromUtf8("7 | \u03A9-Gain \u20AC"));
  CellEdit("00")->setText(QString::fromUtf8("\u00B5s"));
  const std::string saved = Saved();
  EXPECT_NE(saved.find("boxDynamic00=7 | \xCE\xA9-Gain \xE2\x82\xAC\n"), std::string::npos);
  EXPECT_NE(saved.find("edtDynamic00=\xC2\xB5s\n"), std::string::npos);
}

TEST_F(PanelTest, AFileThatCannotBeReadIsReportedAndNeverReplaced) {
  std::filesystem::create_directory(LayoutFile());  // a folder in the file's place
  formMain->LoadLayout();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Unable to read " + LayoutFile() + ".");
  EXPECT_EQ(boxes[0].icon, BoxIcon::Error);
  EXPECT_EQ(CellButton("00")->text(), "set");

  // Readable again, the file still holds the user's layout, not the defaults shown.
  std::filesystem::remove(LayoutFile());
  const std::string layout = "[BOXES]\nboxDynamic00=64 | TXGAIN\n";
  WriteLayout(layout);
  RunHandler([] { formMain->SaveLayout(); });
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[1].text, "Unable to write to " + LayoutFile() + ".");
  EXPECT_EQ(FileBytes(), layout);
}

TEST_F(PanelTest, ShippedDefaultsAreReadAndTheFirstSaveWritesTheUsersOwnFile) {
  const std::string shipped = "[USB]\nBaudRate=9600\n[BOXES]\nboxDynamic00=64 | TXGAIN\n";
  WriteLayout(shipped);
  const std::string own = (Folder() / "config" / "tarnwick" / "tarnwick.ini").string();
  DestroyWindows();
  CreateWindows({LayoutFile(), own});
  formMain->LoadLayout();
  EXPECT_EQ(CellBox("00")->title(), "64 | TXGAIN");
  formMain->SaveLayout();
  std::ifstream in(own, std::ios::binary);
  const std::string saved{std::istreambuf_iterator<char>(in), {}};
  EXPECT_EQ(saved.rfind("[USB]\nBaudRate=9600\n", 0), 0u) << saved;  // the shipped rate kept
  EXPECT_NE(saved.find("boxDynamic00=64 | TXGAIN"), std::string::npos);
  EXPECT_EQ(FileBytes(), shipped);  // the shipped file untouched
}
