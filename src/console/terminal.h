// The menu keystroke.
#pragma once

// Takes one key for the menu and echoes it when it is printable; returns its
// byte, or kEndOfInput once input has ended (Ctrl-D on a terminal included).
//
// On a terminal the key comes straight from the terminal, without waiting for
// Enter and without touching the dialogues' buffered input: only for that one
// read are ICANON and ECHO cleared, and the previous mode comes back right
// after, also when a signal ends or stops the process meanwhile. Otherwise the
// key is the next byte of the buffered input that is not white space.
int read_key();
