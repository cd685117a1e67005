// Raw reads of standard input, for the buffered reader and the terminal keys.
#pragma once

#include <sys/types.h>

#include <cstddef>

// As read(2) on standard input, except that a read interrupted by a signal is
// tried again and an input left non-blocking is waited for: "no data yet" is
// never the end. Returns the bytes read, 0 at the end of input, -1 on an error.
ssize_t read_standard_input(void* into, std::size_t size);

// Whether standard input has something to read within `milliseconds`.
bool standard_input_ready_within(int milliseconds);

bool standard_input_is_terminal();
