// The program's life on the console: its start, and every way it ends. A
// failure is never reported as success.
#pragma once

// Readies the console for the run, and the texts in the encoding it uses.
void start_program();

// Writes out everything and ends the program with status 0. On a terminal the
// cursor is left at the start of a row, so that what the shell writes next
// stands on its own.
[[noreturn]] void finish_program();

// End the program with status 1 and one line on standard error, with errno's
// reason, for a read or a write that failed. A reader of the output that has
// gone is told nothing.
[[noreturn]] void fail_reading();
[[noreturn]] void fail_writing();
