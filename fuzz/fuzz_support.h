#pragma once
// What the fuzzers share: a broken property ends the run loudly, so that
// libFuzzer keeps the input as a finding, and a scratch file for the
// surfaces that read from disk.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <system_error>
#include <unistd.h>

// Like assert, but never compiled away, and it names the property.
inline void Require(bool holds, const char* property) {
  if (holds) return;
  std::fprintf(stderr, "Property broken: %s\n", property);
  std::abort();
}

// One file per fuzzing process, so that parallel runs do not meet; removed
// when the run ends.
class ScratchFile {
 public:
  ScratchFile()
      : path_((std::filesystem::temp_directory_path() /
               ("tarnwick-fuzz-" + std::to_string(getpid()) + ".ini"))
                  .string()) {}
  ~ScratchFile() {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
  }

  const std::string& Path() const { return path_; }

  void Write(std::string_view bytes) const {
    std::ofstream(path_, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }

  std::string Read() const {
    std::ifstream in(path_, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

 private:
  std::string path_;
};
