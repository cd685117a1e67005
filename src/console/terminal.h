// The menu keystroke.
#pragma once

// Takes one key for the menu and echoes it when it is printable; returns its
// byte, or kEndOfInput once input has ended (the terminal's end-of-file key,
// normally Ctrl-D, included).
//
// On a terminal the key comes straight from the terminal, without waiting for
// Enter and without touching the dialogues' buffered input: only while it waits
// are ICANON and ECHO cleared, and the previous mode comes back right after,
// also when a signal ends or stops the process meanwhile. A key that sends an
// escape sequence (arrows, function keys, Alt and a key) or Esc alone is one
// key: its bytes are all taken and kEscape is returned. Otherwise the key is the
// next byte of the buffered input that is not white space.
int read_key();
