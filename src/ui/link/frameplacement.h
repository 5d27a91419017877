#pragma once
// Placing a top-level window by its outer frame: the positions and sizes our
// windows are given are those of the frame, as the user sees the window. The
// desktop adds the frame only once the window is on screen, so the window is
// placed at once by what is known and again when it is first exposed; after
// that it stays wherever the user puts it, across hiding and showing.
// Whatever a window asks for, its frame is kept inside the screen's available
// area (the screen less the desktop's panels): a window larger than that is
// shrunk to it, one reaching beyond it is moved in. On a small or scaled
// screen a window's edges, title bar and close box stay reachable.
#include <QRect>
#include <functional>

class QWidget;

// The wanted frame rectangle, given the window's frame size at its present
// client size.
using FramePlacer = std::function<QRect(QSize frame)>;

void PlaceFrame(QWidget* window, FramePlacer placer);

// Centred horizontally on the primary screen, with its top the given number
// of frame heights above the screen's middle line.
FramePlacer CentredAboveMiddle(int heights);

// Beside the other window's frame, tops level: on its right, or on its left
// where the right has no room.
FramePlacer Beside(const QWidget* other);

// The capture and debug windows stay on top; a modal window opened beneath
// them would be hidden while it takes every click, and the tool would seem
// hung. Set before the window is first shown, it opens in their layer and
// stands above them for as long as it is open.
void StandAboveStayOnTopWindows(QWidget* modal);

// Only kept inside the available area: where the window already is or the
// desktop puts it, and as large as it was made, wherever that fits.
void KeepOnScreen(QWidget* window);

// The frame moved and, where it must, shrunk into the area.
QRect FittedInto(QRect frame, QRect area);
