// The Telnet stream of a port server: names of network ports, and the parser
// that takes data and commands apart however TCP cuts the stream.
#include "link/netportname.h"
#include "link/telnet.h"

#include <gtest/gtest.h>

using namespace telnet;

TEST(NetPortName, TakesAHostANumberAndIpv6InBracketsAndNothingElse) {
  struct Row {
    const char* name;
    bool comPortControl;
    const char* host;
    int port;
    const char* endpoint;
  };
  const Row rows[] = {
      {"rfc2217://rack-3.lab:3000", true, "rack-3.lab", 3000, "rack-3.lab:3000"},
      {"socket://10.0.0.5:65535", false, "10.0.0.5", 65535, "10.0.0.5:65535"},
      {"rfc2217://[::1]:1", true, "::1", 1, "[::1]:1"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const auto parsed = ParseNetPortName(row.name);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->comPortControl, row.comPortControl);
    EXPECT_EQ(parsed->host, row.host);
    EXPECT_EQ(parsed->port, row.port);
    EXPECT_EQ(parsed->Endpoint(), row.endpoint);
  }
  for (const char* name : {"rfc2217://::1:3000" /* IPv6 wants brackets */, "rfc2217://host",
                           "rfc2217://host:", "rfc2217://:3000", "rfc2217://host:0",
                           "rfc2217://host:65536", "rfc2217://host:30x", "rfc2217://[::1]3000",
                           "/dev/ttyUSB0"})
    EXPECT_FALSE(ParseNetPortName(name)) << name;
  // A mistyped network port is still one: it must not be opened as a device.
  EXPECT_TRUE(IsNetworkPortName("socket://nohost"));
  EXPECT_FALSE(IsNetworkPortName("COM3"));
}

TEST(TelnetParser, SplitsDataFromCommandsWhereverASegmentEnds) {
  const std::vector<std::uint8_t> data{0x01, 0xFF, 0x02, 0xFF, 0xFF, 0x00};
  std::vector<std::uint8_t> stream;
  AppendEscaped(stream, data.data(), 2);  // 0x01, 0xFF doubled
  stream.insert(stream.end(), {Iac, Will, OptionBinary, Iac, 241 /* NOP */, Iac, Do, 1});
  AppendEscaped(stream, data.data() + 2, 3);
  // A com port answer: SET-BAUDRATE's, 0x0000FFFF baud, its 0xFF bytes doubled.
  stream.insert(stream.end(), {Iac, Sb, OptionComPort, 101, 0, 0, Iac, Iac, Iac, Iac, Iac, Se});
  AppendEscaped(stream, data.data() + 5, 1);
  const std::vector<Command> commands{
      {Will, OptionBinary, {}}, {Do, 1, {}}, {Sb, OptionComPort, {101, 0, 0, 0xFF, 0xFF}}};

  for (std::size_t split = 0; split <= stream.size(); ++split) {
    SCOPED_TRACE(split);
    Parser parser;
    std::vector<std::uint8_t> received;
    std::vector<Command> heard;
    parser.Feed(stream.data(), split, received, heard);
    parser.Feed(stream.data() + split, stream.size() - split, received, heard);
    EXPECT_EQ(received, data);
    EXPECT_EQ(heard, commands);
  }
  Parser parser;  // and a byte a segment
  std::vector<std::uint8_t> received;
  std::vector<Command> heard;
  for (const std::uint8_t byte : stream) parser.Feed(&byte, 1, received, heard);
  EXPECT_EQ(received, data);
  EXPECT_EQ(heard, commands);
}
