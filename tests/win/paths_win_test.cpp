// Where the program finds itself and its layout file on Windows.
#include "platform/paths.h"

#include <gtest/gtest.h>

#include <filesystem>

TEST(PathsWin32, NameThisProgramAndTheLayoutFileBesideIt) {
  const std::string program = ExecutablePath();
  EXPECT_TRUE(program.ends_with("\\win_tests.exe")) << program;
  EXPECT_TRUE(std::filesystem::is_regular_file(program)) << program;
  const std::string beside = program.substr(0, program.size() - 13) + "tarnwick.ini";
  EXPECT_EQ(LayoutFilesOfThisProgram().read, beside);
  EXPECT_EQ(LayoutFilesOfThisProgram().write, beside);
}
