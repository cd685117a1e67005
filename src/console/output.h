// Standard output, through one buffer that is written out whenever the program
// is about to wait for input and at the end; and, where standard output is a
// terminal, the text of the row the cursor stands on.
#pragma once

#include <cstddef>
#include <string_view>

// Once the console is ready: what standard output is, decided here once, and
// how its lines end.
void start_output();
bool output_is_terminal();

// Adds text to the output; each "\n" becomes the platform's line end.
void put_text(std::string_view text);
void put_number(std::size_t number);

// The dialogue's own text: the menu, the echo of its keys and the prompts.
// Not shown while a file named on the command line is read.
void put_dialogue(std::string_view text);
void show_dialogue(bool shown);
// A prompt, kept to be shown again below a line typed that gave no answer.
void put_prompt(std::string_view prompt);
void put_prompt_again();

// What stands on the screen's current row: the text written since the last
// line break, or since a line typed on the terminal ended the row. Empty where
// standard output is no terminal.
std::string_view text_on_row();
void row_ended();

// Writes out what is buffered. False once a write has failed (a full disk, a
// closed file), with errno saying why; what is put after that is dropped.
[[nodiscard]] bool flush_output();

// On a terminal, a line break when the cursor stands after text on its row.
void end_row_on_terminal();
