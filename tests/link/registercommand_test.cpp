// The register transactions against the virtual board, through a real pty,
// and what the panel shows of them.
#include "link/registercommand.h"
#include "panel/cellcommand.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <thread>
#include <utility>

#include "board/ptyboard.h"
#include "board/uniquefd.h"
#include "platform/errors.h"
#include "platform/messages.h"

#include "test_support.h"

namespace {

using Texts = std::vector<std::string>;
using Boxes = std::vector<std::pair<std::string, std::string>>;  // text, caption

TComPort PortOn(const std::string& path) {
  TComPort port;
  port.PortName = path;
  return port;
}

// Polls until at least `expected` bytes reached the board, for at most a second.
Bytes ReceivedBytes(const PtyBoard& board, std::size_t expected) {
  WaitFor([&] { return board.Received().size() >= expected; });
  return board.Received();
}

void SetRegisters(PtyBoard& board, int first, const Bytes& values) {
  for (std::size_t k = 0; k < values.size(); ++k)
    board.SetRegister(first + static_cast<int>(k), values[k]);
}

// A bare pty pair in raw mode: the test plays the board and answers the next
// frame with whatever bytes it likes.
class RawPty {
 public:
  RawPty() : master_(posix_openpt(O_RDWR | O_NOCTTY)) {
    if (!master_.Valid() || grantpt(master_.Get()) != 0 || unlockpt(master_.Get()) != 0)
      throw std::runtime_error("no pty");
    path_ = ptsname(master_.Get());
    // Held open so that the queue outlives the port's own opens and closes.
    slave_.Reset(open(path_.c_str(), O_RDWR | O_NOCTTY));
    termios raw{};
    tcgetattr(slave_.Get(), &raw);
    cfmakeraw(&raw);
    tcsetattr(slave_.Get(), TCSANOW, &raw);
  }
  ~RawPty() {
    if (answering_.joinable()) answering_.join();
  }

  const std::string& Path() const { return path_; }

  int Waiting() const {
    int count = 0;
    ioctl(slave_.Get(), FIONREAD, &count);
    return count;
  }

  // Once a short frame has come, the answer is sent back at once.
  void AnswerNextFrame(Bytes answer) {
    if (answering_.joinable()) answering_.join();
    answering_ = std::thread([this, answer = std::move(answer)] {
      std::uint8_t frame[8];
      for (std::size_t got = 0; got < sizeof frame;) {
        const ssize_t n = read(master_.Get(), frame + got, sizeof frame - got);
        if (n <= 0) return;
        got += static_cast<std::size_t>(n);
      }
      ASSERT_EQ(write(master_.Get(), answer.data(), answer.size()), static_cast<ssize_t>(answer.size()));
    });
  }

 private:
  UniqueFd master_;
  UniqueFd slave_;
  std::string path_;
  std::thread answering_;
};

// The link itself shows nothing: every box that a test sees comes from the
// panel's CarryOutCellCommand.
class RegisterCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = SetMessageBoxPresenter(
        [this](const MessageBoxRequest& box) { boxes.emplace_back(box.text, box.caption); });
  }
  void TearDown() override { SetMessageBoxPresenter(previous_); }

  Boxes boxes;

 private:
  MessageBoxPresenter previous_;
};

using Read = std::pair<LinkError, std::uint32_t>;

Read ReadOf(TComPort& port, std::uint32_t address, bool portHeld = false) {
  const RegisterReadResult read = ReadRegister(port, address, portHeld);
  return {read.error, read.value};
}

struct FrameExample {
  const char* what;
  std::uint8_t command;
  std::uint32_t address;
  std::uint32_t value;
  Bytes frame;
};

const FrameExample FrameExamples[] = {
    {"write 5 to address 7", CommandWrite, 7, 5,
     {0xFF, 0xFF, 0xFF, 0xFF, 0x47, 0x07, 0x05, 0x00}},
    {"write 300 to address 7: only the low byte travels", CommandWrite, 7, 300,
     {0xFF, 0xFF, 0xFF, 0xFF, 0x47, 0x07, 0x2C, 0x00}},
    {"read address 7", CommandRead, 7, 0,
     {0xFF, 0xFF, 0xFF, 0xFF, 0xBB, 0x07, 0x00, 0x00}},
    {"write 12345678 to address 400", CommandWrite, 400, 0x12345678,
     {0xFF, 0xFF, 0xFF, 0xFF, 0x47, 0x04, 0x12, 0x00, 0x47, 0x05, 0x34, 0x00,
      0x47, 0x06, 0x56, 0x00, 0x47, 0x07, 0x78, 0x00}},
    {"read address 1200", CommandRead, 1200, 0,
     {0xFF, 0xFF, 0xFF, 0xFF, 0xBB, 0x0C, 0x00, 0x00, 0xBB, 0x0D, 0x00, 0x00,
      0xBB, 0x0E, 0x00, 0x00, 0xBB, 0x0F, 0x00, 0x00}},
    {"capture block", CommandCapture, 0, 0,
     {0xFF, 0xFF, 0xFF, 0xFF, 0xBC, 0x00, 0x00, 0x00}},
    {"address 99 is the last short one", CommandWrite, 99, 0xAB,
     {0xFF, 0xFF, 0xFF, 0xFF, 0x47, 0x63, 0xAB, 0x00}},
    {"address 100 is the first wide one", CommandWrite, 100, 0xA1B2C3D4,
     {0xFF, 0xFF, 0xFF, 0xFF, 0x47, 0x01, 0xA1, 0x00, 0x47, 0x02, 0xB2, 0x00,
      0x47, 0x03, 0xC3, 0x00, 0x47, 0x04, 0xD4, 0x00}},
    {"address 25500 wraps its register bytes", CommandWrite, 25500, 0,
     {0xFF, 0xFF, 0xFF, 0xFF, 0x47, 0xFF, 0x00, 0x00, 0x47, 0x00, 0x00, 0x00,
      0x47, 0x01, 0x00, 0x00, 0x47, 0x02, 0x00, 0x00}},
    {"address 4294967295 reaches registers 40 to 43", CommandWrite, 4294967295u, 0,
     {0xFF, 0xFF, 0xFF, 0xFF, 0x47, 0x28, 0x00, 0x00, 0x47, 0x29, 0x00, 0x00,
      0x47, 0x2A, 0x00, 0x00, 0x47, 0x2B, 0x00, 0x00}},
};

// A cell's command against a board: what the user is shown of it.
struct CellExample {
  const char* what;
  CellCommand command;
  BoardOptions board;
  bool portMissing;
  Texts boxes;                       // in order; all captioned "Port error"
  std::optional<std::string> field;  // what the cell's field shows afterwards
};

BoardOptions Silent() {
  BoardOptions options;
  options.silent = true;
  return options;
}

BoardOptions ReadAnswerOf(std::size_t bytes) {
  BoardOptions options;
  options.readBytes = bytes;
  return options;
}

const CellExample CellExamples[] = {
    // A wide read gathers registers 4 to 7 into answer bytes 2 to 5.
    {"all bits set, signed", {CommandRead, 400, 0, "get_s"}, {}, false, {}, "-1"},
    {"all bits set, unsigned", {CommandRead, 400, 0, "get_u"}, {}, false, {}, "4294967295"},
    {"a read in another mode", {CommandRead, 400, 0, "set"}, {}, false, {}, std::nullopt},
    {"the sign bit alone, signed", {CommandRead, 800, 0, "get_s"}, {}, false, {}, "-2147483648"},
    {"the sign bit alone, unsigned", {CommandRead, 800, 0, "get_u"}, {}, false, {}, "2147483648"},
    // A short read answers 00 00 00 FF: the value is not an 8-bit signed one.
    {"a short read, signed", {CommandRead, 12, 0, "get_s"}, {}, false, {}, "255"},
    {"a read of a silent board", {CommandRead, 7, 0, "get_u"}, Silent(), false, {"Timeout"}, "TimeOut"},
    {"an answer of three bytes", {CommandRead, 7, 0, "get_s"}, ReadAnswerOf(3), false, {"Timeout"}, "TimeOut"},
    {"a read on a missing port", {CommandRead, 7, 0, "get_s"}, {}, true, {"Port /dev/tarnwick-no-such-port does not exist", "Timeout"}, "TimeOut"},
    {"a write on a missing port", {CommandWrite, 7, 1, "set"}, {}, true, {"Port /dev/tarnwick-no-such-port does not exist"}, std::nullopt},
    {"a write to a silent board", {CommandWrite, 7, 1, "set"}, Silent(), false, {}, std::nullopt},
};

}  // namespace

TEST_F(RegisterCommandTest, SendsTheFrameOfEveryExample) {
  PtyBoard board;
  TComPort port = PortOn(board.PortPath());
  for (const FrameExample& example : FrameExamples) {
    EXPECT_EQ(RegisterFrame(example.command, example.address, example.value), example.frame)
        << example.what;
    board.ClearReceived();
    if (example.command == CommandWrite)
      EXPECT_EQ(WriteRegister(port, example.address, example.value, false), LinkError::None);
    else if (example.command == CommandRead)
      EXPECT_EQ(ReadRegister(port, example.address, false).error, LinkError::None);
    else
      continue;  // the capture request goes out with a block's receipt
    EXPECT_EQ(ReceivedBytes(board, example.frame.size()), example.frame) << example.what;
  }
  EXPECT_FALSE(port.Opened);
}

TEST_F(RegisterCommandTest, ACellsCommandShowsTheValueOrTheBoxesOfItsFailure) {
  for (const CellExample& example : CellExamples) {
    PtyBoard board(example.board);
    SetRegisters(board, 4, {0xFF, 0xFF, 0xFF, 0xFF, 0x80, 0x00, 0x00, 0x00, 0xFF});
    TComPort port = PortOn(example.portMissing ? "/dev/tarnwick-no-such-port" : board.PortPath());
    boxes.clear();
    EXPECT_EQ(CarryOutCellCommand(port, example.command, false), example.field) << example.what;
    Texts shown;
    for (const auto& [text, caption] : boxes) {
      shown.push_back(text);
      EXPECT_EQ(caption, "Port error") << example.what;
    }
    EXPECT_EQ(shown, example.boxes) << example.what;
    EXPECT_FALSE(port.Opened) << example.what;
  }
}

TEST_F(RegisterCommandTest, LeavesAPortTheCallerHoldsAsItIs) {
  PtyBoard board;
  TComPort port = PortOn(board.PortPath());
  board.SetRegister(7, 0x21);
  ASSERT_TRUE(port.Open());
  EXPECT_EQ(ReadOf(port, 7, true), Read(LinkError::None, 0x21));
  EXPECT_TRUE(port.Opened);

  ASSERT_TRUE(port.Close());
  board.ClearReceived();
  EXPECT_EQ(WriteRegister(port, 7, 1, true), LinkError::None);
  EXPECT_FALSE(port.Opened);
  WriteRegister(port, 8, 2, false);  // the first frame that reaches the board
  EXPECT_EQ(ReceivedBytes(board, 8), (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0x47, 0x08, 0x02, 0x00}));
  EXPECT_EQ(board.Register(7), 0x21);
}

TEST_F(RegisterCommandTest, APortThatDoesNotOpenGetsNothingAndIsLeftAsItWas) {
  PtyBoard board;
  TComPort port = PortOn("/dev/tarnwick-no-such-port");
  EXPECT_EQ(ReadOf(port, 7), Read(LinkError::CannotOpen, 0));
  EXPECT_FALSE(port.Opened);

  // Open already, yet not held by the caller: it does not open a second time.
  port = PortOn(board.PortPath());
  ASSERT_TRUE(port.Open());
  EXPECT_EQ(WriteRegister(port, 7, 9, false), LinkError::CannotOpen);
  EXPECT_EQ(ReadOf(port, 7), Read(LinkError::CannotOpen, 0));
  EXPECT_TRUE(port.Opened);
  ASSERT_TRUE(port.Close());
  WriteRegister(port, 8, 2, false);  // the first frame that reaches the board
  EXPECT_EQ(ReceivedBytes(board, 8), (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0x47, 0x08, 0x02, 0x00}));
  EXPECT_TRUE(boxes.empty());
}

TEST_F(RegisterCommandTest, TellsAnAnswerShorterThanSixBytesFromNone) {
  RawPty pty;
  TComPort port = PortOn(pty.Path());
  pty.AnswerNextFrame({0xBB, 0x07, 0x00, 0x00, 0x00});
  EXPECT_EQ(ReadOf(port, 7), Read(LinkError::ShortAnswer, 0));
  EXPECT_EQ(pty.Waiting(), 0);

  pty.AnswerNextFrame({0xBB, 0x07, 0x00, 0x00, 0x00, 0x2A});
  EXPECT_EQ(ReadOf(port, 7), Read(LinkError::None, 42));
  EXPECT_TRUE(boxes.empty());
}

TEST_F(RegisterCommandTest, TakesFortyBytesOfALongAnswerAndDropsTheRest) {
  RawPty pty;
  TComPort port = PortOn(pty.Path());
  Bytes flood(100, 0xEE);
  flood[2] = 0x12, flood[3] = 0x34, flood[4] = 0x56, flood[5] = 0x78;
  pty.AnswerNextFrame(flood);
  EXPECT_EQ(ReadOf(port, 7), Read(LinkError::None, 0x12345678));
  EXPECT_EQ(pty.Waiting(), 0);
}

TEST_F(RegisterCommandTest, AnAnswerThatComesTooLateIsNotTakenForTheNextOne) {
  BoardOptions slow;
  slow.answerDelay = std::chrono::milliseconds(150);
  PtyBoard board(slow);
  TComPort port = PortOn(board.PortPath());
  board.SetRegister(7, 0x11);
  board.SetRegister(8, 0x22);
  EXPECT_EQ(ReadOf(port, 7), Read(LinkError::NoAnswer, 0));
  ASSERT_TRUE(port.Open());
  ASSERT_EQ(WaitForBytes(port, 6), 6);  // register 7's answer has come
  ASSERT_TRUE(port.Close());
  EXPECT_EQ(ReadOf(port, 8), Read(LinkError::NoAnswer, 0));
  EXPECT_TRUE(boxes.empty());
}

namespace {

std::string ConversionMessage(const std::string& text) {
  try {
    ParseRegisterValue(text);
  } catch (const ConversionError& error) {
    return error.what();
  }
  return "no error";
}

}  // namespace

TEST(ParseRegisterValue, ReadsDecimalAndHexadecimalTextsOfTheRange) {
  EXPECT_EQ(ParseRegisterValue("$FF"), 255u);
  EXPECT_EQ(ParseRegisterValue("0xff"), 255u);
  EXPECT_EQ(ParseRegisterValue("0XfF"), 255u);
  EXPECT_EQ(ParseRegisterValue("  255"), 255u);
  EXPECT_EQ(ParseRegisterValue("+0"), 0u);
  EXPECT_EQ(ParseRegisterValue("4294967295"), 4294967295u);
  EXPECT_EQ(ParseRegisterValue("$FFFFFFFF"), 4294967295u);
}

TEST(ParseRegisterValue, RefusesNumbersOutsideTheRange) {
  for (const char* text : {"-1", "4294967296", "-$1", "$100000000"})
    EXPECT_EQ(ConversionMessage(text), "Value is out of range") << text;
}

TEST(ParseRegisterValue, RefusesTextsThatAreNoIntegerNamingThem) {
  for (const char* text : {"12a", "", "255 ", "0x", "1.0", "99999999999999999999"})
    EXPECT_EQ(ConversionMessage(text), std::string("'") + text + "' is not a valid integer value")
        << text;
}
