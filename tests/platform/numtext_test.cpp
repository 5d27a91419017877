#include "platform/numtext.h"

#include <gtest/gtest.h>

#include <cfloat>

#include "platform/errors.h"

TEST(ParseIntegerText, ReadsDecimalAndPrefixedHexadecimal) {
  EXPECT_EQ(ParseIntegerText("115200"), 115200);
  EXPECT_EQ(ParseIntegerText(" \t-12"), -12);
  EXPECT_EQ(ParseIntegerText("+7"), 7);
  EXPECT_EQ(ParseIntegerText("$1C200"), 115200);
  EXPECT_EQ(ParseIntegerText("0x1c200"), 115200);
  EXPECT_EQ(ParseIntegerText("0XfF"), 255);
  EXPECT_EQ(ParseIntegerText("-$10"), -16);
  EXPECT_EQ(ParseIntegerText("  -0x10"), -16);
  EXPECT_EQ(ParseIntegerText("0"), 0);
}

TEST(ParseIntegerText, RefusesTextThatIsNotOneWholeInteger) {
  for (const char* text : {"", "  ", "+", "-", "$", "0x", "12a", "12 ", "1 2", "- 1", "--1", "0x0x1",
                           "$-1", "1.5", "1e3", "x10", "$G"})
    EXPECT_EQ(ParseIntegerText(text), std::nullopt) << '"' << text << '"';
}

TEST(ParseIntegerText, TakesABareXOnlyWhenAsked) {
  EXPECT_EQ(ParseIntegerText("x40"), std::nullopt);
  EXPECT_EQ(ParseIntegerText("x40", true), 64);
  EXPECT_EQ(ParseIntegerText(" -X40", true), -64);
  EXPECT_EQ(ParseIntegerText("0x40", true), 64);
  EXPECT_EQ(ParseIntegerText("x", true), std::nullopt);
}

TEST(ParseIntegerText, KeepsToTheInt64Range) {
  EXPECT_EQ(ParseIntegerText("9223372036854775807"), INT64_MAX);
  EXPECT_EQ(ParseIntegerText("-9223372036854775808"), INT64_MIN);
  EXPECT_EQ(ParseIntegerText("-$8000000000000000"), INT64_MIN);
  EXPECT_EQ(ParseIntegerText("9223372036854775808"), std::nullopt);
  EXPECT_EQ(ParseIntegerText("-9223372036854775809"), std::nullopt);
  EXPECT_EQ(ParseIntegerText("$10000000000000000"), std::nullopt);
}

TEST(ParseDecimalText, ReadsSignDigitsDecimalPartAndExponent) {
  EXPECT_EQ(ParseDecimalText("1.5"), 1.5);
  EXPECT_EQ(ParseDecimalText(" \t-2.5e3  "), -2500.0);
  EXPECT_EQ(ParseDecimalText("+1E+2"), 100.0);
  EXPECT_EQ(ParseDecimalText("5."), 5.0);
  EXPECT_EQ(ParseDecimalText(".5"), 0.5);
  EXPECT_EQ(ParseDecimalText("1e-3"), 0.001);
  EXPECT_EQ(ParseDecimalText("007"), 7.0);
}

TEST(ParseDecimalText, RefusesEverythingElse) {
  for (const char* text : {"", " ", ".", "+", "-.", "e5", "1e", "1e+", "1.5.5", "1,5", "1 5", "- 1",
                           "inf", "-INF", "nan", "0x1p3", "1.5f", "$10", "1e5.0"})
    EXPECT_EQ(ParseDecimalText(text), std::nullopt) << '"' << text << '"';
}

TEST(ParseFloatText, ReadsTheFirstCommaAsADecimalPoint) {
  EXPECT_EQ(ParseFloatText("1,5"), 1.5L);
  EXPECT_EQ(ParseFloatText("-10000"), -10000.0L);
  EXPECT_EQ(ParseFloatText(" 2.5E2 "), 250.0L);
#ifndef _WIN32
  // Extended precision: the text converts straight to long double. The
  // Windows runtimes read long double text at double precision only.
  EXPECT_EQ(ParseFloatText("0.1"), 0.1L);
  EXPECT_NE(ParseFloatText("0.1"), static_cast<long double>(0.1));
#endif
}

TEST(ParseFloatText, NamesTheCommaReplacedTextWhenItFails) {
  const auto messageOf = [](const std::string& text) {
    try {
      ParseFloatText(text);
    } catch (const ConversionError& error) {
      return std::string(error.what());
    }
    return std::string("no error");
  };
  EXPECT_EQ(messageOf("1,5,5"), "'1.5,5' is not a valid floating point value");
  EXPECT_EQ(messageOf("abc"), "'abc' is not a valid floating point value");
  EXPECT_EQ(messageOf(""), "'' is not a valid floating point value");
  EXPECT_EQ(messageOf("-1.79769313486232E308"),  // beyond double
            "'-1.79769313486232E308' is not a valid floating point value");
}

TEST(FormatNumber, WritesTheShortestFifteenDigitForm) {
  EXPECT_EQ(FormatNumber(10000), "10000");
  EXPECT_EQ(FormatNumber(-10000), "-10000");
  EXPECT_EQ(FormatNumber(150), "150");
  EXPECT_EQ(FormatNumber(0), "0");
  EXPECT_EQ(FormatNumber(-0.0), "0");
  EXPECT_EQ(FormatNumber(0.1), "0.1");
  EXPECT_EQ(FormatNumber(2.5), "2.5");
  EXPECT_EQ(FormatNumber(1.0 / 3), "0.333333333333333");
  EXPECT_EQ(FormatNumber(123456789012345678.0), "1.23456789012346E17");
}

TEST(FormatNumber, UsesExponentFormBelowMinusFourAndFromFifteen) {
  EXPECT_EQ(FormatNumber(1e-10), "1E-10");
  EXPECT_EQ(FormatNumber(-1.5e20), "-1.5E20");
  EXPECT_EQ(FormatNumber(0.0001), "0.0001");
  EXPECT_EQ(FormatNumber(0.00001), "1E-5");
  EXPECT_EQ(FormatNumber(1e14), "100000000000000");
  EXPECT_EQ(FormatNumber(1e15), "1E15");
  EXPECT_EQ(FormatNumber(999999999999999.0), "999999999999999");
  EXPECT_EQ(FormatNumber(9999999999999999.0), "1E16");
  EXPECT_EQ(FormatNumber(1.25e100), "1.25E100");
}

TEST(FormatNumber, ReadsBackThroughParseDecimalText) {
  for (double value : {0.1, -2.5, 1e-10, 1.5e20, 12345.678, 150.0, DBL_MAX, -DBL_MAX})
    EXPECT_EQ(ParseDecimalText(FormatNumber(value)), value) << value;
}
