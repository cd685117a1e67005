// Standard output, through one buffer that is written out whenever the program
// is about to wait for input and at the end; and, where standard output is a
// terminal, the text of the row the cursor stands on.
#pragma once

#include <string_view>

// Once the console is ready: what standard output is, and how its lines end.
void start_output();

// Adds text to the output; each "\n" becomes the platform's line end.
void put_text(std::string_view text);
void put_char(char character);

// What stands on the screen's current row: the text written since the last
// line break, or since a line typed on the terminal ended the row. Empty where
// standard output is no terminal.
std::string_view text_on_row();
void row_ended();

// Writes out what is buffered. When standard output cannot take it (a full
// disk, a closed file), the program ends at once with status 1.
void flush_output();

// The same for the program's end: false when the output failed, with errno
// saying why.
bool try_flush_output();

// On a terminal, a line break when the cursor stands after text on its row.
void end_row_on_terminal();
