// The terminal: the menu keystroke, and typed lines on a terminal.
#pragma once

#include <sys/types.h>

#include <cstddef>

// Takes one key for the menu and echoes it when it is printable; returns its
// byte, or kEndOfInput once input has ended (the terminal's end-of-file key,
// normally Ctrl-D, included).
//
// On a terminal the key comes straight from the terminal, without waiting for
// Enter and without touching the dialogues' buffered input. A key that sends
// an escape sequence (arrows, function keys, Alt and a key) or Esc alone is one
// key: its bytes are all taken and kEscape is returned. Otherwise the key is
// the next byte of the buffered input that is not white space.
int read_key();

// On a terminal: one line typed after `prompt` (already shown), edited with
// the usual keys and echoed by the program; its text and "\n" go to `into`,
// never more than `capacity` bytes. No byte after its Enter is taken. Returns
// the bytes stored, 0 at the end of input (the end-of-file key on an empty
// line), -1 on a read error.
//
// While either waits, the terminal is in key mode (no ICANON, ECHO or ICRNL;
// signal keys still signal); the previous mode comes back right after, also
// when a signal ends or stops the process meanwhile, and the prompt is shown
// again when it resumes.
ssize_t read_terminal_line(char* into, std::size_t capacity, const char* prompt);
