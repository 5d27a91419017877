// A long session in one process: Run passes of the capture window and panel
// register reads against the virtual board, with the resident memory after a
// warm-up and after each phase. A leak shows as growth; the target is under
// 1 MB. Usage: soak [--passes N] [--reads N]   (10000 each by default; a read
// takes its 100 ms answer wait, so 10000 reads take about 17 minutes).
#include <QApplication>
#include <QLineEdit>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/mainform.h"
#include "app/programwindows.h"
#include "board/ptyboard.h"
#include "capture/capturewindow.h"
#include "link/comport.h"
#include "link/portdialog.h"
#include "link/registercommand.h"
#include "panel/cellcommand.h"
#include "platform/messages.h"

namespace {

long ResidentKilobytes() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  return -1;
}

// One run of the capture window, stopped once the board has answered this
// many capture requests (8 bytes each; the record is emptied as it goes so
// that the board's own memory does not grow).
void RunPasses(PtyBoard& board, long passes) {
  long counted = 0;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    counted += static_cast<long>(board.Received().size() / 8);
    board.ClearReceived();
    if (counted >= passes) formChart->nnStopClick();
  });
  watch.start(5);
  formChart->nnRunClick();
}

void ReadRegisters(PtyBoard& board, long reads) {
  QLineEdit target;
  for (long i = 0; i < reads; ++i) {
    const CellCommand read{CommandRead, static_cast<std::uint32_t>(i % 100), 0, "get_u"};
    if (const auto text = CarryOutCellCommand(*formComPort->ComPort, read, false))
      target.setText(QString::fromStdString(*text));
    board.ClearReceived();
  }
}

long Option(int argc, char** argv, const char* name, long fallback) {
  for (int i = 1; i + 1 < argc; ++i)
    if (std::strcmp(argv[i], name) == 0) return std::atol(argv[i + 1]);
  return fallback;
}

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication application(argc, argv);
  std::setvbuf(stdout, nullptr, _IOLBF, 0);  // each figure as soon as it is known
  const long passes = Option(argc, argv, "--passes", 10000);
  const long reads = Option(argc, argv, "--reads", 10000);

  long boxes = 0;
  SetMessageBoxPresenter([&](const MessageBoxRequest& box) {
    ++boxes;
    std::fprintf(stderr, "[%s] %s\n", box.caption.c_str(), box.text.c_str());
  });
  const auto folder = std::filesystem::temp_directory_path() / ("tarnwick-soak-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  const std::string layout = (folder / "tarnwick.ini").string();
  CreateWindows({layout, layout});
  formMain->LoadLayout();
  formChart->resize(1600, 900);
  formChart->show();
  PtyBoard board;
  formComPort->ComPort->PortName = board.PortPath();

  RunPasses(board, 100);  // caches, fonts and buffers settle first
  ReadRegisters(board, 10);
  const long start = ResidentKilobytes();
  std::printf("resident after warm-up: %ld kB\n", start);
  RunPasses(board, passes);
  const long afterPasses = ResidentKilobytes();
  std::printf("after %ld Run passes: %ld kB (%+ld kB)\n", passes, afterPasses, afterPasses - start);
  ReadRegisters(board, reads);
  const long end = ResidentKilobytes();
  std::printf("after %ld register reads: %ld kB (%+ld kB)\n", reads, end, end - afterPasses);
  std::printf("growth: %+ld kB, message boxes: %ld\n", end - start, boxes);

  DestroyWindows();
  std::filesystem::remove_all(folder);
  return boxes == 0 && end - start < 1024 ? 0 : 1;
}
