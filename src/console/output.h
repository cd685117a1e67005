// Standard output, through one buffer written out before every wait for input
// and at the end; on a terminal, the text of the row the cursor stands on.
#pragma once

#include <cstddef>
#include <string_view>

void start_output();  // what standard output is, and how its lines end
bool output_is_terminal();

// Adds text to the output; each "\n" becomes the platform's line end.
void put_text(std::string_view text);
void put_number(std::size_t number);

// The dialogue's own text (the menu, its keys' echo, the prompts): not shown
// while a file named on the command line is read.
void put_dialogue(std::string_view text);
void show_dialogue(bool shown);
// A prompt, kept to be shown again below a line typed that gave no answer.
void put_prompt(std::string_view prompt);
void put_prompt_again();

// The text written since the last line break or line typed; on a terminal only.
std::string_view text_on_row();
void row_ended();

// Writes out what is buffered. False once a write has failed, with errno
// saying why; what is put after that is dropped.
[[nodiscard]] bool flush_output();

// On a terminal, a line break when the cursor stands after text on its row.
void end_row_on_terminal();
