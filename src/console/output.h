// Standard output, through one buffer that is written out whenever the
// program is about to wait for input and at the end, and the end of the
// program when input or output fails: a failure is never reported as success.
#pragma once

#include <cstddef>
#include <string_view>

// Adds text to the output; each "\n" becomes the platform's line end.
void put_text(std::string_view text);
void put_char(char character);

// What stands on the screen's current row: the text written since the last
// line break, or since a line typed on the terminal ended the row.
std::string_view text_on_row();
void row_ended();

// Writes out what is buffered. When standard output cannot take it (a full
// disk, a closed file), the program ends at once with status 1 and one line on
// standard error saying why.
void flush_output();

// The same, for a caller that must tidy up before the end: false when the
// output failed, with errno saying why; then fail_writing() ends the program.
bool try_flush_output();
[[noreturn]] void fail_writing();

// Ends the program with status 1 for a read error, with errno's reason.
[[noreturn]] void fail_reading();

// On a terminal, every end leaves the cursor at the start of a row, so that
// what the shell writes next stands on its own.
// Writes out everything and ends the program with status 0.
[[noreturn]] void finish_output();
