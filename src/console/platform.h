// The seam between the program and its platform: standard input and output,
// the terminal or console with its keys and lines, and the console's
// encoding. Each platform implements all of it in its own files
// (terminal_posix.cpp with encoding_posix.cpp, terminal_windows.cpp with
// encoding_windows.cpp), chosen by the build.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "console/texts.h"

// Readies the console for the run, before anything is read or written.
void start_console();

// The encoding the console shows and types.
Console_Encoding choose_console_encoding();

// UTF-8 text in GBK; false when some character has no GBK form.
bool convert_to_gbk(std::string_view utf8, std::string& gbk);

// What ends a line in the platform's text: "\n", or "\r\n" on Windows.
std::string_view line_end();

// The bytes read from standard input into `into`: 0 at its end, -1 on an
// error (errno says which). "No data yet" on a non-blocking input is waited
// for, never taken as the end.
std::ptrdiff_t read_standard_input(void* into, std::size_t size);

bool standard_input_is_terminal();

// Writes all of `bytes` to standard output; false on a failure, with errno
// saying why.
bool write_standard_output(std::string_view bytes);

// Standard input is the console: one key for the menu, taken without Enter
// and not echoed. A key that arrives as several codes (arrows, function keys,
// Alt and a key) is one key, returned as kEscape. kEndOfInput at the end of
// input (the console's end-of-file key included); a read error ends the
// program.
int read_console_key();

// Standard input is the console: one line typed after `prompt` (already
// shown) and edited there; its text and "\n" go to `into`, at most
// `capacity` bytes, and nothing typed after its Enter is taken. Returns the
// bytes stored, 0 at the end of input, -1 on a read error (errno says which).
std::ptrdiff_t read_console_line(char* into, std::size_t capacity, const char* prompt);
