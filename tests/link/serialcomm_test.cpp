// The rule that turns one value of the Windows registry's serial device list
// into a port-list entry.
#include "link/serialcomm.h"

#include <gtest/gtest.h>

using namespace std::string_view_literals;

TEST(SerialCommEntry, TakesTheDeviceBehindTheFirstMarkerOrTheWholeName) {
  EXPECT_EQ(SerialCommEntry("\\Device\\Serial0", "COM3\0"sv), "COM3  Serial0");
  EXPECT_EQ(SerialCommEntry("\\Device\\VCP0", "COM12\0"sv), "COM12  VCP0");
  // What precedes the marker goes with it; a second marker stays.
  EXPECT_EQ(SerialCommEntry("X\\Device\\usb\\Device\\1", "COM4\0"sv), "COM4  usb\\Device\\1");
  // Without the marker, in its exact letter case, the name is kept whole.
  EXPECT_EQ(SerialCommEntry("Silabser0", "COM5\0"sv), "COM5  Silabser0");
  EXPECT_EQ(SerialCommEntry("\\device\\Serial1", "COM6\0"sv), "COM6  \\device\\Serial1");
  EXPECT_EQ(SerialCommEntry("\\Device\\", "COM7\0"sv), "COM7  ");
  EXPECT_EQ(SerialCommEntry("", "COM8\0"sv), "COM8  ");
}

TEST(SerialCommEntry, EndsThePortNameAtItsTerminatingZeroOnly) {
  EXPECT_EQ(SerialCommEntry("\\Device\\Serial0", ""sv), "  Serial0");
  EXPECT_EQ(SerialCommEntry("\\Device\\Serial0", "\0"sv), "  Serial0");
  // Data stored without its zero keeps its last character.
  EXPECT_EQ(SerialCommEntry("\\Device\\Serial0", "COM3"sv), "COM3  Serial0");
  // Padding, or a second string, after the zero is not part of the name.
  EXPECT_EQ(SerialCommEntry("\\Device\\Serial0", "COM3\0\0\0"sv), "COM3  Serial0");
  EXPECT_EQ(SerialCommEntry("\\Device\\Serial0", "COM3\0COM9\0"sv), "COM3  Serial0");
}

TEST(SerialCommEntry, KeepsDataThatFillsTheWholeBuffer) {
  const std::string full(256, 'C');
  EXPECT_EQ(SerialCommEntry("\\Device\\Serial0", full), full + "  Serial0");
  const std::string longName = "\\Device\\" + std::string(247, 'n');
  EXPECT_EQ(SerialCommEntry(longName, "COM1\0"sv), "COM1  " + std::string(247, 'n'));
}
