// The menu keystroke.
#pragma once

// Takes one key for the menu and echoes it when it is printable; returns its
// byte, or kEndOfInput once input has ended (the console's end-of-file key
// included).
//
// On a terminal or console the key comes straight from it, without waiting
// for Enter and without touching the dialogues' buffered input; a key that
// arrives as several codes (arrows, function keys) is one key, kEscape.
// Otherwise the key is the next byte of the buffered input that is not white
// space.
int read_key();
