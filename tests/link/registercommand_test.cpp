// The register transaction against the virtual board, through a real pty.
#include "link/registercommand.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <thread>
#include <utility>

#include "board/ptyboard.h"
#include "board/uniquefd.h"
#include "platform/errors.h"
#include "platform/messages.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Texts = std::vector<std::string>;
using Boxes = std::vector<std::pair<std::string, std::string>>;  // text, caption

TComPort PortOn(const std::string& path) {
  TComPort port;
  port.PortName = path;
  return port;
}

// Polls until at least `expected` bytes reached the board, for at most a second.
Bytes ReceivedBytes(const PtyBoard& board, std::size_t expected) {
  for (int i = 0; i < 1000 && board.Received().size() < expected; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
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

class RegisterCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = SetMessageBoxPresenter(
        [this](const MessageBoxRequest& box) { boxes.emplace_back(box.text, box.caption); });
  }
  void TearDown() override { SetMessageBoxPresenter(previous_); }

  // One transaction; returns every text the target was given.
  static Texts Send(TComPort& port, std::uint8_t command, std::uint32_t address,
                    std::uint32_t value, const std::string& accessMode = "set",
                    bool portAlreadyOpen = false) {
    Texts shown;
    SendRegisterCommand(port, command, address, value, portAlreadyOpen,
                        [&shown](const std::string& text) { shown.push_back(text); }, accessMode);
    return shown;
  }

  Boxes boxes;

 private:
  MessageBoxPresenter previous_;
};

const Boxes TimeoutBox{{"Timeout", "Port error"}};
const Boxes PortBusyBox{{"Port is busy", "Port error"}};

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

}  // namespace

TEST_F(RegisterCommandTest, SendsTheFrameOfEveryExample) {
  // A capture answer would wait in the queue for the next read; this board
  // answers captures with nothing.
  BoardOptions options;
  options.captureBytes = 0;
  PtyBoard board(options);
  TComPort port = PortOn(board.PortPath());
  for (const FrameExample& example : FrameExamples) {
    board.ClearReceived();
    Send(port, example.command, example.address, example.value);
    EXPECT_EQ(ReceivedBytes(board, example.frame.size()), example.frame) << example.what;
    EXPECT_EQ(RegisterFrame(example.command, example.address, example.value), example.frame)
        << example.what;
  }
  EXPECT_FALSE(port.Opened);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(RegisterCommandTest, ShowsTheAnswerAsTheAccessModeAsks) {
  PtyBoard board;
  TComPort port = PortOn(board.PortPath());

  // A wide read gathers registers 4 to 7 into answer bytes 2 to 5.
  SetRegisters(board, 4, {0xFF, 0xFF, 0xFF, 0xFF});
  EXPECT_EQ(Send(port, CommandRead, 400, 0, "get_s"), Texts{"-1"});
  EXPECT_EQ(Send(port, CommandRead, 400, 0, "get_u"), Texts{"4294967295"});
  EXPECT_EQ(Send(port, CommandRead, 400, 0, "set"), Texts{});
  SetRegisters(board, 4, {0x80, 0x00, 0x00, 0x00});
  EXPECT_EQ(Send(port, CommandRead, 400, 0, "get_s"), Texts{"-2147483648"});
  EXPECT_EQ(Send(port, CommandRead, 400, 0, "get_u"), Texts{"2147483648"});
  // A short read answers 00 00 00 FF: the value is not an 8-bit signed one.
  board.SetRegister(7, 0xFF);
  EXPECT_EQ(Send(port, CommandRead, 7, 0, "get_s"), Texts{"255"});

  EXPECT_FALSE(port.Opened);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(RegisterCommandTest, ASilentBoardGivesOneTimeOutWhileThePortIsOpen) {
  BoardOptions options;
  options.silent = true;
  PtyBoard board(options);
  TComPort port = PortOn(board.PortPath());
  bool openDuringBox = false;
  SetMessageBoxPresenter([&](const MessageBoxRequest& box) {
    boxes.emplace_back(box.text, box.caption);
    openDuringBox = port.Opened;
  });

  EXPECT_EQ(Send(port, CommandRead, 7, 0, "get_u"), Texts{"TimeOut"});
  EXPECT_EQ(boxes, TimeoutBox);
  EXPECT_TRUE(openDuringBox);
  EXPECT_FALSE(port.Opened);
}

TEST_F(RegisterCommandTest, AMissingPortIsBusyAndThenTimesOut) {
  TComPort port = PortOn("/dev/tarnwick-no-such-port");
  EXPECT_EQ(Send(port, CommandRead, 7, 0, "get_s"), Texts{"TimeOut"});
  EXPECT_EQ(boxes, (Boxes{PortBusyBox[0], TimeoutBox[0]}));

  boxes.clear();
  EXPECT_EQ(Send(port, CommandWrite, 7, 1), Texts{});
  EXPECT_EQ(boxes, PortBusyBox);
  EXPECT_FALSE(port.Opened);
}

TEST_F(RegisterCommandTest, LeavesAPortTheCallerHoldsAsItIs) {
  PtyBoard board;
  TComPort port = PortOn(board.PortPath());
  board.SetRegister(7, 0x21);
  ASSERT_TRUE(port.Open());
  EXPECT_EQ(Send(port, CommandRead, 7, 0, "get_u", true), Texts{"33"});
  EXPECT_TRUE(port.Opened);

  ASSERT_TRUE(port.Close());
  board.ClearReceived();
  Send(port, CommandWrite, 7, 1, "set", true);
  EXPECT_FALSE(port.Opened);
  Send(port, CommandWrite, 8, 2);  // the first frame that reaches the board
  EXPECT_EQ(ReceivedBytes(board, 8), (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0x47, 0x08, 0x02, 0x00}));
  EXPECT_EQ(board.Register(7), 0x21);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(RegisterCommandTest, WithoutTheCallerHoldingItClosesThePortWhoeverOpenedIt) {
  PtyBoard board;
  TComPort port = PortOn(board.PortPath());
  ASSERT_TRUE(port.Open());
  Send(port, CommandWrite, 7, 9);
  EXPECT_EQ(boxes, PortBusyBox);
  EXPECT_EQ(ReceivedBytes(board, 8), (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0x47, 0x07, 0x09, 0x00}));
  EXPECT_FALSE(port.Opened);
}

TEST_F(RegisterCommandTest, TreatsAnAnswerShorterThanSixBytesAsNone) {
  RawPty pty;
  TComPort port = PortOn(pty.Path());
  pty.AnswerNextFrame({0xBB, 0x07, 0x00, 0x00, 0x00});
  EXPECT_EQ(Send(port, CommandRead, 7, 0, "get_u"), Texts{"TimeOut"});
  EXPECT_EQ(boxes, TimeoutBox);
  EXPECT_EQ(pty.Waiting(), 0);

  boxes.clear();
  pty.AnswerNextFrame({0xBB, 0x07, 0x00, 0x00, 0x00, 0x2A});
  EXPECT_EQ(Send(port, CommandRead, 7, 0, "get_u"), Texts{"42"});
  EXPECT_TRUE(boxes.empty());
}

TEST_F(RegisterCommandTest, TakesFortyBytesOfALongAnswerAndDropsTheRest) {
  RawPty pty;
  TComPort port = PortOn(pty.Path());
  Bytes flood(100, 0xEE);
  flood[2] = 0x12, flood[3] = 0x34, flood[4] = 0x56, flood[5] = 0x78;
  pty.AnswerNextFrame(flood);
  EXPECT_EQ(Send(port, CommandRead, 7, 0, "get_u"), Texts{"305419896"});
  EXPECT_EQ(pty.Waiting(), 0);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(RegisterCommandTest, AnAnswerThatComesTooLateIsNotTakenForTheNextOne) {
  BoardOptions slow;
  slow.answerDelay = std::chrono::milliseconds(150);
  PtyBoard board(slow);
  TComPort port = PortOn(board.PortPath());
  board.SetRegister(7, 0x11);
  board.SetRegister(8, 0x22);
  EXPECT_EQ(Send(port, CommandRead, 7, 0, "get_u"), Texts{"TimeOut"});
  ASSERT_TRUE(port.Open());
  for (int i = 0; i < 1000 && port.InQueueCount() < 6; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  ASSERT_EQ(port.InQueueCount(), 6);  // register 7's answer has come
  ASSERT_TRUE(port.Close());
  EXPECT_EQ(Send(port, CommandRead, 8, 0, "get_u"), Texts{"TimeOut"});
  EXPECT_EQ(boxes, (Boxes{TimeoutBox[0], TimeoutBox[0]}));
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
