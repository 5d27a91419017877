#include "platform/paths.h"

#include <cstdlib>
#include <filesystem>
#include <optional>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

constexpr char LayoutFileName[] = "tarnwick.ini";

// The user's configuration folder, if the environment names one.
std::optional<fs::path> ConfigHome(const LayoutPlace& place) {
  if (fs::path(place.xdgConfigHome).is_absolute()) return place.xdgConfigHome;
  if (!place.home.empty()) return fs::path(place.home) / ".config";
  return std::nullopt;
}

#ifndef _WIN32
std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}
#endif

}  // namespace

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

LayoutFiles LayoutFilesFor(const LayoutPlace& place) {
  const std::string beside = (fs::path(place.programFolder) / LayoutFileName).string();
  const std::optional<fs::path> configHome = ConfigHome(place);
  if (place.programFolderWritable || !configHome) return {beside, beside};
  const std::string own = (*configHome / "tarnwick" / LayoutFileName).string();
  std::error_code error;
  const bool shippedOnly = !fs::exists(own, error) && fs::exists(beside, error);
  return {shippedOnly ? beside : own, own};
}

LayoutFiles LayoutFilesOfThisProgram() {
  const std::string folder = fs::path(ExecutablePath()).parent_path().string();
#ifdef _WIN32
  // Beside the executable, where the Windows tool has always kept it.
  return LayoutFilesFor(
      {.programFolder = folder, .programFolderWritable = true, .xdgConfigHome = {}, .home = {}});
#else
  return LayoutFilesFor({.programFolder = folder,
                         .programFolderWritable = access(folder.c_str(), W_OK) == 0,
                         .xdgConfigHome = Environment("XDG_CONFIG_HOME"),
                         .home = Environment("HOME")});
#endif
}
