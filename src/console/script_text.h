// A script, standard input that is no terminal, as the reader reads it. A
// byte-order mark at its very start says what it is in, and is no answer:
// UTF-8, or UTF-16 (either order), which is read as UTF-8. Without a mark,
// the first line that holds a byte of 0x80 or more decides. Where the texts
// are GBK or GB18030: UTF-8 where it reads as Chinese in UTF-8 (the rule of
// editors that try UTF-8 before the local code page, made stricter), else the
// console's encoding. Where they are UTF-8: GB18030 where it is no UTF-8 but
// reads as GB18030 (a file saved on a Chinese Windows), else UTF-8.
#pragma once

#include <cstddef>

#include "console/terminal/console_encoding.h"

// The bytes a script begins with, as many as it takes to tell a mark or the
// signature of a spreadsheet workbook: no more than the first key needs, so
// that a script driven one answer at a time never waits here.
struct Script_Opening {
  char bytes[8];
  std::size_t length = 0;
};

// Reads the opening of `descriptor`; false on an error (errno says which).
bool read_opening(int descriptor, Script_Opening& opening);

// Whether a script that opens so is a workbook (a zip file or a compound
// document, as .xlsx and .xls are) rather than text.
bool is_workbook(const Script_Opening& opening);

// Starts reading a script afresh, from its `opening` where that was read
// already. A workbook is refused at its first bytes, and ends the program.
void start_script(Console_Encoding console, int descriptor, const Script_Opening* opening,
                  const char* name);

// At most `size` bytes (at least 4): 0 at the end, -1 on an error (errno
// says which). The deciding line is read whole before it is judged, up to 4
// KiB beyond the room of its read, which later reads give out first.
std::ptrdiff_t read_script(char* into, std::size_t size);

// What the script's text is in, as far as it is known.
Console_Encoding script_encoding();

// Whether the script is UTF-16, read as UTF-8 in which a surrogate without its
// pair is the byte 0xFF, which no answer takes.
bool script_from_utf16();
