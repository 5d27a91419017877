#include "link/frameplacement.h"

#include "platform/placement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <utility>

namespace {

// Lives with its window until the window's first exposure, the first moment
// the frame is known.
class FramePlacement : public QObject {
 public:
  FramePlacement(QWidget* window, FramePlacer placer)
      : QObject(window), window(window), placer(std::move(placer)) {
    Place();
    window->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    // The toolkit's window exists from the first showing on; a restore from
    // minimised (a spontaneous show) is not a showing.
    if (watched == window && event->type() == QEvent::Show && !event->spontaneous())
      window->windowHandle()->installEventFilter(this);
    if (watched == window->windowHandle() && event->type() == QEvent::Expose &&
        window->windowHandle()->isExposed()) {
      Place();
      window->removeEventFilter(this);
      watched->removeEventFilter(this);
      deleteLater();
    }
    return false;
  }

 private:
  // resize() sets the client size, move() the frame's top-left corner.
  void Place() {
    const QSize frame = window->frameGeometry().size();
    const QRect wanted = placer(frame);
    window->resize(wanted.size() - (frame - window->size()));
    window->move(wanted.topLeft());
  }

  QWidget* window;
  FramePlacer placer;
};

}  // namespace

void PlaceFrame(QWidget* window, FramePlacer placer) { new FramePlacement(window, std::move(placer)); }

FramePlacer CentredAboveMiddle(int heights) {
  return [heights](QSize frame) {
    const QSize screen = QGuiApplication::primaryScreen()->size();
    const auto [left, top] =
        CentredAbove(screen.width(), screen.height(), frame.width(), frame.height(), heights);
    return QRect(QPoint(left, top), frame);
  };
}

void StandAboveStayOnTopWindows(QWidget* modal) { modal->setWindowFlag(Qt::WindowStaysOnTopHint); }
