#include "console/terminal.h"

#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "console/input.h"

namespace {

constexpr unsigned char kCtrlD = 0x04;
constexpr int kFirstPrintable = 0x21;  // a space is echoed only on a terminal
constexpr int kLastPrintable = 0x7e;

// Shared with the signal handlers; written only while no handler is installed.
termios mode_before_key;
termios key_mode;
volatile sig_atomic_t waiting_for_key = 0;

void restore_mode() { tcsetattr(STDIN_FILENO, TCSANOW, &mode_before_key); }

void on_ending_signal(int signal_number) {
  restore_mode();
  // Blocked while this handler runs: delivered with the default action on return.
  signal(signal_number, SIG_DFL);
  raise(signal_number);
}

void enter_key_mode_if_foreground() {
  if (waiting_for_key != 0 && tcgetpgrp(STDIN_FILENO) == getpgrp()) {
    tcsetattr(STDIN_FILENO, TCSANOW, &key_mode);
  }
}

void on_stop_signal(int) {
  const int saved_errno = errno;
  restore_mode();
  signal(SIGTSTP, SIG_DFL);
  sigset_t stop;
  sigemptyset(&stop);
  sigaddset(&stop, SIGTSTP);
  sigprocmask(SIG_UNBLOCK, &stop, nullptr);
  raise(SIGTSTP);  // stops here until continued; a stop the kernel discards returns at once
  struct sigaction again {};
  again.sa_handler = on_stop_signal;
  sigemptyset(&again.sa_mask);
  sigaction(SIGTSTP, &again, nullptr);
  enter_key_mode_if_foreground();
  errno = saved_errno;
}

// Back in the foreground while still waiting: take the key without Enter again.
void on_continue(int) {
  const int saved_errno = errno;
  enter_key_mode_if_foreground();
  errno = saved_errno;
}

// Installs the handlers for the time of one key read and puts the previous
// ones back when it goes out of scope. A signal that was ignored stays ignored.
class Key_Read_Signals {
 public:
  Key_Read_Signals() {
    for (int i = 0; i < kHandled; ++i) {
      struct sigaction action {};
      action.sa_handler = handler_for(kSignals[i]);
      sigemptyset(&action.sa_mask);
      sigaction(kSignals[i], nullptr, &previous_[i]);
      if (previous_[i].sa_handler != SIG_IGN) sigaction(kSignals[i], &action, nullptr);
    }
  }
  ~Key_Read_Signals() {
    for (int i = 0; i < kHandled; ++i) sigaction(kSignals[i], &previous_[i], nullptr);
  }
  Key_Read_Signals(const Key_Read_Signals&) = delete;
  Key_Read_Signals& operator=(const Key_Read_Signals&) = delete;

 private:
  static constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGTSTP, SIGCONT};
  static constexpr int kHandled = sizeof kSignals / sizeof kSignals[0];

  static void (*handler_for(int signal_number))(int) {
    if (signal_number == SIGTSTP) return on_stop_signal;
    if (signal_number == SIGCONT) return on_continue;
    return on_ending_signal;
  }

  struct sigaction previous_[kHandled] {};
};

int read_terminal_key() {
  if (tcgetattr(STDIN_FILENO, &mode_before_key) != 0) return next_nonblank_byte();
  key_mode = mode_before_key;
  key_mode.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
  key_mode.c_cc[VMIN] = 1;
  key_mode.c_cc[VTIME] = 0;

  unsigned char key = 0;
  ssize_t got = 0;
  {
    const Key_Read_Signals handlers;
    waiting_for_key = 1;
    // TCSANOW, not TCSAFLUSH: keys typed ahead are kept.
    tcsetattr(STDIN_FILENO, TCSANOW, &key_mode);
    // Shown only now, so that a key pressed once the menu is on screen is
    // never echoed by the terminal itself.
    std::fflush(stdout);
    do {
      got = read(STDIN_FILENO, &key, 1);
    } while (got < 0 && errno == EINTR);
    restore_mode();
    waiting_for_key = 0;
  }
  if (got != 1 || key == kCtrlD) return kEndOfInput;
  return key;
}

void echo(int key) {
  const bool printable = key >= kFirstPrintable && key <= kLastPrintable;
  if (printable || (key == ' ' && input_is_terminal())) std::putchar(key);
}

}  // namespace

int read_key() {
  const int key = input_is_terminal() ? read_terminal_key() : next_nonblank_byte();
  if (key != kEndOfInput) echo(key);
  return key;
}
