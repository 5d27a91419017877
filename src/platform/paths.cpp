#include "platform/paths.h"

#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#endif

std::string ExecutablePath() {
#ifdef _WIN32
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return path;
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
