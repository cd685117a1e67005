#include "console/platform/posix/terminal_mode.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

// What the handlers call is async-signal-safe.
namespace {

// Written by the main code alone, with every handled signal blocked; read by
// the handlers while `in_key_mode` is set.
termios found_mode{};
termios key_mode{};
std::atomic<bool> in_key_mode{false};
std::atomic<bool> resumed{false};
// Continued since the terminal was last taken: whoever had it meanwhile (a
// shell, stty) may have changed its mode, though the program never gave it
// back (a stop it could not catch, or the shell took the terminal first).
std::atomic<bool> mode_may_have_changed{false};
std::atomic<bool> resized{false};
std::atomic<int> line_breaks_for_ending{0};
std::atomic<bool> started{false};
std::atomic<bool> ended{false};
// The ending handler's own descriptor on the terminal, non-blocking: a
// terminal whose output is stopped (Ctrl-S) must not hold up the end. Its own
// open, so that the shell never inherits O_NONBLOCK.
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
  // Blocked while this handler runs: delivered with the default action on
  // return, so the process ends with the status this signal gives.
  signal(signal_number, SIG_DFL);
  raise(signal_number);
}

// Gives the terminal back and stops by SIGTSTP's default action; in an
// orphaned group the kernel discards the stop. Only the waiting loop takes
// the terminal again, and arms this handler again then.
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

// A signal that was ignored stays ignored. No handler runs inside another:
// each blocks every handled signal. None restarts a wait.
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

// Key mode where the program holds the terminal and has not taken it, or
// after a continue finds it in another mode, which is then the one to give
// back: by the main code only, no stop between the check and the change.
// SIGTTOU stays open: in the background the change stops the program before
// it is made.
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

}  // namespace

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
  // Stops, continuing and resizing arrive only while the waiting loop waits,
  // so that none falls between its check and its wait.
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

void ready_terminal_for_reading() {
  if (!started.load()) return;
  // In the background the program stops itself, as the kernel stops a read
  // there; in an orphaned group, or with SIGTTIN ignored, it goes on, and the
  // read fails or is taken. A terminal hung up has no foreground: no stop.
  const pid_t foreground = tcgetpgrp(STDIN_FILENO);
  if (foreground >= 0 && foreground != getpgrp()) kill(0, SIGTTIN);
  take_terminal();
}

const termios& mode_found() { return found_mode; }

Terminal_Events take_terminal_events() {
  const bool continued = resumed.exchange(false);
  return {continued && holds_terminal(), resized.exchange(false)};
}

void owe_line_breaks(int count) { line_breaks_for_ending.store(count); }

void end_console() {
  if (!started.load()) return;
  // No stop between the flag and the give-back; a stop left pending is
  // discarded with its signal ignored.
  sigset_t previous;
  sigprocmask(SIG_BLOCK, &handled, &previous);
  ended.store(true);
  for (const int signal_number : {SIGTSTP, SIGTTIN, SIGTTOU, SIGCONT, SIGWINCH}) {
    signal(signal_number, SIG_IGN);
  }
  give_back_terminal();
  sigprocmask(SIG_SETMASK, &previous, nullptr);
}

const sigset_t* signals_open_while_waiting() { return started ? &waiting_mask : nullptr; }
