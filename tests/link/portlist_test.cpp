// The port list: real serial ports from a sysfs-like tree, then the boards.
#include "link/comport.h"
#include "link/portlist.h"
#include "link/virtualports.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <set>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class PortList : public ::testing::Test {
 protected:
  fs::path root = fs::temp_directory_path() / ("tarnwick-portlist-" + std::to_string(getpid()));
  fs::path ttys = root / "class" / "tty";
  fs::path boards = root / "boards";
  std::set<std::string> refused;  // ports this user may not open

  void SetUp() override { fs::create_directories(ttys); }
  void TearDown() override { fs::remove_all(root); }

  static void Write(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << text << '\n';
  }

  // A tty whose device lies in a device tree under root/devices.
  fs::path AddTty(const std::string& name, const fs::path& devicePath) {
    const fs::path device = root / "devices" / devicePath;
    fs::create_directories(device);
    fs::create_directories(ttys / name);
    fs::create_symlink(device, ttys / name / "device");
    return device;
  }

  void SetDriver(const fs::path& device, const std::string& driver, const std::string& bus = "platform") {
    const fs::path target = root / "bus" / bus / "drivers" / driver;
    fs::create_directories(target);
    fs::create_symlink(target, device / "driver");
  }

  std::function<bool(const std::string&)> MayOpen() const {
    return [this](const std::string& port) { return !refused.contains(port); };
  }

  std::vector<std::string> List() {
    std::vector<std::string> list;
    AppendSystemPorts(list, ttys.string(), boards.string(), MayOpen());
    return list;
  }
};

// XDG_RUNTIME_DIR for one test: set to the value, or unset without one.
class RuntimeDir {
 public:
  explicit RuntimeDir(const char* value) {
    if (const char* old = std::getenv(Name)) saved = old;
    value ? setenv(Name, value, 1) : unsetenv(Name);
  }
  ~RuntimeDir() { saved ? setenv(Name, saved->c_str(), 1) : unsetenv(Name); }

 private:
  static constexpr const char* Name = "XDG_RUNTIME_DIR";
  std::optional<std::string> saved;
};

}  // namespace

TEST_F(PortList, ListsPresentPortsWithProductOrDriverAndPermissionAndSkipsPhantoms) {
  // An on-board UART: the serial core's "port" and "ctrl" layers, then the
  // real driver.
  const fs::path uart = AddTty("ttyS0", "pnp0/00:00/00:00:0/00:00:0.0");
  SetDriver(uart, "port", "serial-base");
  SetDriver(uart.parent_path(), "ctrl", "serial-base");
  SetDriver(uart.parent_path().parent_path(), "serial", "pnp");
  Write(ttys / "ttyS0" / "type", "4");
  // A UART slot with no chip behind it.
  SetDriver(AddTty("ttyS1", "platform/serial8250"), "serial8250");
  Write(ttys / "ttyS1" / "type", "0");
  // A USB adapter names its product two levels up.
  const fs::path usb = AddTty("ttyUSB0", "usb1/1-1/1-1:1.0/ttyUSB0");
  SetDriver(usb, "ftdi_sio");
  Write(usb.parent_path().parent_path() / "product", "FT232R USB UART");
  SetDriver(AddTty("ttyACM10", "usb1/1-2/1-2:1.0"), "cdc_acm");
  SetDriver(AddTty("ttyACM2", "usb1/1-3/1-3:1.0"), "cdc_acm");
  // Virtual terminals and consoles have no device.
  fs::create_directories(ttys / "tty0");
  fs::create_directories(ttys / "console");
  refused = {"ttyUSB0"};

  EXPECT_EQ(List(), (std::vector<std::string>{
                        "ttyACM2  cdc_acm", "ttyACM10  cdc_acm", "ttyS0  serial",
                        "ttyUSB0  FT232R USB UART (no permission: join the dialout group)"}));
}

TEST_F(PortList, AppendsRunningBoardsAndNeverClears) {
  const fs::path pty = root / "pts-7";
  Write(pty, "");
  const auto record = RegisterVirtualPort({pty.string(), "Bench board"}, boards.string());
  ASSERT_TRUE(record);
  // A board that died without removing its record is not listed.
  Write(boards / "999999999.port", pty.string() + "\nGone board");
  // Nor is a board whose port has disappeared.
  Write(boards / "1.port", "/dev/tarnwick-vanished\nOld board");

  std::vector<std::string> list{"kept"};
  AppendSystemPorts(list, ttys.string(), boards.string(), MayOpen());
  AppendSystemPorts(list, ttys.string(), boards.string(), MayOpen());
  const std::string entry = pty.string() + "  Bench board";
  EXPECT_EQ(list, (std::vector<std::string>{"kept", entry, entry}));

  UnregisterVirtualPort(*record);
  EXPECT_TRUE(List().empty());
}

TEST_F(PortList, BoardsAnnounceThemselvesInTheRuntimeFolderOfTheirUser) {
  const std::string ownTmp = "/tmp/tarnwick-ports-" + std::to_string(geteuid());
  {
    const RuntimeDir unset(nullptr);
    EXPECT_EQ(VirtualPortDirectory(), ownTmp);
  }
  {
    const RuntimeDir empty("");
    EXPECT_EQ(VirtualPortDirectory(), ownTmp);
  }
  const fs::path runtime = root / "run";
  fs::create_directories(runtime);
  const RuntimeDir set(runtime.c_str());
  const fs::path pty = root / "pts-7";
  Write(pty, "");
  const auto record = RegisterVirtualPort({pty.string(), "Bench board"});
  ASSERT_TRUE(record);
  EXPECT_EQ(fs::path(*record).parent_path(), runtime / "tarnwick-ports");
  EXPECT_EQ(fs::status(runtime / "tarnwick-ports").permissions(), fs::perms::owner_all);
  std::vector<std::string> list;
  TComPort::EnumPorts(list);
  ASSERT_FALSE(list.empty());
  EXPECT_EQ(list.back(), pty.string() + "  Bench board");
  UnregisterVirtualPort(*record);
}

// A link planted where the folder should be would lead the board's writes
// elsewhere; another user's folder could hold records planted by that user.
TEST_F(PortList, AFolderThatIsALinkOrAnotherUsersIsNeitherUsedNorChanged) {
  const fs::path pty = root / "pts-7";
  Write(pty, "");
  const std::string planted = pty.string() + "\nPlanted board";
  const std::string ownRecord = std::to_string(getpid()) + ".port";
  const fs::path elsewhere = root / "elsewhere";
  Write(elsewhere / ownRecord, planted);
  const auto mode = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec;
  fs::permissions(elsewhere, mode);
  fs::create_directory_symlink(elsewhere, boards);

  EXPECT_FALSE(RegisterVirtualPort({pty.string(), "Bench board"}, boards.string()));
  EXPECT_EQ(fs::status(elsewhere).permissions(), mode);
  EXPECT_TRUE(List().empty());

  if (geteuid() != 0) return;  // only root can give a folder to another user
  fs::remove(boards);
  Write(boards / ownRecord, planted);
  ASSERT_EQ(chown(boards.c_str(), 65534, 65534), 0);
  EXPECT_FALSE(RegisterVirtualPort({pty.string(), "Bench board"}, boards.string()));
  EXPECT_TRUE(List().empty());
}

TEST(PortListOfThisMachine, AppendsWithoutFailing) {
  std::vector<std::string> list{"first"};
  TComPort::EnumPorts(list);
  ASSERT_FALSE(list.empty());
  EXPECT_EQ(list.front(), "first");
  for (std::size_t i = 1; i < list.size(); ++i) EXPECT_NE(list[i].find("  "), std::string::npos) << list[i];
}
