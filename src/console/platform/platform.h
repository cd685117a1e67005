// The seam between the program and its platform (one folder each, chosen by
// the build): standard input and output, the terminal or console, and its
// encoding. What the platform needs is passed in; failures come back as results.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "console/terminal/terminal_port.h"

// Readies the console before anything is read or written; what it changes goes
// back at exit. The program's rows are shown on standard output, or else on
// the terminal it reads.
void start_console(bool rows_on_standard_output);

// The program is ending: the console goes back as found, and is not taken again.
void end_console();

// The encoding the console shows and types; for output that is no console,
// the one its readers expect.
Console_Encoding choose_console_encoding(bool output_is_console);

// Text in another encoding; false when it is not text of `from`, or some
// character has no form in `to`.
bool convert_text(std::string_view text, Console_Encoding from, Console_Encoding to,
                  std::string& converted);

// Whether the platform's manuals are read with man(1).
bool has_man_pages();

// What ends a line in the platform's text: "\n", or "\r\n" on Windows.
std::string_view line_end();

// A file named on the command line opened for reading: its descriptor, or -1
// with errno saying why.
inline constexpr int kStandardInput = 0;
int open_input_file(const char* path);

// The bytes read: 0 at the end, -1 on an error (errno says which). "No data
// yet" on a non-blocking input is waited for, never taken as the end.
std::ptrdiff_t read_input(int descriptor, void* into, std::size_t size);

// Whether a read would return at once: always for a file, for a pipe once its
// writer has written or gone.
bool input_has_come(int descriptor);

// What standard input is, from start_console() on: a pipe or a file; a
// terminal read key by key, its lines edited by the program; or a terminal
// that cannot move its cursor (TERM unset or "dumb"), which sends whole lines.
enum class Input_Kind { kStream, kKeys, kLines };
Input_Kind standard_input_kind();

bool standard_output_is_terminal();

// Writes all of `bytes`, waiting while they cannot be taken; false on a
// failure, with errno saying why.
bool write_standard_output(std::string_view bytes, Console_Encoding encoding);

// The line breaks an ending signal writes so that what the shell writes next
// stands on a row of its own.
void owe_line_breaks(int count);

// The console's keys and lines, where standard input is kKeys: read by the
// program's own key reader (POSIX) or by the console itself (Windows).
// One key for the menu, not echoed: a byte, a four-byte GB18030 character as
// its first byte, or kEscape for a key sent as several codes; kEndOfInput (the
// end-of-file key too) or kConsoleFailed. `prompt` is shown again on continuing.
int read_console_key(std::string_view prompt, Console_Encoding encoding);
// One line typed and edited, its text and "\n": 0 at the end of input,
// kConsoleFailed, or kLineNotInEncoding for a character the encoding lacks.
std::ptrdiff_t read_console_line(const Line_Request& request);
