// What reading a console's keys and lines takes and gives, on every platform;
// and what the key reader needs of a terminal, given by the POSIX platform:
// bytes typed, the signals that came meanwhile, and a place to show what it
// draws.
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

// The most a line typed may hold.
inline constexpr std::size_t kMaxLineBytes = 4095;

struct Line_Request {
  char* into;
  std::size_t capacity;     // at least 2: the line and its "\n"
  std::string_view prompt;  // all that stands on the cursor's row before the line
  Console_Encoding encoding;
  void (*shown)(int line_breaks_below);         // after each drawing: breaks to get below it
  std::size_t first_field_capacity = SIZE_MAX;  // bytes before the line's first tab
};

// The terminal's own keys for erasing a character and for the end of input;
// 0 where it has none.
struct Editing_Keys {
  unsigned char erase = 0;
  unsigned char end_of_file = 0;
};

// Seen while waiting: the program was continued in the foreground (what it
// had drawn belongs on screen again), or the window was resized.
struct Terminal_Events {
  bool resumed = false;
  bool resized = false;
};

enum class Byte_Read { kByte, kTimedOut, kSignalled, kEnded, kFailed };

struct Terminal_Port {
  // One byte typed, within `milliseconds` (-1: as long as it takes).
  // kSignalled, with `events` (maybe none), when a signal came first: ask
  // again. kFailed with errno set.
  Byte_Read (*read_byte)(unsigned char& byte, int milliseconds, Terminal_Events& events);
  // Whether a byte can be read at once.
  bool (*has_input)();
  // Writes to the terminal; an echo that is lost loses no input.
  void (*show)(std::string_view bytes);
  int (*columns)();
  Editing_Keys (*editing_keys)();
};
