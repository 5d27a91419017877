#pragma once
// Where the small windows appear, computed once from the screen size and the
// window's own size; halves are integer divisions.

struct ScreenPoint {
  int left;
  int top;
};

// Horizontally centred, with the window's top edge the given number of window
// heights above the screen's middle line (1: its lower edge on that line).
constexpr ScreenPoint CentredAbove(int screenWidth, int screenHeight, int width, int height,
                                   int heights) {
  return {screenWidth / 2 - width / 2, screenHeight / 2 - heights * height};
}
