// The POSIX side of the platform seam. The terminal on standard input is held
// in key mode for the run: taken when the program has the foreground, given
// back for Ctrl-Z and at every end, every ending signal included, and taken
// again by the wait for a key. No handler runs inside another, none waits, and
// none takes the terminal: the mode given back is always the terminal's own. A
// descriptor that would block (non-blocking, or Ctrl-S) is waited for.
#include <fcntl.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/select.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "console/platform/platform.h"
#include "console/platform/posix/terminal_mode.h"
#include "console/terminal/key_reader.h"

termios key_mode_from(const termios& found) {
  termios mode = found;
  // IEXTEN too: else Ctrl-O (discard) freezes the output, and Ctrl-V and
  // Ctrl-Y act on their own where the system has them.
  mode.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | IEXTEN);
  // Enter arrives as "\r", so that a pasted "\r\n" is one Enter, not two.
  mode.c_iflag &= ~static_cast<tcflag_t>(ICRNL);
  mode.c_lflag |= ISIG;
  mode.c_cc[VMIN] = 1;
  mode.c_cc[VTIME] = 0;
  return mode;
}

bool terminal_is_held(pid_t foreground, int error_number, pid_t own_group) {
  if (foreground < 0) return error_number == ENOTTY;
  return foreground == own_group;
}

bool terminal_moves_cursor(const char* term) {
  if (term == nullptr) return false;
  for (const char* unable : {"", "dumb", "cons25", "emacs"}) {
    if (std::strcmp(term, unable) == 0) return false;
  }
  return true;
}

// What the handlers call is async-signal-safe.
namespace {

// Written by the main code with every handled signal blocked; read by the
// handlers while `in_key_mode` is set.
termios found_mode{};
termios key_mode{};
std::atomic<bool> in_key_mode{false};
std::atomic<bool> resumed{false};
// Continued since the terminal was last taken: whoever had it meanwhile may
// have changed its mode, even where the program never gave it back.
std::atomic<bool> mode_may_have_changed{false};
std::atomic<bool> resized{false};
std::atomic<int> line_breaks_for_ending{0};
std::atomic<bool> started{false};
std::atomic<bool> ended{false};
// The ending handler's own non-blocking descriptor on the terminal: output
// stopped by Ctrl-S must not hold up the end, and the shell must not inherit
// O_NONBLOCK.
int ending_fd = -1;
sigset_t handled;       // every signal the program handles
sigset_t waiting_mask;  // the mask while waiting for input

static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<int>::is_always_lock_free,
              "shared with signal handlers");

// Every signal whose default action ends the process, crashes included.
constexpr int kEndingSignals[] = {SIGHUP,  SIGINT,  SIGQUIT, SIGTERM, SIGPIPE,   SIGALRM,
                                  SIGUSR1, SIGUSR2, SIGXCPU, SIGXFSZ, SIGVTALRM, SIGPROF,
                                  SIGSEGV, SIGBUS,  SIGFPE,  SIGILL,  SIGABRT};

sigset_t set_of(std::initializer_list<int> signals) {
  sigset_t set;
  sigemptyset(&set);
  for (const int signal_number : signals) sigaddset(&set, signal_number);
  return set;
}

bool holds_terminal() {
  const int saved_errno = errno;
  const pid_t foreground = tcgetpgrp(STDIN_FILENO);
  const bool held = terminal_is_held(foreground, errno, getpgrp());
  errno = saved_errno;
  return held;
}

void give_back_terminal() {
  if (!in_key_mode.load() || !holds_terminal()) return;
  tcsetattr(STDIN_FILENO, TCSANOW, &found_mode);
  in_key_mode.store(false);
}

void on_ending_signal(int signal_number) {
  end_console();
  // Nothing here waits: where output is stopped, the row stays.
  const int count = std::min(line_breaks_for_ending.load(), 64);
  for (int i = 0; i < count && ending_fd >= 0 && write(ending_fd, "\r\n", 2) == 2; ++i) {
  }
  // Delivered with the default action on return: the status this signal gives.
  signal(signal_number, SIG_DFL);
  raise(signal_number);
}

// Gives the terminal back and stops by the default action (discarded in an
// orphaned group). The wait for a key takes the terminal and arms this again.
void on_stop_signal(int) {
  const int saved_errno = errno;
  give_back_terminal();
  signal(SIGTSTP, SIG_DFL);
  const sigset_t stop = set_of({SIGTSTP});
  sigprocmask(SIG_UNBLOCK, &stop, nullptr);
  raise(SIGTSTP);
  errno = saved_errno;
}

void on_continue(int) {
  resumed.store(true);
  mode_may_have_changed.store(true);
}
void on_resize(int) { resized.store(true); }

// A signal that was ignored stays ignored. Each handler blocks every handled
// signal, and none restarts a wait.
void handle(int signal_number, void (*handler)(int)) {
  struct sigaction action {};
  sigaction(signal_number, nullptr, &action);
  if (action.sa_handler == SIG_IGN) return;
  action.sa_handler = handler;
  action.sa_mask = handled;
  action.sa_flags = 0;
  sigaction(signal_number, &action, nullptr);
}

bool same_mode(const termios& one, const termios& other) {
  return one.c_iflag == other.c_iflag && one.c_oflag == other.c_oflag &&
         one.c_cflag == other.c_cflag && one.c_lflag == other.c_lflag &&
         std::memcmp(one.c_cc, other.c_cc, sizeof one.c_cc) == 0;
}

// Key mode where the program holds the terminal and has not taken it, or a
// continue found it in another mode, then the one to give back; no stop
// between the check and the change. In the background, SIGTTOU stops the
// program before the change.
void take_terminal() {
  sigset_t previous;
  sigprocmask(SIG_BLOCK, &handled, &previous);
  const bool look_again = mode_may_have_changed.exchange(false);
  termios found{};
  if (!ended.load() && (!in_key_mode.load() || look_again) && holds_terminal() &&
      tcgetattr(STDIN_FILENO, &found) == 0 && !(in_key_mode.load() && same_mode(found, key_mode))) {
    found_mode = found;
    key_mode = key_mode_from(found);
    in_key_mode.store(true);  // before the change: an ending signal after it undoes it
    // TCSANOW, not TCSAFLUSH: keys typed ahead are kept.
    tcsetattr(STDIN_FILENO, TCSANOW, &key_mode);
  }
  handle(SIGTSTP, on_stop_signal);  // ignored once the program ends
  sigprocmask(SIG_SETMASK, &previous, nullptr);
}

bool start_terminal(int rows_fd) {
  termios probe{};
  if (tcgetattr(STDIN_FILENO, &probe) != 0) return false;
  const char* rows_terminal = ttyname(rows_fd);
  if (rows_terminal != nullptr) {
    ending_fd = open(rows_terminal, O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  }
  handled = set_of({SIGTSTP, SIGCONT, SIGWINCH});
  for (const int signal_number : kEndingSignals) sigaddset(&handled, signal_number);
  for (const int signal_number : kEndingSignals) handle(signal_number, on_ending_signal);
  handle(SIGCONT, on_continue);
  handle(SIGWINCH, on_resize);
  // Stops, continues and resizes arrive only during the wait for a key, never
  // between its check and its wait.
  const sigset_t acted_on = set_of({SIGTSTP, SIGCONT, SIGWINCH});
  sigprocmask(SIG_BLOCK, &acted_on, &waiting_mask);
  for (const int signal_number : {SIGTSTP, SIGCONT, SIGWINCH}) {
    sigdelset(&waiting_mask, signal_number);
  }
  std::atexit(end_console);
  started = true;
  take_terminal();
  return true;
}

constexpr int kDefaultColumns = 80;

bool would_block(int error_number) { return error_number == EAGAIN || error_number == EWOULDBLOCK; }

// pselect's answer for `fd`, reading or writing, within `milliseconds` (-1:
// no limit); `open_signals` may arrive during the wait, and only then.
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

// Before each wait: in the background the program stops itself, as the kernel
// stops a read there (in an orphaned group, or with SIGTTIN ignored, it goes
// on); holding the terminal but not in key mode, it takes it again.
Byte_Read read_terminal_byte(unsigned char& byte, int milliseconds, Terminal_Events& events) {
  events = {resumed.exchange(false) && holds_terminal(), resized.exchange(false)};
  if (events.resumed || events.resized) return Byte_Read::kSignalled;
  const pid_t foreground = tcgetpgrp(STDIN_FILENO);
  if (foreground >= 0 && foreground != getpgrp()) kill(0, SIGTTIN);
  take_terminal();
  const int ready = wait_for(STDIN_FILENO, false, milliseconds, &waiting_mask);
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
  return {key(found_mode.c_cc[VERASE]), key(found_mode.c_cc[VEOF])};
}

constexpr Terminal_Port kTerminal{read_terminal_byte, terminal_has_input, show_on_terminal,
                                  terminal_columns, terminal_editing_keys};

}  // namespace

// A terminal that cannot move its cursor keeps its mode, and is read by lines.
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

int read_console_key(std::string_view prompt, Console_Encoding encoding) {
  return read_terminal_key(kTerminal, prompt, encoding);
}

std::ptrdiff_t read_console_line(const Line_Request& request) {
  return read_terminal_line(kTerminal, request);
}

void owe_line_breaks(int count) { line_breaks_for_ending.store(count); }

void end_console() {
  if (!started.load()) return;
  // No stop between the flag and the give-back; one pending is ignored.
  sigset_t previous;
  sigprocmask(SIG_BLOCK, &handled, &previous);
  ended.store(true);
  for (const int signal_number : {SIGTSTP, SIGTTIN, SIGTTOU, SIGCONT, SIGWINCH}) {
    signal(signal_number, SIG_IGN);
  }
  give_back_terminal();
  sigprocmask(SIG_SETMASK, &previous, nullptr);
}
