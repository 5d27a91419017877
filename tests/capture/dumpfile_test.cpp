#include "capture/dumpfile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "capture/history.h"
#include "platform/errors.h"

#if __has_include(<sys/resource.h>)
#include <csignal>
#include <sys/resource.h>
#define TARNWICK_HAS_FILE_SIZE_LIMIT 1
#endif

namespace fs = std::filesystem;

#include "test_support.h"

namespace {

Bytes ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const fs::path& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
}

std::vector<fs::path> Entries(const fs::path& folder) {
  return {fs::directory_iterator(folder), fs::directory_iterator()};
}

class DumpFile : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    folder = fs::temp_directory_path() / ("tarnwick-dump-" + std::string(test->name()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    dump = folder / "dump.bin";
  }
  void TearDown() override { fs::remove_all(folder); }

  // Expects the refusal with the path in its message.
  void ExpectUnwritable(const fs::path& path) {
    try {
      WriteDump(path.string(), history);
      ADD_FAILURE() << "no error for " << path;
    } catch (const WriteError& error) {
      EXPECT_EQ(std::string(error.what()), "Unable to write to " + path.string());
    }
  }

  SampleHistory history;
  fs::path folder, dump;
  const Bytes oldDump = Bytes(100, 0x5A);
};

TEST_F(DumpFile, StoresEachPairOfSlotZeroAsLittleEndianSingles) {
  history.HistoryI[0] = -1;
  history.HistoryQ[0] = 32767;
  history.HistoryI[1] = 1;
  history.HistoryQ[1] = -32768;
  history.HistoryI[1023] = 2;
  history.HistoryQ[1023] = -2;
  history.HistoryI[1024] = 5;  // slot 1 is not saved
  WriteBytes(dump, Bytes(9000, 0xEE));

  WriteDump(dump.string(), history);

  Bytes expected(8192, 0);
  const Bytes firstPairs{0x00, 0x00, 0x80, 0xBF, 0x00, 0xFE, 0xFF, 0x46,
                         0x00, 0x00, 0x80, 0x3F, 0x00, 0x00, 0x00, 0xC7};
  const Bytes lastPair{0x00, 0x00, 0x00, 0x40, 0x00, 0x00, 0x00, 0xC0};
  std::copy(firstPairs.begin(), firstPairs.end(), expected.begin());
  std::copy(lastPair.begin(), lastPair.end(), expected.end() - 8);
  EXPECT_EQ(ReadBytes(dump), expected);
  EXPECT_EQ(Entries(folder).size(), 1u);
}

TEST_F(DumpFile, RefusesAMissingFolder) {
  ExpectUnwritable(folder / "missing" / "dump.bin");
  EXPECT_FALSE(fs::exists(folder / "missing"));
}

TEST_F(DumpFile, RefusesAFolderWhereTheFileShouldBeAndLeavesItAlone) {
  fs::create_directory(dump);
  WriteBytes(dump / "inside", oldDump);
  ExpectUnwritable(dump);
  EXPECT_EQ(Entries(folder), std::vector<fs::path>{dump});
  EXPECT_EQ(ReadBytes(dump / "inside"), oldDump);
}

#ifdef TARNWICK_HAS_FILE_SIZE_LIMIT
// The disk fills up halfway through the dump.
TEST_F(DumpFile, AFailedWriteKeepsTheOldDumpWhole) {
  WriteBytes(dump, oldDump);
  rlimit original{};
  getrlimit(RLIMIT_FSIZE, &original);
  const auto originalSignal = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = original;
  small.rlim_cur = 1000;
  setrlimit(RLIMIT_FSIZE, &small);

  ExpectUnwritable(dump);

  setrlimit(RLIMIT_FSIZE, &original);
  std::signal(SIGXFSZ, originalSignal);
  EXPECT_EQ(ReadBytes(dump), oldDump);
  EXPECT_EQ(Entries(folder), std::vector<fs::path>{dump});
}
#endif

TEST_F(DumpFile, PathNamesDumpBinInTheCurrentFolder) {
  const fs::path previous = fs::current_path();
  fs::current_path(folder);
  const std::string path = DumpFilePath();
  fs::current_path(previous);

  EXPECT_TRUE(fs::path(path).is_absolute());
  WriteDump(path, history);
  EXPECT_EQ(ReadBytes(dump), Bytes(8192, 0));
}

}  // namespace
