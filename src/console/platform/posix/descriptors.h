// Reads, writes and waits on the standard descriptors. A descriptor that
// would block (non-blocking, or a terminal stopped by Ctrl-S) is waited for;
// only a real error fails.
#pragma once

#include <signal.h>

#include <cstddef>
#include <string_view>

enum class Wait_Result { kReady, kTimedOut, kInterrupted, kFailed };

// Waits until `fd` has something to read, for at most `milliseconds` (-1:
// as long as it takes). With `open_signals`, those are the signals that may
// arrive during the wait and only then: one that arrives ends the wait with
// kInterrupted, so none is seen late.
Wait_Result wait_to_read(int fd, int milliseconds, const sigset_t* open_signals = nullptr);

// Whether `fd` has something to read now.
bool has_input(int fd);

// At most `size` bytes from `fd`: 0 at its end, -1 on an error (errno says
// which). Waits while there is nothing yet.
std::ptrdiff_t read_some(int fd, void* into, std::size_t size);

// All of `bytes` to `fd`; false on a failure, with errno saying why.
bool write_all(int fd, std::string_view bytes);
