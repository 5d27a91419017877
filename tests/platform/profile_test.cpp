#include "platform/profile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <random>

#include "platform/errors.h"

#ifndef _WIN32
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

// What a save of this user makes of the file: whether it was read, then
// whether the save went through.
std::string SaveAttempt(const std::string& path) {
  ProfileFile file(path);
  file.WriteInteger("USB", "BaudRate", 115200);
  const std::string read = file.Readable() ? "read" : "unreadable";
  try {
    file.Save();
    return read + ", saved";
  } catch (const WriteError&) {
    return read + ", refused";
  }
}

#ifndef _WIN32
// Runs the check in a child process as a user that file permissions bind:
// nobody (uid and gid 65534) when the suite runs as root, else this user.
// Nothing when root cannot become nobody.
std::optional<std::string> AsBoundUser(const std::function<std::string()>& check) {
  constexpr int CannotDrop = 3;
  constexpr id_t Nobody = 65534;
  int ends[2];
  if (pipe(ends) != 0) return "no pipe";
  const pid_t child = fork();
  if (child == 0) {
    close(ends[0]);
    if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(Nobody) != 0 || setuid(Nobody) != 0))
      _exit(CannotDrop);
    const std::string report = check();
    _exit(write(ends[1], report.data(), report.size()) == static_cast<ssize_t>(report.size()) ? 0 : 1);
  }
  close(ends[1]);
  std::string report;
  char block[256];
  for (ssize_t n; (n = read(ends[0], block, sizeof block)) > 0;)
    report.append(block, static_cast<std::size_t>(n));
  close(ends[0]);
  int status = 0;
  waitpid(child, &status, 0);
  if (WIFEXITED(status) && WEXITSTATUS(status) == CannotDrop) return std::nullopt;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return "the check ended abnormally";
  return report;
}
#endif

class ProfileFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("tarnwick-profile-" + std::to_string(std::random_device{}()));
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  std::string PathOf(const std::string& name) const { return (folder_ / name).string(); }
  std::string Path() const { return PathOf("layout.ini"); }

  void WriteBytes(const std::string& content) const {
    std::ofstream(Path(), std::ios::binary) << content;
  }
  std::string ReadBytes() const {
    std::ifstream in(Path(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  ProfileFile Load(const std::string& content) const {
    WriteBytes(content);
    return ProfileFile(Path());
  }
  std::string SavedBytes(const ProfileFile& file) const {
    file.Save();
    return ReadBytes();
  }
  std::string ValueOf(const std::string& valueText) const {
    return Load("[S]\nk=" + valueText + "\n").ReadString("S", "k", "absent");
  }
  std::vector<std::string> FolderEntries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder_)) names.push_back(entry.path().filename().string());
    return names;
  }

  fs::path folder_;
};

// ----- reading -----

TEST_F(ProfileFileTest, MissingFileReadsAsEmptyAndIsNotCreated) {
  const ProfileFile file(Path());
  EXPECT_TRUE(file.Readable());
  EXPECT_EQ(file.FileName(), Path());
  EXPECT_EQ(file.ReadString("USB", "BaudRate", "none"), "none");
  EXPECT_EQ(file.ReadInteger("USB", "BaudRate", 115200), 115200);
  EXPECT_FALSE(fs::exists(Path()));
}

TEST_F(ProfileFileTest, ValuesAreTrimmedAndLoseOneMatchingPairOfQuotes) {
  EXPECT_EQ(ValueOf(" \t v  w \v\f\x1A"), "v  w");
  EXPECT_EQ(ValueOf("\" v \""), " v ");
  EXPECT_EQ(ValueOf("  'x'  "), "x");
  EXPECT_EQ(ValueOf("\"\"x\"\""), "\"x\"");
  EXPECT_EQ(ValueOf("\"x'"), "\"x'");
  EXPECT_EQ(ValueOf("\"x"), "\"x");
  EXPECT_EQ(ValueOf("\""), "\"");
  EXPECT_EQ(ValueOf("a=b"), "a=b");
  EXPECT_EQ(ValueOf("\xA0v\xA0"), "\xA0v\xA0");
}

TEST_F(ProfileFileTest, AbsentKeyGivesDefaultButEmptyValueGivesEmptyText) {
  const ProfileFile file = Load("top=0\n[S]\nempty=\nblank=  \nplain\n=nameless\n key with blanks = 1\n");
  EXPECT_EQ(file.ReadString("S", "empty", "d"), "");
  EXPECT_EQ(file.ReadString("S", "blank", "d"), "");
  EXPECT_EQ(file.ReadString("S", "missing", "d"), "d");
  EXPECT_EQ(file.ReadString("S", "plain", "d"), "d");
  EXPECT_EQ(file.ReadString("S", "", "d"), "nameless");
  EXPECT_EQ(file.ReadString("S", "key with blanks", "d"), "1");
  EXPECT_EQ(file.ReadString("Other", "empty", "d"), "d");
  EXPECT_EQ(file.ReadString("S", "top", "d"), "d");
  EXPECT_EQ(file.ReadString("", "top", "d"), "0");
  EXPECT_TRUE(file.HasKey("S", "empty"));
  EXPECT_FALSE(file.HasKey("S", "missing"));
  EXPECT_FALSE(file.HasKey("Other", "empty"));
  EXPECT_TRUE(file.HasSection("s"));
  EXPECT_FALSE(file.HasSection("Other"));
}

TEST_F(ProfileFileTest, NamesMatchWithoutRegardToAsciiLetterCaseOnly) {
  const ProfileFile file = Load("[usb]\nBAUDRATE=9600\n[\xC4x]\nk=1\n");
  EXPECT_EQ(file.ReadString("USB", "BaudRate", "d"), "9600");
  EXPECT_EQ(file.ReadString("\xC4X", "K", "d"), "1");
  EXPECT_EQ(file.ReadString("\xE4x", "k", "d"), "d");
}

TEST_F(ProfileFileTest, HeaderRunsToTheLastBracketAndNeedsOne) {
  const ProfileFile file = Load(" [ USB ] trailing\nBaudRate=1\n[a]b]\nk=2\n[CHART\nMaxY=3\n");
  EXPECT_EQ(file.ReadString("USB", "BaudRate", "d"), "1");
  EXPECT_EQ(file.ReadString("a]b", "k", "d"), "2");
  EXPECT_EQ(file.ReadString("a]b", "MaxY", "d"), "3");
  EXPECT_EQ(file.ReadString("CHART", "MaxY", "d"), "d");
  EXPECT_EQ(file.ReadString("[CHART", "MaxY", "d"), "d");
}

TEST_F(ProfileFileTest, HasNoComments) {
  const ProfileFile file = Load("[USB]\n;BaudRate=1\n#x=2\nBaudRate=9600 ; fast\n");
  EXPECT_EQ(file.ReadString("USB", ";BaudRate", "d"), "1");
  EXPECT_EQ(file.ReadString("USB", "#x", "d"), "2");
  EXPECT_EQ(file.ReadString("USB", "BaudRate", "d"), "9600 ; fast");
  EXPECT_EQ(file.ReadInteger("USB", "BaudRate", 115200), 115200);
}

TEST_F(ProfileFileTest, FirstKeyAndFirstCopyOfASectionWin) {
  const ProfileFile file = Load("[S]\nk=1\nK=2\n[T]\n[s]\nk=3\nonly=4\n");
  EXPECT_EQ(file.ReadString("S", "k", "d"), "1");
  EXPECT_EQ(file.ReadString("S", "only", "d"), "d");
}

TEST_F(ProfileFileTest, CrLfLoneCrAndByteOrderMarkReadTheSame) {
  const ProfileFile file = Load(
      "\xEF\xBB\xBF[USB]\r\nBaudRate=9600\rBits=8\r\nName = \"x\" \r\n[CHART]\r\nMaxY=5\r[BOXES]\nb=1");
  EXPECT_EQ(file.ReadInteger("USB", "BaudRate", 0), 9600);
  EXPECT_EQ(file.ReadInteger("USB", "Bits", 0), 8);
  EXPECT_EQ(file.ReadString("USB", "Name", "d"), "x");
  EXPECT_EQ(file.ReadFloat("CHART", "MaxY", 0), 5.0);
  EXPECT_EQ(file.ReadString("BOXES", "b", "d"), "1");
}

TEST_F(ProfileFileTest, ValueIsCutAt2047AndEndsAtNul) {
  EXPECT_EQ(ValueOf(std::string(3000, 'a')), std::string(2047, 'a'));
  EXPECT_EQ(ValueOf("\"" + std::string(2047, 'b') + "\""), std::string(2047, 'b'));
  EXPECT_EQ(ValueOf(std::string("ab\0cd", 5)), "ab");
  EXPECT_EQ(ValueOf(std::string("ab \0cd", 6)), "ab");
  EXPECT_EQ(ValueOf("\x80\xFF"), "\x80\xFF");
}

// ----- value forms -----

TEST_F(ProfileFileTest, IntegerFormTakesDecimalAndPrefixedHexadecimal) {
  const auto integerOf = [&](const std::string& text) {
    return Load("[USB]\nBaudRate=" + text + "\n").ReadInteger("USB", "BaudRate", 115200);
  };
  EXPECT_EQ(integerOf("9600"), 9600);
  EXPECT_EQ(integerOf("  -12"), -12);
  EXPECT_EQ(integerOf("0x1C200"), 115200);
  EXPECT_EQ(integerOf("$1c200"), 115200);
  EXPECT_EQ(integerOf("0X1C200"), 115200);
  EXPECT_EQ(integerOf("$FFFFFFFF"), -1);
  EXPECT_EQ(integerOf("0x80000000"), INT32_MIN);
  EXPECT_EQ(integerOf("2147483647"), INT32_MAX);
  EXPECT_EQ(integerOf("-2147483648"), INT32_MIN);
  for (const char* text : {"2147483648", "-2147483649", "4294967295", "$100000000", "0x", "$", "x10",
                           "yes", "9600 ; fast", "1.5", ""})
    EXPECT_EQ(integerOf(text), 115200) << '"' << text << '"';
}

TEST_F(ProfileFileTest, BooleanFormIsAnyNonZeroInteger) {
  const auto boolOf = [&](const std::string& text, bool defaultValue) {
    return Load("[CHART]\nQAM=" + text + "\n").ReadBool("CHART", "QAM", defaultValue);
  };
  EXPECT_TRUE(boolOf("1", false));
  EXPECT_TRUE(boolOf("2", false));
  EXPECT_TRUE(boolOf("-1", false));
  EXPECT_FALSE(boolOf("0", true));
  EXPECT_FALSE(boolOf("$0", true));
  EXPECT_FALSE(boolOf("yes", false));
  EXPECT_TRUE(boolOf("yes", true));
  EXPECT_TRUE(boolOf("", true));
  EXPECT_FALSE(Load("").ReadBool("CHART", "QAM", false));
}

TEST_F(ProfileFileTest, NumberFormTakesDecimalTextWithAPoint) {
  const auto numberOf = [&](const std::string& text) {
    return Load("[CHART]\nFREQ=" + text + "\n").ReadFloat("CHART", "FREQ", 150);
  };
  EXPECT_EQ(numberOf("2000"), 2000.0);
  EXPECT_EQ(numberOf("-1.5E3"), -1500.0);
  EXPECT_EQ(numberOf(".5"), 0.5);
  EXPECT_EQ(numberOf("\"12.5\""), 12.5);
  for (const char* text : {"", "1,5", "abc", "1e", "inf", "0x10"})
    EXPECT_EQ(numberOf(text), 150.0) << '"' << text << '"';
}

// ----- writing -----

TEST_F(ProfileFileTest, WritesReplaceAddAfterLastKeyOrAppendTheSection) {
  ProfileFile file = Load("[A]\nk=1\n\n[b]\n x = 1 \n;note\n\n[Empty]\n\n[Other]\n  odd line \t\nz = 9\n");
  file.WriteString("B", "X", "2");
  file.WriteString("b", "y", "3");
  file.WriteString("empty", "e", "\xB5V");
  file.WriteString("New", "n", "v");
  file.WriteString("New", "m", "w");
  EXPECT_EQ(SavedBytes(file),
            "[A]\nk=1\n\n[b]\nX=2\ny=3\n;note\n\n[Empty]\ne=\xB5V\n\n[Other]\n  odd line \t\nz = 9\n"
            "[New]\nn=v\nm=w\n");
}

TEST_F(ProfileFileTest, WritesNumberForms) {
  ProfileFile file(Path());
  file.WriteInteger("USB", "BaudRate", 115200);
  file.WriteBool("CHART", "QAM", true);
  file.WriteBool("CHART", "AVG", false);
  file.WriteFloat("CHART", "MinY", -10000);
  file.WriteFloat("CHART", "FREQ", 0.1);
  file.WriteFloat("CHART", "MaxY", 1.5e20);
  EXPECT_EQ(SavedBytes(file),
            "[USB]\nBaudRate=115200\n[CHART]\nQAM=1\nAVG=0\nMinY=-10000\nFREQ=0.1\nMaxY=1.5E20\n");
}

TEST_F(ProfileFileTest, LineBreaksOfAValueAreDropped) {
  ProfileFile file = Load("[S]\nk=0\n");
  file.WriteString("S", "k", "a\r\nb=c\nd\r");
  EXPECT_EQ(SavedBytes(file), "[S]\nk=ab=cd\n");
  EXPECT_EQ(ProfileFile(Path()).ReadString("S", "b", "none"), "none");
}

TEST_F(ProfileFileTest, AWrittenValueReadsBackWhateverItsBlanksAndQuotes) {
  for (const std::string value : {" a", "b\t", "\"q\"", "'q'", "\"\"", " \"x\" ", "\"q'"}) {
    ProfileFile file(Path());
    file.WriteString("S", "k", value);
    file.Save();
    EXPECT_EQ(ProfileFile(Path()).ReadString("S", "k", "absent"), value) << value;
  }
}

TEST_F(ProfileFileTest, EraseRemovesEveryCopyOfTheSection) {
  ProfileFile file = Load("[TAGS]\na=1\n[Keep]\nk=1\n[tags]\nb=2\n[TAGS\nc=3\n\n[Keep2]\n");
  file.EraseSection("Tags");
  EXPECT_EQ(file.ReadString("TAGS", "b", "gone"), "gone");
  EXPECT_EQ(SavedBytes(file), "[Keep]\nk=1\n[Keep2]\n");
}

// ----- saving -----

TEST_F(ProfileFileTest, SaveKeepsUntouchedBytesAndDropsEveryCr) {
  const std::string original =
      "\xEF\xBB\xBF[Vendor] x\r\n  odd \t line\r\nKey = \"v\" \r\n\r\n[USB]\r\nBaudRate=9600\r\n"
      "[Other]\r\nmid\rdle=\xE4\r\n";
  ProfileFile file = Load(original);
  file.WriteInteger("usb", "BaudRate", 115200);
  EXPECT_EQ(SavedBytes(file),
            "\xEF\xBB\xBF[Vendor] x\n  odd \t line\nKey = \"v\" \n\n[USB]\nBaudRate=115200\n"
            "[Other]\nmid\ndle=\xE4\n");
}

TEST_F(ProfileFileTest, SaveHandlesAFileOfAnySize) {
  ProfileFile file(Path());
  for (int i = 0; i < 2000; ++i) file.WriteString("BOXES", "box" + std::to_string(i), std::string(100, 'c'));
  file.Save();
  EXPECT_GT(fs::file_size(Path()), 200000u);
  EXPECT_EQ(ProfileFile(Path()).ReadString("BOXES", "box1999", "d"), std::string(100, 'c'));
  EXPECT_EQ(FolderEntries(), std::vector<std::string>{"layout.ini"});
}

TEST_F(ProfileFileTest, SaveIntoAMissingFolderFailsAndCreatesNothing) {
  const std::string path = PathOf("missing/layout.ini");
  ProfileFile file(path);
  file.WriteInteger("USB", "BaudRate", 115200);
  try {
    file.Save();
    FAIL() << "no error";
  } catch (const WriteError& error) {
    EXPECT_EQ(std::string(error.what()), "Unable to write to " + path);
  }
  EXPECT_TRUE(FolderEntries().empty());
}

TEST_F(ProfileFileTest, SaveOverAFolderFailsAndLeavesNoTemporaryFile) {
  fs::create_directory(Path());
  ProfileFile file(Path());
  EXPECT_FALSE(file.Readable());
  file.WriteInteger("USB", "BaudRate", 115200);
  EXPECT_THROW(file.Save(), WriteError);
  EXPECT_TRUE(fs::is_directory(Path()));
  EXPECT_EQ(FolderEntries(), std::vector<std::string>{"layout.ini"});
}

TEST_F(ProfileFileTest, FailedSaveLeavesTheOldFileAsItWas) {
  const std::string original = "[USB]\r\nBaudRate=9600\r\n[Other]\r\nk=v\r\n";
  ProfileFile file = Load(original);
  file.EraseSection("Other");
  file.WriteInteger("USB", "BaudRate", 115200);
  // Something standing where the new content is first written.
  fs::create_directory(Path() + ".saving");
  EXPECT_THROW(file.Save(), WriteError);
  EXPECT_EQ(ReadBytes(), original);
}

// A file this user may not write is refused before the rename, which
// needs only the folder's permission; one the user may not read would lose
// its content.
TEST_F(ProfileFileTest, AFileThisUserMayNotWriteOrReadIsNeverReplaced) {
  const std::string original = "[USB]\nBaudRate=9600\n";
  const std::string readOnly = PathOf("read-only.ini");
  const std::string writeOnly = PathOf("write-only.ini");
  std::ofstream(readOnly) << original;
  std::ofstream(writeOnly) << original;
  fs::permissions(readOnly, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
#ifdef _WIN32
  // Windows has only the read-only attribute.
  EXPECT_EQ(SaveAttempt(readOnly), "read, refused");
#else
  fs::permissions(writeOnly, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write);
  fs::permissions(folder_, fs::perms::all);  // the folder itself is no obstacle
  const auto report = AsBoundUser([&] { return SaveAttempt(readOnly) + "; " + SaveAttempt(writeOnly); });
  if (!report) GTEST_SKIP() << "root could not become nobody (uid 65534) to test permissions";
  EXPECT_EQ(*report, "read, refused; unreadable, refused");
  fs::permissions(writeOnly, fs::perms::owner_read, fs::perm_options::add);
  std::ifstream written(writeOnly);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(written), {}), original);
#endif
  std::ifstream read(readOnly);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(read), {}), original);
  EXPECT_EQ(FolderEntries().size(), 2u);
  fs::permissions(readOnly, fs::perms::owner_write, fs::perm_options::add);  // Windows removes no read-only file
}

#ifndef _WIN32
TEST_F(ProfileFileTest, SaveKeepsThePermissionBitsAndWritesThroughALink) {
  fs::create_directory(PathOf("real"));
  const std::string target = PathOf("real/layout.ini");
  std::ofstream(target) << "[USB]\nBaudRate=9600\n";
  const auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  fs::permissions(target, mode);
  fs::create_symlink("real/layout.ini", Path());

  EXPECT_EQ(SaveAttempt(Path()), "read, saved");
  EXPECT_TRUE(fs::is_symlink(Path()));
  EXPECT_EQ(ReadBytes(), "[USB]\nBaudRate=115200\n");
  EXPECT_EQ(fs::status(target).permissions(), mode);
  EXPECT_EQ(std::distance(fs::directory_iterator(PathOf("real")), {}), 1);
  EXPECT_EQ(FolderEntries().size(), 2u);
}
#endif

}  // namespace
