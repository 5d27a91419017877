#include "platform/paths.h"

#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#endif

std::string ExecutablePath() {
#ifdef _WIN32
  // A path that does not fit comes back cut short: ask again with more room.
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) return path.substr(0, length);
    path.resize(path.size() * 2);
  }
#else
  std::error_code error;
  return std::filesystem::read_symlink("/proc/self/exe", error).string();
#endif
}

std::string LayoutFilePathFor(const std::string& executablePath) {
  std::filesystem::path path(executablePath);
  path.replace_extension(".ini");
  return path.string();
}

std::string LayoutFilePath() { return LayoutFilePathFor(ExecutablePath()); }
