#pragma once
// Windows-1252 at the file boundary: files of the suite are 8-bit text in that
// code page, strings in memory are UTF-8.

#include <string>
#include <string_view>

std::string Win1252ToUtf8(std::string_view bytes);
// Characters that Windows-1252 cannot hold become "?"; invalid UTF-8 bytes are
// taken as Windows-1252 bytes already.
std::string Utf8ToWin1252(std::string_view text);
