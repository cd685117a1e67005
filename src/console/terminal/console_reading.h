// What reading a console's keys and lines takes and gives, on every platform.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "console/terminal/console_encoding.h"

// A key that arrives as several codes (arrows, function keys, Alt and a key).
inline constexpr unsigned char kEscape = 0x1b;

// What a read gives instead of a key or a line.
inline constexpr int kEndOfInput = -1;
inline constexpr int kConsoleFailed = -2;      // errno says why
inline constexpr int kLineNotInEncoding = -3;  // the line is dropped, never stored with a stand-in

struct Line_Request {
  char* into;
  std::size_t capacity;     // at least 2: the line and its "\n"
  std::string_view prompt;  // all that stands on the cursor's row before the line
  Console_Encoding encoding;
  void (*shown)(int line_breaks_below);         // after each drawing: breaks to get below it
  std::size_t first_field_capacity = SIZE_MAX;  // bytes before the line's first tab
};
