// What the two Windows files of the platform share: the console's handles
// and its Chinese code page.
#pragma once

#include <windows.h>

inline constexpr UINT kChineseCodePage = 936;
inline constexpr UINT kGb18030CodePage = 54936;

// Whether the standard handle is a console rather than a file or a pipe.
inline bool is_console(DWORD standard_handle) {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(standard_handle), &mode) != 0;
}
