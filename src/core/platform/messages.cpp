#include "platform/messages.h"

#include <cstdio>
#include <utility>

namespace {

// Without a window system (the core's own tests, a console build) a box can
// only be written out.
void PrintBox(const MessageBoxRequest& box) {
  std::fprintf(stderr, "[%s] %s\n", box.caption.c_str(), box.text.c_str());
}

MessageBoxPresenter& Presenter() {
  static MessageBoxPresenter presenter = PrintBox;
  return presenter;
}

}  // namespace

MessageBoxPresenter SetMessageBoxPresenter(MessageBoxPresenter presenter) {
  return std::exchange(Presenter(), std::move(presenter));
}

void ShowMessage(const std::string& text, const std::string& caption) {
  Presenter()({text, caption, BoxIcon::None});
}

void ShowErrorBox(const std::string& message) {
  Presenter()({WithFullStop(message), ApplicationTitle, BoxIcon::Error});
}

std::string WithFullStop(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
    return message + ".";
  return message;
}
