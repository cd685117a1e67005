// The menu keystroke.
#pragma once

// One key for the menu, echoed when printable: its byte, or kEndOfInput once
// input has ended (the console's end-of-file key included). On a terminal or
// console it comes straight from it, without Enter and without touching the
// dialogues' buffered input; a key sent as several codes is kEscape.
// Otherwise it is the next byte of the buffered input that is not white space.
int read_key();

// In a script, when the line of the menu key just taken has cells but its
// first is no menu key (a header): its message, and the line dropped.
bool give_up_header_row();
