// Where the layout file is read and saved, from the program's folder and the
// user's environment.
#include "platform/paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

namespace fs = std::filesystem;

TEST(LayoutFiles, BesideAWritableProgramElseTheUsersOwnStartingFromTheShippedOne) {
  const fs::path root =
      fs::temp_directory_path() / ("tarnwick-paths-" + std::to_string(std::random_device{}()));
  const std::string program = (root / "bin").string(), home = (root / "home").string();
  const std::string xdg = (root / "xdg").string();
  const std::string beside = (root / "bin" / "tarnwick.ini").string();
  const std::string homeFile = (root / "home" / ".config" / "tarnwick" / "tarnwick.ini").string();
  const std::string xdgFile = (root / "xdg" / "tarnwick" / "tarnwick.ini").string();
  struct Row {
    bool writable;
    bool shipped;          // a tarnwick.ini beside the program
    std::string userFile;  // saved by this user before, if any
    std::string xdgConfigHome, home;
    std::string read, write;
  };
  const Row rows[] = {
      {true, true, xdgFile, xdg, home, beside, beside},
      {false, false, "", xdg, home, xdgFile, xdgFile},
      {false, true, "", "", home, beside, homeFile},
      {false, true, homeFile, "", home, homeFile, homeFile},
      {false, false, "", "relative", home, homeFile, homeFile},
      {false, true, "", "", "", beside, beside},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "writable " << row.writable << ", shipped " << row.shipped
                                    << ", user's '" << row.userFile << "', XDG '" << row.xdgConfigHome
                                    << "', HOME '" << row.home << "'");
    fs::remove_all(root);
    fs::create_directories(program);
    if (row.shipped) std::ofstream(beside) << "[USB]\n";
    if (!row.userFile.empty()) {
      fs::create_directories(fs::path(row.userFile).parent_path());
      std::ofstream(row.userFile) << "[USB]\n";
    }
    const LayoutFiles files = LayoutFilesFor(
        {.programFolder = program, .programFolderWritable = row.writable, .xdgConfigHome = row.xdgConfigHome,
         .home = row.home});
    EXPECT_EQ(files.read, row.read);
    EXPECT_EQ(files.write, row.write);
  }
  fs::remove_all(root);
}
