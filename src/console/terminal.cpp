#include "console/terminal.h"

#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "console/input.h"
#include "console/key_sequence.h"
#include "console/raw_input.h"

namespace {

constexpr int kFirstPrintable = 0x21;  // a space is echoed only on a terminal
constexpr int kLastPrintable = 0x7e;
// Terminals send a key's whole sequence at once: when nothing follows an ESC
// within this time, Esc was pressed alone.
constexpr int kSequenceWaitMs = 100;

// Shared with the signal handlers; written only while no handler is installed.
termios mode_before_key;
termios key_mode;
// Whether the program waits for a key now, and whether it has set key mode
// and not yet put the previous mode back.
volatile sig_atomic_t waiting_for_key = 0;
volatile sig_atomic_t in_key_mode = 0;

// A process in the background must not change the terminal's mode: the
// attempt would stop it with SIGTTOU, inside a signal handler too.
bool terminal_is_ours() { return tcgetpgrp(STDIN_FILENO) == getpgrp(); }

// Both are async-signal-safe.
void enter_key_mode() {
  if (waiting_for_key == 0 || !terminal_is_ours()) return;
  in_key_mode = 1;  // before the change: a signal right after it must undo it
  tcsetattr(STDIN_FILENO, TCSANOW, &key_mode);
}

void leave_key_mode() {
  if (in_key_mode == 0 || !terminal_is_ours()) return;
  tcsetattr(STDIN_FILENO, TCSANOW, &mode_before_key);
  in_key_mode = 0;
}

void on_ending_signal(int signal_number) {
  leave_key_mode();
  // Blocked while this handler runs: delivered with the default action on
  // return, so the process ends with the status this signal gives.
  signal(signal_number, SIG_DFL);
  raise(signal_number);
}

void on_stop_signal(int) {
  const int saved_errno = errno;
  leave_key_mode();
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
  enter_key_mode();
  errno = saved_errno;
}

// Back in the foreground while still waiting: take the key without Enter again.
void on_continue(int) {
  const int saved_errno = errno;
  enter_key_mode();
  errno = saved_errno;
}

// Installs the handlers for the time of one wait and puts the previous ones
// back when it goes out of scope. A signal that was ignored stays ignored.
class Key_Wait_Signals {
 public:
  Key_Wait_Signals() {
    for (int i = 0; i < kHandled; ++i) {
      struct sigaction action {};
      action.sa_handler = handler_for(kSignals[i]);
      sigemptyset(&action.sa_mask);
      sigaction(kSignals[i], nullptr, &previous_[i]);
      if (previous_[i].sa_handler != SIG_IGN) sigaction(kSignals[i], &action, nullptr);
    }
  }
  ~Key_Wait_Signals() {
    for (int i = 0; i < kHandled; ++i) sigaction(kSignals[i], &previous_[i], nullptr);
  }
  Key_Wait_Signals(const Key_Wait_Signals&) = delete;
  Key_Wait_Signals& operator=(const Key_Wait_Signals&) = delete;

 private:
  // Every signal whose default action ends the process, the crash signals
  // included, and the two of job control.
  static constexpr int kSignals[] = {
      SIGHUP,    SIGINT,  SIGQUIT, SIGTERM, SIGPIPE, SIGALRM, SIGUSR1, SIGUSR2, SIGXCPU, SIGXFSZ,
      SIGVTALRM, SIGPROF, SIGSEGV, SIGBUS,  SIGFPE,  SIGILL,  SIGABRT, SIGTSTP, SIGCONT};
  static constexpr int kHandled = sizeof kSignals / sizeof kSignals[0];

  static void (*handler_for(int signal_number))(int) {
    if (signal_number == SIGTSTP) return on_stop_signal;
    if (signal_number == SIGCONT) return on_continue;
    return on_ending_signal;
  }

  struct sigaction previous_[kHandled] {};
};

// Takes the rest of a sequence whose ESC has been read, up to its end or to a
// pause that shows the user pressed nothing more.
void skip_escape_sequence() {
  Escape_Sequence sequence;
  for (;;) {
    unsigned char byte = 0;
    if (!standard_input_ready_within(kSequenceWaitMs)) return;
    if (read_standard_input(&byte, 1) != 1) return;
    if (add_to_sequence(sequence, byte)) return;
  }
}

bool is_end_of_file_key(unsigned char byte) {
  const cc_t end_key = mode_before_key.c_cc[VEOF];
  return end_key != _POSIX_VDISABLE && byte == end_key;
}

int take_terminal_key() {
  unsigned char byte = 0;
  if (read_standard_input(&byte, 1) != 1 || is_end_of_file_key(byte)) return kEndOfInput;
  if (byte == kEscape) skip_escape_sequence();
  return byte;
}

int read_terminal_key() {
  if (tcgetattr(STDIN_FILENO, &mode_before_key) != 0) return next_nonblank_byte();
  key_mode = mode_before_key;
  key_mode.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
  key_mode.c_cc[VMIN] = 1;
  key_mode.c_cc[VTIME] = 0;

  const Key_Wait_Signals handlers;
  waiting_for_key = 1;
  // TCSANOW, not TCSAFLUSH: keys typed ahead are kept.
  enter_key_mode();
  // Shown only now, so that a key pressed once the menu is on screen is
  // never echoed by the terminal itself.
  std::fflush(stdout);
  const int key = take_terminal_key();
  waiting_for_key = 0;  // first, so that no SIGCONT sets key mode again
  leave_key_mode();
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
