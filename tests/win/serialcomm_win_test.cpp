// The registry reader of the port list, on a key of the test's own that
// stands in for HARDWARE\DEVICEMAP\SERIALCOMM (which needs no changing).
#include "link/serialcomm.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

class SerialCommKey : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &key_, nullptr),
              ERROR_SUCCESS);
  }
  void TearDown() override {
    if (key_ != nullptr) RegCloseKey(key_);
    RegDeleteKeyA(HKEY_CURRENT_USER, path_.c_str());
  }

  void Set(const std::string& name, const std::string& data, DWORD type = REG_SZ) {
    ASSERT_EQ(RegSetValueExA(key_, name.c_str(), 0, type,
                             reinterpret_cast<const BYTE*>(data.data()),
                             static_cast<DWORD>(data.size())),
              ERROR_SUCCESS);
  }

  // The entries after the ones already there, sorted: Windows lists values
  // in the order they were made, Wine by name.
  std::vector<std::string> Listed() {
    std::vector<std::string> list{"kept"};
    AppendSerialCommPorts(key_, list);
    EXPECT_EQ(list.front(), "kept");
    std::sort(list.begin() + 1, list.end());
    return {list.begin() + 1, list.end()};
  }

  std::string path_ = "Software\\Tarnwick test " + std::to_string(GetCurrentProcessId());
  HKEY key_ = nullptr;
};

}  // namespace

TEST_F(SerialCommKey, ListsEveryValueAfterWhatTheListHolds) {
  EXPECT_TRUE(Listed().empty());
  Set("\\Device\\Serial0", std::string("COM1\0", 5));
  Set("\\Device\\VCP0", std::string("COM12\0", 6));
  Set("Silabser0", std::string("COM7\0", 5));
  EXPECT_EQ(Listed(), (std::vector<std::string>{"COM1  Serial0", "COM12  VCP0", "COM7  Silabser0"}));
}

TEST_F(SerialCommKey, SkipsValuesThatDoNotFitAndListsTheRest) {
  Set("\\Device\\Serial0", std::string("COM1\0", 5));
  Set("\\Device\\Long", std::string(300, 'C') + '\0');
  Set("\\Device\\" + std::string(300, 'n'), std::string("COM2\0", 5));
  Set("\\Device\\Serial9", std::string("COM9\0", 5));
  EXPECT_EQ(Listed(), (std::vector<std::string>{"COM1  Serial0", "COM9  Serial9"}));
}

TEST_F(SerialCommKey, TakesEmptyAndUnterminatedDataAsTheyAre) {
  Set("\\Device\\Empty", "");
  Set("\\Device\\Bare", "COM4", REG_BINARY);
  Set("\\Device\\Full", std::string(255, 'C') + '\0');
  EXPECT_EQ(Listed(), (std::vector<std::string>{"  Empty", std::string(255, 'C') + "  Full",
                                                "COM4  Bare"}));
}
