#include "console/platform/posix/descriptors.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace {

bool would_block(int error_number) { return error_number == EAGAIN || error_number == EWOULDBLOCK; }

// Waits for `events` on `fd`, retrying after signals.
void wait_until(int fd, short events) {
  pollfd watched{fd, events, 0};
  while (poll(&watched, 1, -1) < 0 && errno == EINTR) {
  }
}

}  // namespace

Wait_Result wait_to_read(int fd, int milliseconds, const sigset_t* open_signals) {
  pollfd watched{fd, POLLIN, 0};
  timespec limit{milliseconds / 1000, static_cast<long>(milliseconds % 1000) * 1000000L};
  const int ready = ppoll(&watched, 1, milliseconds < 0 ? nullptr : &limit, open_signals);
  if (ready > 0) return Wait_Result::kReady;
  if (ready == 0) return Wait_Result::kTimedOut;
  return errno == EINTR ? Wait_Result::kInterrupted : Wait_Result::kFailed;
}

bool has_input(int fd) {
  pollfd watched{fd, POLLIN, 0};
  return poll(&watched, 1, 0) > 0;
}

std::ptrdiff_t read_some(int fd, void* into, std::size_t size) {
  for (;;) {
    const ssize_t got = read(fd, into, size);
    if (got >= 0) return got;
    if (would_block(errno)) {
      wait_until(fd, POLLIN);
    } else if (errno != EINTR) {
      return -1;
    }
  }
}

bool write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t put = write(fd, bytes.data(), bytes.size());
    if (put < 0 && errno == EINTR) continue;
    if (put < 0 && would_block(errno)) {
      wait_until(fd, POLLOUT);
      continue;
    }
    if (put == 0) errno = EIO;
    if (put <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(put));
  }
  return true;
}
