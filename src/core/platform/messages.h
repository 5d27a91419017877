#pragma once
// The one way the program shows a message box. Windows install a presenter
// that opens a real modal box; tests install one that records what would be
// shown, in order, so that nothing blocks.
#include <functional>
#include <string>

enum class BoxIcon { None, Error };

struct MessageBoxRequest {
  std::string text;
  std::string caption;
  BoxIcon icon = BoxIcon::None;
};

using MessageBoxPresenter = std::function<void(const MessageBoxRequest&)>;

// The application title: caption of the standard error box.
inline constexpr const char* ApplicationTitle = "Velkor Tarnwick";

// Installs the presenter and returns the one it replaces.
MessageBoxPresenter SetMessageBoxPresenter(MessageBoxPresenter presenter);

// A plain modal box with an OK button ("Port is busy" / "Port error").
void ShowMessage(const std::string& text, const std::string& caption);

// The standard error box: application title, error icon, OK, full-stop rule.
void ShowErrorBox(const std::string& message);

// A full stop is added when the message is not empty and its last character
// sorts after ".".
std::string WithFullStop(const std::string& message);

// The boundary of every event handler: an exception that leaves the handler
// ends its action and is shown in the standard error box; the program goes on.
template <class Handler>
void RunHandler(Handler&& handler) noexcept {
  try {
    handler();
  } catch (const std::exception& error) {
    ShowErrorBox(error.what());
  } catch (...) {
    ShowErrorBox("");
  }
}
