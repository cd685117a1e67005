#include "console/output.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr const char* kProgramName = "exam_scores";

[[noreturn]] void fail(const char* what, int error_number) {
  // Straight to the descriptor: stdio's buffer for stdout may be the very thing that failed.
  char line[256];
  const int length = std::snprintf(line, sizeof line, "%s: %s: %s\n", kProgramName, what,
                                   std::strerror(error_number));
  if (length > 0) {
    const auto size = static_cast<std::size_t>(length) < sizeof line
                          ? static_cast<std::size_t>(length)
                          : sizeof line - 1;
    if (write(STDERR_FILENO, line, size) < 0) {
      // Nothing is left to tell the failure to; the status still says it.
    }
  }
  _exit(EXIT_FAILURE);  // not exit(): stdio would only try the failed write again
}

}  // namespace

bool try_flush_output() {
  const bool failed_before = std::ferror(stdout) != 0;
  errno = 0;
  if (std::fflush(stdout) == 0 && !failed_before) return true;
  if (errno == 0) errno = EIO;  // failed in an earlier write; its reason is gone
  return false;
}

void fail_writing() { fail("write error", errno != 0 ? errno : EIO); }

void flush_output() {
  if (!try_flush_output()) fail_writing();
}

void check_output() {
  if (std::ferror(stdout) != 0) flush_output();
}

void fail_reading() { fail("read error", errno != 0 ? errno : EIO); }

void finish_output() {
  flush_output();
  errno = 0;
  if (std::fclose(stdout) != 0) fail_writing();
  std::exit(EXIT_SUCCESS);
}
