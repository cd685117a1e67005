#include "console/raw_input.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace {

// -1 waits as long as it takes. A signal ends the wait early; callers try again.
int wait_for_input(int milliseconds) {
  pollfd watched{STDIN_FILENO, POLLIN, 0};
  return poll(&watched, 1, milliseconds);
}

}  // namespace

ssize_t read_standard_input(void* into, std::size_t size) {
  for (;;) {
    const ssize_t got = read(STDIN_FILENO, into, size);
    if (got >= 0) return got;
    if (errno == EAGAIN || errno == EWOULDBLOCK) {
      wait_for_input(-1);
    } else if (errno != EINTR) {
      return -1;
    }
  }
}

bool standard_input_ready_within(int milliseconds) {
  for (;;) {
    const int ready = wait_for_input(milliseconds);
    if (ready >= 0) return ready > 0;
    if (errno != EINTR) return false;
  }
}

bool standard_input_is_terminal() { return isatty(STDIN_FILENO) == 1; }
