#include "link/virtualports.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

bool ProcessRunning(long pid) {
  return pid > 0 && (kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

// Only a real folder of this user's own keeps other users from planting
// records, or a link that would lead the board's writes elsewhere.
bool IsOwnFolder(const std::string& directory) {
  struct stat info {};
  return lstat(directory.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == geteuid();
}

}  // namespace

std::string VirtualPortDirectory() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && *runtime) return std::string(runtime) + "/tarnwick-ports";
  return "/tmp/tarnwick-ports-" + std::to_string(geteuid());
}

std::optional<std::string> RegisterVirtualPort(const VirtualPort& port, const std::string& directory) {
  mkdir(directory.c_str(), 0700);  // an existing path is left as it is
  if (!IsOwnFolder(directory)) return std::nullopt;
  std::error_code error;
  const fs::path record = fs::path(directory) / (std::to_string(getpid()) + ".port");
  const fs::path partial = record.string() + ".new";
  {
    std::ofstream out(partial, std::ios::trunc);
    out << port.path << '\n' << port.device << '\n';
  }
  fs::rename(partial, record, error);
  return record.string();
}

void UnregisterVirtualPort(const std::string& recordFile) {
  std::error_code error;
  fs::remove(recordFile, error);
}

std::vector<VirtualPort> ListVirtualPorts(const std::string& directory) {
  if (!IsOwnFolder(directory)) return {};
  std::vector<std::pair<long, VirtualPort>> found;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(directory, error)) {
    const fs::path& file = entry.path();
    if (file.extension() != ".port") continue;
    long pid = 0;
    try {
      pid = std::stol(file.stem().string());
    } catch (const std::exception&) {
      continue;
    }
    VirtualPort port;
    std::ifstream in(file);
    if (!std::getline(in, port.path) || !std::getline(in, port.device)) continue;
    if (!ProcessRunning(pid) || !fs::exists(port.path, error)) continue;
    found.emplace_back(pid, port);
  }
  std::sort(found.begin(), found.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<VirtualPort> ports;
  for (auto& [pid, port] : found) ports.push_back(std::move(port));
  return ports;
}
