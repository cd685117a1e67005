// The POSIX side of the platform seam: the standard descriptors, and the
// terminal's bytes for the key reader. A descriptor that would block (set
// non-blocking, or stopped by Ctrl-S) is waited for; only an error fails.
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/select.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "console/platform/platform.h"
#include "console/platform/posix/terminal_mode.h"

namespace {

constexpr int kDefaultColumns = 80;

bool would_block(int error_number) { return error_number == EAGAIN || error_number == EWOULDBLOCK; }

// Whether `fd` is ready for reading (or, `for_writing`, for writing) within
// `milliseconds` (-1: no limit), as pselect says; `open_signals` may arrive
// during the wait, and only then.
int wait_for(int fd, bool for_writing, int milliseconds, const sigset_t* open_signals = nullptr) {
  if (fd >= FD_SETSIZE) return 1;  // beyond select's reach: the read or write itself waits
  fd_set watched;
  FD_ZERO(&watched);
  FD_SET(fd, &watched);
  timespec limit{milliseconds / 1000, static_cast<long>(milliseconds % 1000) * 1000000L};
  return pselect(fd + 1, for_writing ? nullptr : &watched, for_writing ? &watched : nullptr,
                 nullptr, milliseconds < 0 ? nullptr : &limit, open_signals);
}

// At most `size` bytes: 0 at the end, -1 on an error (errno says which).
std::ptrdiff_t read_some(int fd, void* into, std::size_t size) {
  for (;;) {
    const ssize_t got = read(fd, into, size);
    if (got >= 0) return got;
    if (would_block(errno)) {
      wait_for(fd, false, -1);
    } else if (errno != EINTR) {
      return -1;
    }
  }
}

// False on a failure, with errno saying why.
bool write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t put = write(fd, bytes.data(), bytes.size());
    if (put < 0 && errno == EINTR) continue;
    if (put < 0 && would_block(errno)) {
      wait_for(fd, true, -1);
      continue;
    }
    if (put == 0) errno = EIO;
    if (put <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(put));
  }
  return true;
}

Input_Kind input_kind = Input_Kind::kStream;
// The terminal the program shows its rows and echoes on.
int rows_fd = STDOUT_FILENO;

Byte_Read read_terminal_byte(unsigned char& byte, int milliseconds, Terminal_Events& events) {
  events = take_terminal_events();
  if (events.resumed || events.resized) return Byte_Read::kSignalled;
  ready_terminal_for_reading();
  const int ready = wait_for(STDIN_FILENO, false, milliseconds, signals_open_while_waiting());
  if (ready == 0) return Byte_Read::kTimedOut;
  if (ready < 0) return errno == EINTR ? Byte_Read::kSignalled : Byte_Read::kFailed;
  const std::ptrdiff_t got = read_some(STDIN_FILENO, &byte, 1);
  if (got < 0) return Byte_Read::kFailed;
  return got == 0 ? Byte_Read::kEnded : Byte_Read::kByte;
}

bool terminal_has_input() { return wait_for(STDIN_FILENO, false, 0) > 0; }

void show_on_terminal(std::string_view bytes) { write_all(rows_fd, bytes); }

int terminal_columns() {
  winsize size{};
  if (ioctl(rows_fd, TIOCGWINSZ, &size) != 0 || size.ws_col == 0) return kDefaultColumns;
  return size.ws_col;
}

Editing_Keys terminal_editing_keys() {
  const auto key = [](cc_t value) -> unsigned char { return value == _POSIX_VDISABLE ? 0 : value; };
  return {key(mode_found().c_cc[VERASE]), key(mode_found().c_cc[VEOF])};
}

constexpr Terminal_Port kTerminal{read_terminal_byte, terminal_has_input, show_on_terminal,
                                  terminal_columns, terminal_editing_keys};

}  // namespace

// A terminal that cannot move its cursor keeps its own mode: it is read line
// by line.
void start_console(bool rows_on_standard_output) {
  rows_fd = rows_on_standard_output ? STDOUT_FILENO : STDIN_FILENO;
  if (isatty(STDIN_FILENO) != 1) return;
  input_kind = Input_Kind::kLines;
  if (terminal_moves_cursor(std::getenv("TERM")) && start_terminal(rows_fd)) {
    input_kind = Input_Kind::kKeys;
  }
}

std::string_view line_end() { return "\n"; }

int open_input_file(const char* path) { return open(path, O_RDONLY | O_CLOEXEC); }

std::ptrdiff_t read_input(int descriptor, void* into, std::size_t size) {
  return read_some(descriptor, into, size);
}

bool input_has_come(int descriptor) { return wait_for(descriptor, false, 0) > 0; }

Input_Kind standard_input_kind() { return input_kind; }

bool standard_output_is_terminal() { return isatty(STDOUT_FILENO) == 1; }

bool write_standard_output(std::string_view bytes, Console_Encoding) {
  return write_all(STDOUT_FILENO, bytes);
}

Console_Input console_input() { return {&kTerminal, nullptr, nullptr}; }
