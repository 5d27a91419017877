#pragma once
// The program's conversions between numbers and text. They never depend on
// the C locale: "." is always the decimal separator, whatever the machine.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Optional leading blanks, an optional sign, then decimal digits or
// hexadecimal digits after "$", "0x" or "0X" (or a bare "x" when asked);
// nothing may follow. "-$10" is -16. A value outside int64 does not convert.
std::optional<std::int64_t> ParseIntegerText(std::string_view text, bool bareXPrefix = false);

// Blanks around an optional sign, digits with an optional decimal part and an
// optional exponent ("5.", ".5" and "1e-3" convert; ".", "inf" and "1,5" not).
std::optional<double> ParseDecimalText(std::string_view text);

// Every floating-point text typed by the user: its first "," counts as ".".
// Throws ConversionError naming the text (with that comma replaced), also
// when the number lies beyond the range of double.
long double ParseFloatText(const std::string& text);

// The written number form: at most 15 significant digits, no trailing zeros,
// exponent form ("1.5E20", "1E-10") only for exponents below -4 or from 15 up.
std::string FormatNumber(double value);
