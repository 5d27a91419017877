#include "link/frameplacement.h"

#include "platform/placement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>
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
    // minimised (a spontaneous show) is not a showing. A show event sent to
    // a window never shown has no toolkit window yet: nothing to watch.
    if (watched == window && event->type() == QEvent::Show && !event->spontaneous() && window->windowHandle())
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
  // resize() sets the client size, move() the frame's top-left corner. A
  // window already where it should be is left alone, so that one that fits
  // keeps its geometry exactly as it was made.
  void Place() {
    const QSize frame = window->frameGeometry().size();
    const QRect wanted = FittedInto(placer(frame), window->screen()->availableGeometry());
    if (wanted == window->frameGeometry()) return;
    window->resize(wanted.size() - (frame - window->size()));
    window->move(wanted.topLeft());
  }

  QWidget* window;
  FramePlacer placer;
};

}  // namespace

void PlaceFrame(QWidget* window, FramePlacer placer) { new FramePlacement(window, std::move(placer)); }

QRect FittedInto(QRect frame, QRect area) {
  const QSize size = frame.size().boundedTo(area.size());
  const int left = std::clamp(frame.left(), area.left(), area.right() + 1 - size.width());
  const int top = std::clamp(frame.top(), area.top(), area.bottom() + 1 - size.height());
  return QRect(QPoint(left, top), size);
}

void KeepOnScreen(QWidget* window) {
  PlaceFrame(window, [window](QSize frame) { return QRect(window->frameGeometry().topLeft(), frame); });
}

FramePlacer Beside(const QWidget* other) {
  return [other](QSize frame) {
    const QRect by = other->frameGeometry();
    const QRect area = other->screen()->availableGeometry();
    const bool roomOnRight = by.right() + frame.width() <= area.right();
    return QRect(QPoint(roomOnRight ? by.right() + 1 : by.left() - frame.width(), by.top()), frame);
  };
}

FramePlacer CentredAboveMiddle(int heights) {
  return [heights](QSize frame) {
    const QSize screen = QGuiApplication::primaryScreen()->size();
    const auto [left, top] =
        CentredAbove(screen.width(), screen.height(), frame.width(), frame.height(), heights);
    return QRect(QPoint(left, top), frame);
  };
}

void StandAboveStayOnTopWindows(QWidget* modal) { modal->setWindowFlag(Qt::WindowStaysOnTopHint); }
