// The menu keystroke.
#pragma once

// One key for the menu, echoed when printable: its byte, or kEndOfInput once
// input has ended (the console's end-of-file key included). On a terminal or
// console it comes straight from it, without Enter and without touching the
// dialogues' buffered input; a key sent as several codes is kEscape.
// Otherwise it is the next byte of the buffered input that is not white space.
int read_key();
