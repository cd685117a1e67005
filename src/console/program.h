// The program's life on the console: its start, and every way it ends. A
// failure is never reported as success.
#pragma once

// Readies the console for the run, and the texts in the encoding it uses.
void start_program();

// Writes out everything and ends with status 0, the cursor at the start of a row.
[[noreturn]] void finish_program();

// Writes out what is buffered; when that fails, ends with status 1 and one line
// on standard error with errno's reason (none where the output's reader has gone).
void flush_output_or_fail();

// The same end, for a read that failed.
[[noreturn]] void fail_reading();

// The same end for a file named that cannot be opened or read, and for input
// that is a spreadsheet workbook, not text (what to save it as instead).
[[noreturn]] void fail_file(const char* name);
[[noreturn]] void refuse_workbook(const char* name);
