// The seam between the program and its platform: standard input and output,
// the terminal or console, and the console's encoding; one folder for each
// platform, chosen by the build. The platform does platform work only: what
// it needs is passed in, and failures come back as results.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "console/terminal/terminal_port.h"

// Readies the console for the run, before anything is read or written; what
// it changes goes back at exit. `rows_on_standard_output`: the program's
// rows are shown on standard output, else on the terminal it reads.
void start_console(bool rows_on_standard_output);

// The program has begun to end: the console goes back as it was found, and
// nothing takes it again.
void end_console();

// The encoding the console shows and types; where standard output is no
// console (`output_is_console` false), the one its readers expect.
Console_Encoding choose_console_encoding(bool output_is_console);

// Text in another encoding; false when it is not text of `from`, or some
// character has no form in `to`.
bool convert_text(std::string_view text, Console_Encoding from, Console_Encoding to,
                  std::string& converted);

// Whether the platform's manuals are read with man(1).
bool has_man_pages();

// What ends a line in the platform's text: "\n", or "\r\n" on Windows.
std::string_view line_end();

// Standard input, and a file named on the command line opened for reading:
// its descriptor, or -1 with errno saying why.
inline constexpr int kStandardInput = 0;
int open_input_file(const char* path);

// The bytes read from `descriptor` into `into`: 0 at its end, -1 on an
// error (errno says which). "No data yet" on a non-blocking input is waited
// for, never taken as the end.
std::ptrdiff_t read_input(int descriptor, void* into, std::size_t size);

// Whether a read of `descriptor` would return at once, with bytes or at the
// end: always for a file, for a pipe once its writer has written.
bool input_has_come(int descriptor);

// What standard input is, from start_console() on: a pipe or a file; a
// terminal the program reads key by key and edits lines on; or a terminal that
// cannot move its cursor (TERM unset or "dumb"), which sends whole lines and
// shows what is typed itself.
enum class Input_Kind { kStream, kKeys, kLines };
Input_Kind standard_input_kind();

bool standard_output_is_terminal();

// Writes all of `bytes`, text in `encoding`, to standard output, waiting
// while it cannot be taken; false on a failure, with errno saying why.
bool write_standard_output(std::string_view bytes, Console_Encoding encoding);

// How many line breaks an ending signal writes on the terminal so that what
// the shell writes next stands on a row of its own: 0 while the cursor is at
// the start of an empty row.
void owe_line_breaks(int count);

// The console's keys and lines, where standard input is kKeys: by the
// program's own key reader over the terminal's bytes (POSIX), or by the
// console itself (Windows).
// One key for the menu, taken without Enter and not echoed: a byte, a
// four-byte GB18030 character given as its first byte, or kEscape for a key
// that arrives as several codes. kEndOfInput at the end of input, the
// console's end-of-file key included; kConsoleFailed. `prompt` is shown again
// when the program is continued.
int read_console_key(std::string_view prompt, Console_Encoding encoding);
// One line typed and edited: its text and "\n" in `request.into`; 0 at the
// end of input; kConsoleFailed; or kLineNotInEncoding for a character the
// encoding cannot hold.
std::ptrdiff_t read_console_line(const Line_Request& request);
