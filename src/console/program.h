// The program's life on the console: its start, and every way it ends. A
// failure is never reported as success.
#pragma once

// Readies the console for the run, and the texts in the encoding it uses.
void start_program();

// Writes out everything and ends the program with status 0. On a terminal the
// cursor is left at the start of a row, so that what the shell writes next
// stands on its own.
[[noreturn]] void finish_program();

// Writes out what is buffered; when that fails, ends the program with status
// 1 and one line on standard error with errno's reason. A reader of the
// output that has gone is told nothing.
void flush_output_or_fail();

// The same end, for a read that failed.
[[noreturn]] void fail_reading();

// The same end for a file named on the command line that cannot be opened or
// read: its name, and errno's reason.
[[noreturn]] void fail_file(const char* name);

// The same end for input that is a spreadsheet workbook, not text: what to
// save it as instead.
[[noreturn]] void refuse_workbook(const char* name);
