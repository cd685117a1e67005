// Keys and lines from a terminal the program drives itself: bytes into keys
// (sequences and their pauses, GB18030's four-byte characters), and the line
// loop that feeds them to the editor and redraws after a continue or a resize.
#pragma once

#include "console/terminal/terminal_port.h"

// One key for the menu, not echoed: a byte, a four-byte GB18030 character
// given as its first byte, or kEscape for a key that arrives as a sequence.
// kEndOfInput at the end of input or the terminal's end-of-file key,
// kConsoleFailed on a read error. `prompt` is shown again on resuming.
int read_terminal_key(const Terminal_Port& port, std::string_view prompt,
                      Console_Encoding encoding);

// One line typed after `prompt` and edited there: the bytes stored in `into`,
// its text and "\n" (at the end of input, the text alone); nothing typed after
// its Enter is taken. 0 for the end-of-file key on an empty line, or
// kConsoleFailed.
std::ptrdiff_t read_terminal_line(const Terminal_Port& port, const Line_Request& request);
