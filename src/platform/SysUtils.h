#pragma once
// String helpers with the framework's semantics. Strings are UTF-8 in memory.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

// A single quote before and after, every single quote inside doubled.
std::string QuotedStr(std::string_view s);

// Trim removes blanks and control characters (code <= 32) at both ends.
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);

// ASCII case mapping, as the framework's UpperCase/LowerCase.
std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);
bool SameText(std::string_view a, std::string_view b);

std::string IntToStr(int64_t value);
// Decimal, or hexadecimal after "$" or "0x". Raises EConvertError
// "'%s' is not a valid integer value".
int StrToInt(std::string_view s);
int64_t StrToInt64(std::string_view s);
bool TryStrToInt(std::string_view s, int& value);

// Fills the "%s" (and "%d", "%1:s"-style indexed) markers of fmt in order with
// args; "%%" is a percent sign. Enough for the framework's resource strings.
std::string Format(std::string_view fmt, std::initializer_list<std::string_view> args);

// Number of characters (code points) of a UTF-8 string, and the substring
// by characters, 1-based like the framework's Copy.
size_t CharLength(std::string_view s);
std::string Copy(std::string_view s, size_t index1, size_t count);
