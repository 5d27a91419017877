// Entry of every test binary that needs a QApplication. Test discovery runs
// the binary without ctest's environment, so offscreen is chosen here when
// nothing else was asked for. The offscreen screen is the 1600 x 900 of the
// machines the program is used on rather than the platform's own 800 x 600,
// so that windows made for that screen are tested where they fit. A binary
// built with TARNWICK_TEST_SCALE runs at that scale factor, as on a HiDPI
// laptop; it can only be set before the application exists.
#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
  const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
  if (platform.isEmpty() || platform == "offscreen")
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + TARNWICK_TEST_SCREEN);
#ifdef TARNWICK_TEST_SCALE
  qputenv("QT_SCALE_FACTOR", TARNWICK_TEST_SCALE);
#endif
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
