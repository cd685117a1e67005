#include "console/platform/posix/terminal_mode.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

// Written before `in_key_mode` is set, read by the handlers only while it is.
termios found_mode{};
termios key_mode{};
std::atomic<bool> in_key_mode{false};
std::atomic<bool> resumed{false};
std::atomic<bool> resized{false};
std::atomic<int> line_breaks_for_ending{0};
int ending_output_fd = STDOUT_FILENO;

std::atomic<bool> started{false};  // read by the ending handler too
sigset_t waiting_mask;

static_assert(std::atomic<bool>::is_always_lock_free, "flags shared with signal handlers");

// Async-signal-safe.
void give_back_terminal() {
  if (!in_key_mode.load() || !holds_terminal()) return;
  tcsetattr(STDIN_FILENO, TCSANOW, &found_mode);
  in_key_mode.store(false);
}

// Async-signal-safe.
void stop_taking_terminal() {
  for (const int signal_number : {SIGTSTP, SIGTTIN, SIGTTOU, SIGCONT, SIGWINCH}) {
    signal(signal_number, SIG_IGN);
  }
}

// Async-signal-safe.
void leave_the_row() {
  constexpr int kMostLineBreaks = 64;
  const int count = std::min(line_breaks_for_ending.load(), kMostLineBreaks);
  for (int i = 0; i < count; ++i) {
    if (write(ending_output_fd, "\r\n", 2) != 2) return;
  }
}

void on_ending_signal(int signal_number) {
  end_terminal();
  leave_the_row();
  // Blocked while this handler runs: delivered with the default action on
  // return, so the process ends with the status this signal gives.
  signal(signal_number, SIG_DFL);
  raise(signal_number);
}

// A signal that was ignored stays ignored. None restarts a wait.
void handle(int signal_number, void (*handler)(int)) {
  struct sigaction previous {};
  sigaction(signal_number, nullptr, &previous);
  if (previous.sa_handler == SIG_IGN) return;
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  sigaction(signal_number, &action, nullptr);
}

void on_stop_signal(int) {
  const int saved_errno = errno;
  give_back_terminal();
  signal(SIGTSTP, SIG_DFL);
  sigset_t stop;
  sigemptyset(&stop);
  sigaddset(&stop, SIGTSTP);
  sigprocmask(SIG_UNBLOCK, &stop, nullptr);
  raise(SIGTSTP);  // stops here until continued; a stop the kernel discards returns at once
  handle(SIGTSTP, on_stop_signal);
  take_terminal();
  errno = saved_errno;
}

void on_continue(int) { resumed.store(true); }
void on_resize(int) { resized.store(true); }

// Every signal whose default action ends the process, the crash signals
// included.
constexpr int kEndingSignals[] = {SIGHUP,  SIGINT,  SIGQUIT, SIGTERM, SIGPIPE,   SIGALRM,
                                  SIGUSR1, SIGUSR2, SIGXCPU, SIGXFSZ, SIGVTALRM, SIGPROF,
                                  SIGSEGV, SIGBUS,  SIGFPE,  SIGILL,  SIGABRT};

}  // namespace

termios key_mode_from(const termios& found) {
  termios mode = found;
  mode.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
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

bool holds_terminal() {
  const int saved_errno = errno;
  const pid_t foreground = tcgetpgrp(STDIN_FILENO);
  const bool held = terminal_is_held(foreground, errno, getpgrp());
  errno = saved_errno;
  return held;
}

void take_terminal() {
  if (in_key_mode.load() || !holds_terminal()) return;
  const int saved_errno = errno;
  termios found{};
  if (tcgetattr(STDIN_FILENO, &found) == 0) {
    found_mode = found;
    key_mode = key_mode_from(found);
    in_key_mode.store(true);  // before the change: a signal right after it must undo it
    // TCSANOW, not TCSAFLUSH: keys typed ahead are kept.
    tcsetattr(STDIN_FILENO, TCSANOW, &key_mode);
  }
  errno = saved_errno;
}

bool terminal_moves_cursor(const char* term) {
  if (term == nullptr) return false;
  for (const char* unable : {"", "dumb", "cons25", "emacs"}) {
    if (std::strcmp(term, unable) == 0) return false;
  }
  return true;
}

bool start_terminal() {
  termios probe{};
  if (isatty(STDIN_FILENO) != 1 || tcgetattr(STDIN_FILENO, &probe) != 0) return false;
  // Continuing and resizing are acted on by the waiting loop: they arrive
  // only while it waits, so that none falls between its check and its wait.
  sigset_t acted_on;
  sigemptyset(&acted_on);
  sigaddset(&acted_on, SIGCONT);
  sigaddset(&acted_on, SIGWINCH);
  sigprocmask(SIG_BLOCK, &acted_on, &waiting_mask);
  sigdelset(&waiting_mask, SIGCONT);
  sigdelset(&waiting_mask, SIGWINCH);
  for (const int signal_number : kEndingSignals) handle(signal_number, on_ending_signal);
  handle(SIGTSTP, on_stop_signal);
  handle(SIGCONT, on_continue);
  handle(SIGWINCH, on_resize);
  std::atexit(end_terminal);
  // Where the program's rows are shown: its output, else the terminal it reads.
  ending_output_fd = isatty(STDOUT_FILENO) == 1 ? STDOUT_FILENO : STDIN_FILENO;
  started = true;
  take_terminal();
  return true;
}

void stop_for_terminal_input() {
  // As the kernel stops a process that reads its terminal from the
  // background; in an orphaned group the stop is discarded, and the read
  // fails as it would.
  raise(SIGTTIN);
  take_terminal();
}

const termios& mode_found() { return found_mode; }

Terminal_Events take_terminal_events() {
  return {resumed.exchange(false), resized.exchange(false)};
}

void set_line_breaks_for_ending(int count) { line_breaks_for_ending.store(count); }

// Async-signal-safe.
void end_terminal() {
  if (!started) return;
  stop_taking_terminal();
  give_back_terminal();
}

const sigset_t* signals_open_while_waiting() { return started ? &waiting_mask : nullptr; }
