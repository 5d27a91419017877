// A cell's identity and the meaning of its texts, without widgets.
#include "panel/panelcell.h"

#include <gtest/gtest.h>

#include "platform/errors.h"

namespace {

std::string FailureOf(std::string_view caption) {
  try {
    ParseRegisterAddress(caption);
  } catch (const ConversionError& error) {
    return error.what();
  }
  return "no failure";
}

}  // namespace

TEST(PanelCell, IsNumberedDownEachColumnAndNamedByColumnThenRow) {
  struct Case {
    PanelCell cell;
    int index;
    const char* suffix;
    const char* freshCaption;
  };
  for (const Case& c : {Case{{0, 0}, 0, "00", "0 | noname"}, Case{{0, 11}, 11, "011", "11 | noname"},
                        Case{{1, 0}, 12, "10", "12 | noname"}, Case{{1, 1}, 13, "11", "13 | noname"},
                        Case{{1, 11}, 23, "111", "23 | noname"}, Case{{7, 11}, 95, "711", "95 | noname"}}) {
    EXPECT_EQ(c.cell.CellIndex(), c.index) << c.suffix;
    EXPECT_EQ(c.cell.CellSuffix(), c.suffix);
    EXPECT_EQ(c.cell.FreshCaption(), c.freshCaption);
  }
}

TEST(PanelCell, SuffixOfAControlNameIsAtMostThreeCharactersAfterItsPrefix) {
  EXPECT_EQ(SuffixOfControlName("btnDynamic111"), "111");
  EXPECT_EQ(SuffixOfControlName("edtDynamic11"), "11");
  EXPECT_EQ(SuffixOfControlName("boxDynamic00"), "00");
  EXPECT_EQ(SuffixOfControlName("boxDynamic7110"), "711");
  EXPECT_EQ(SuffixOfControlName("boxDynamic"), "");
  EXPECT_EQ(SuffixOfControlName("N3"), "");
}

TEST(PanelCell, OnlyTheTwoReadModesSurviveAsAccessModes) {
  EXPECT_EQ(NormalisedAccessMode("get_s"), "get_s");
  EXPECT_EQ(NormalisedAccessMode("get_u"), "get_u");
  for (const char* other : {"set", "get", "GET_S", "Get_u", "", " get_s", "get_s "})
    EXPECT_EQ(NormalisedAccessMode(other), "set") << '"' << other << '"';
}

TEST(PanelCell, CountsAsChangedWhenAnyTextDiffersExactlyFromAFreshCell) {
  const PanelCell cell{1, 1};
  EXPECT_FALSE(IsChanged(cell, {"13 | noname", "set", "0"}));
  EXPECT_TRUE(IsChanged(cell, {"13 | NONAME", "set", "0"}));
  EXPECT_TRUE(IsChanged(cell, {"13 | noname ", "set", "0"}));
  EXPECT_TRUE(IsChanged(cell, {"", "set", "0"}));
  EXPECT_TRUE(IsChanged(cell, {"13 | noname", "get_u", "0"}));
  EXPECT_TRUE(IsChanged(cell, {"13 | noname", "set", "5"}));
  EXPECT_TRUE(IsChanged(cell, {"13 | noname", "set", ""}));
  // Another cell's fresh caption is not this one's.
  EXPECT_TRUE(IsChanged(PanelCell{1, 3}, {"13 | noname", "set", "0"}));
}

TEST(ParseRegisterAddress, ReadsTheIntegerBeforeTheFirstSeparator) {
  EXPECT_EQ(ParseRegisterAddress("64 | A"), 64);
  EXPECT_EQ(ParseRegisterAddress("0x40 | A"), 64);
  EXPECT_EQ(ParseRegisterAddress("$40 | A"), 64);
  EXPECT_EQ(ParseRegisterAddress("0X40 | A"), 64);
  EXPECT_EQ(ParseRegisterAddress("x40 | A"), 64);
  EXPECT_EQ(ParseRegisterAddress("X4a | A"), 74);
  EXPECT_EQ(ParseRegisterAddress("-1 | A"), -1);
  EXPECT_EQ(ParseRegisterAddress("  +7 | A"), 7);
  EXPECT_EQ(ParseRegisterAddress("64 | A | B"), 64);
  EXPECT_EQ(ParseRegisterAddress(PanelCell{7, 11}.FreshCaption()), 95);
  EXPECT_EQ(ParseRegisterAddress("2147483647 | A"), 2147483647);
  EXPECT_EQ(ParseRegisterAddress("-2147483648 | A"), -2147483647 - 1);
  EXPECT_EQ(ParseRegisterAddress("$7FFFFFFF | A"), 2147483647);
}

TEST(ParseRegisterAddress, FailsNamingTheTextBeforeTheSeparator) {
  EXPECT_EQ(FailureOf("noname"), "'' is not a valid integer value");
  EXPECT_EQ(FailureOf("64| A"), "'' is not a valid integer value");
  EXPECT_EQ(FailureOf(" | A"), "'' is not a valid integer value");
  EXPECT_EQ(FailureOf("abc | A"), "'abc' is not a valid integer value");
  EXPECT_EQ(FailureOf("6 4 | A"), "'6 4' is not a valid integer value");
  EXPECT_EQ(FailureOf("64  | A"), "'64 ' is not a valid integer value");
  EXPECT_EQ(FailureOf("2147483648 | A"), "'2147483648' is not a valid integer value");
  EXPECT_EQ(FailureOf("-2147483649 | A"), "'-2147483649' is not a valid integer value");
  EXPECT_EQ(FailureOf("$FFFFFFFF | A"), "'$FFFFFFFF' is not a valid integer value");
}
