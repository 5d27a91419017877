#include "platform/filereplace.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

// The file that a save replaces: a symbolic link is followed to its target,
// so that the link stays a link.
fs::path FileBehindLinks(fs::path path) {
  constexpr int MaxLinks = 40;  // more means a loop of links
  std::error_code error;
  for (int i = 0; i < MaxLinks && fs::is_symlink(path, error); ++i) {
    const fs::path target = fs::read_symlink(path, error);
    if (error) break;
    path = path.parent_path() / target;  // an absolute target replaces the whole path
  }
  return path;
}

// Replacing a file needs only the folder's permission, so the file's own
// must be asked for first. A missing file may be created.
bool MayNotWrite(const fs::path& file) {
#ifdef _WIN32
  return _waccess(file.c_str(), 2) != 0 && errno != ENOENT;  // 2: write; read-only attribute
#else
  return access(file.c_str(), W_OK) != 0 && errno != ENOENT;
#endif
}

// The new file takes its mode before any content is in it.
bool WriteNewFile(const fs::path& path, std::string_view content, fs::perms mode) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  std::error_code error;
  if (mode != fs::perms::unknown) fs::permissions(path, mode, error);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  out.close();
  return !out.fail() && !error;
}

bool ReplaceFile(const fs::path& file, std::string_view content) {
  fs::path temporary = file;
  temporary += ".saving";
  std::error_code error;
  const fs::perms mode = fs::status(file, error).permissions();
  if (WriteNewFile(temporary, content, mode)) {
    fs::rename(temporary, file, error);
    if (!error) return true;
  }
  fs::remove(temporary, error);
  return false;
}

}  // namespace

bool ReplaceFileContent(const std::string& path, std::string_view content) {
  const fs::path file = FileBehindLinks(path);
  return !MayNotWrite(file) && ReplaceFile(file, content);
}
