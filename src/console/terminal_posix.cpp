// The POSIX side of the platform seam: reads and writes on the standard
// descriptors, and the terminal in key mode while the program waits for a key
// or a line, with the line editor.
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <string_view>

#include "console/input.h"
#include "console/key_sequence.h"
#include "console/line_editor.h"
#include "console/output.h"
#include "console/platform.h"
#include "console/texts.h"

namespace {

constexpr int kDefaultColumns = 80;
constexpr int kReadFailed = -2;
// Terminals send a key's whole sequence at once: when nothing follows an ESC
// within this time, Esc was pressed alone.
constexpr int kSequenceWaitMs = 100;

// -1 waits as long as it takes. A signal ends the wait early; callers try again.
int wait_for_input(int milliseconds) {
  pollfd watched{STDIN_FILENO, POLLIN, 0};
  return poll(&watched, 1, milliseconds);
}

// Whether standard input has something to read within `milliseconds`.
bool standard_input_ready_within(int milliseconds) {
  for (;;) {
    const int ready = wait_for_input(milliseconds);
    if (ready >= 0) return ready > 0;
    if (errno != EINTR) return false;
  }
}

// Shared with the signal handlers; written only while no handler is installed.
termios mode_before_key;
termios key_mode;
// Whether the program waits for input now, and whether it has set key mode
// and not yet put the previous mode back.
volatile sig_atomic_t waiting_for_key = 0;
volatile sig_atomic_t in_key_mode = 0;
// Signals seen during a wait, for the reading loop to act on.
volatile sig_atomic_t resumed = 0;
volatile sig_atomic_t resized = 0;

// A line ended by "\r": a "\n" right after it belongs to the same Enter.
bool newline_may_follow = false;

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

// Back in the foreground while still waiting: key mode again, and the prompt.
void on_continue(int) {
  const int saved_errno = errno;
  enter_key_mode();
  resumed = 1;
  errno = saved_errno;
}

void on_resize(int) { resized = 1; }

// Installs the handlers for the time of one wait and puts the previous ones
// back when it goes out of scope. A signal that was ignored stays ignored.
// None restarts a read, so that the reading loop sees a resume or a resize.
class Wait_Signals {
 public:
  Wait_Signals() {
    for (int i = 0; i < kHandled; ++i) {
      struct sigaction action {};
      action.sa_handler = handler_for(kSignals[i]);
      sigemptyset(&action.sa_mask);
      sigaction(kSignals[i], nullptr, &previous_[i]);
      if (previous_[i].sa_handler != SIG_IGN) sigaction(kSignals[i], &action, nullptr);
    }
  }
  ~Wait_Signals() {
    for (int i = 0; i < kHandled; ++i) sigaction(kSignals[i], &previous_[i], nullptr);
  }
  Wait_Signals(const Wait_Signals&) = delete;
  Wait_Signals& operator=(const Wait_Signals&) = delete;

 private:
  // Every signal whose default action ends the process, the crash signals
  // included, the two of job control, and the change of the window's size.
  static constexpr int kSignals[] = {
      SIGHUP,    SIGINT,  SIGQUIT, SIGTERM, SIGPIPE, SIGALRM, SIGUSR1, SIGUSR2, SIGXCPU, SIGXFSZ,
      SIGVTALRM, SIGPROF, SIGSEGV, SIGBUS,  SIGFPE,  SIGILL,  SIGABRT, SIGTSTP, SIGCONT, SIGWINCH};
  static constexpr int kHandled = sizeof kSignals / sizeof kSignals[0];

  static void (*handler_for(int signal_number))(int) {
    switch (signal_number) {
      case SIGTSTP:
        return on_stop_signal;
      case SIGCONT:
        return on_continue;
      case SIGWINCH:
        return on_resize;
      default:
        return on_ending_signal;
    }
  }

  struct sigaction previous_[kHandled] {};
};

// False when standard input is not a terminal after all.
bool prepare_key_mode() {
  if (tcgetattr(STDIN_FILENO, &mode_before_key) != 0) return false;
  key_mode = mode_before_key;
  key_mode.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
  // Enter arrives as "\r", so that a pasted "\r\n" is one Enter, not two.
  key_mode.c_iflag &= ~static_cast<tcflag_t>(ICRNL);
  key_mode.c_cc[VMIN] = 1;
  key_mode.c_cc[VTIME] = 0;
  return true;
}

// Key mode and the handlers for the time of one wait for input.
class Terminal_Wait {
 public:
  Terminal_Wait() {
    resumed = 0;
    resized = 0;
    waiting_for_key = 1;
    // TCSANOW, not TCSAFLUSH: keys typed ahead are kept.
    enter_key_mode();
    // Shown only now, so that a key pressed once the prompt is on screen is
    // never echoed by the terminal itself.
    if (!try_flush_output()) {
      end();
      fail_writing();
    }
  }
  ~Terminal_Wait() { end(); }
  Terminal_Wait(const Terminal_Wait&) = delete;
  Terminal_Wait& operator=(const Terminal_Wait&) = delete;

 private:
  static void end() {
    const int saved_errno = errno;
    waiting_for_key = 0;  // first, so that no SIGCONT sets key mode again
    leave_key_mode();
    errno = saved_errno;
  }

  const Wait_Signals handlers_;
};

// What the program echoes goes to the terminal, also when standard output
// has been sent elsewhere.
int echo_fd() { return isatty(STDOUT_FILENO) == 1 ? STDOUT_FILENO : STDIN_FILENO; }

// False on a failure, with errno saying why.
bool write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t put = write(fd, bytes.data(), bytes.size());
    if (put < 0 && errno == EINTR) continue;
    if (put == 0) errno = EIO;
    if (put <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(put));
  }
  return true;
}

void show(std::string_view bytes) {
  write_all(echo_fd(), bytes);  // a lost echo loses no input
}

int terminal_columns() {
  winsize size{};
  if (ioctl(echo_fd(), TIOCGWINSZ, &size) != 0 || size.ws_col == 0) return kDefaultColumns;
  return size.ws_col;
}

bool take_flag(volatile sig_atomic_t& flag) {
  const bool was_set = flag != 0;
  flag = 0;
  return was_set;
}

enum class Wait_Event { kByte, kInterrupted, kEnded, kFailed };

// One byte from the terminal. kInterrupted when a signal broke the wait, so
// that a resume or a resize can be shown.
Wait_Event next_byte(unsigned char& byte) {
  for (;;) {
    const ssize_t got = read(STDIN_FILENO, &byte, 1);
    if (got == 1) {
      const bool same_enter = newline_may_follow && byte == '\n';
      newline_may_follow = false;
      if (same_enter) continue;
      return Wait_Event::kByte;
    }
    if (got == 0) return Wait_Event::kEnded;
    if (errno == EINTR) return Wait_Event::kInterrupted;
    if (errno != EAGAIN && errno != EWOULDBLOCK) return Wait_Event::kFailed;
    if (wait_for_input(-1) < 0 && errno == EINTR) return Wait_Event::kInterrupted;
  }
}

// The rest of a sequence whose ESC has been read, up to its end or to a
// pause that shows the user pressed nothing more.
Escape_Sequence take_escape_sequence() {
  Escape_Sequence sequence;
  for (;;) {
    unsigned char byte = 0;
    if (!standard_input_ready_within(kSequenceWaitMs)) break;
    if (read_standard_input(&byte, 1) != 1) break;
    if (add_to_sequence(sequence, byte)) break;
  }
  return sequence;
}

bool is_end_of_file_key(unsigned char byte) {
  const cc_t end_key = mode_before_key.c_cc[VEOF];
  return end_key != _POSIX_VDISABLE && byte == end_key;
}

int take_terminal_key() {
  const Terminal_Wait wait;
  for (;;) {
    unsigned char byte = 0;
    switch (next_byte(byte)) {
      case Wait_Event::kByte:
        if (is_end_of_file_key(byte)) return kEndOfInput;
        if (byte == kEscape) take_escape_sequence();
        return byte;
      case Wait_Event::kInterrupted:
        if (take_flag(resumed) && terminal_is_ours()) show(text(Text::kMenuPrompt));
        break;
      case Wait_Event::kEnded:
        return kEndOfInput;
      case Wait_Event::kFailed:
        return kReadFailed;
    }
  }
}

Line_Editor editor;

}  // namespace

void start_console() {}

std::string_view line_end() { return "\n"; }

std::ptrdiff_t read_standard_input(void* into, std::size_t size) {
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

bool standard_input_is_terminal() { return isatty(STDIN_FILENO) == 1; }

bool write_standard_output(std::string_view bytes) { return write_all(STDOUT_FILENO, bytes); }

int read_console_key() {
  if (!prepare_key_mode()) return next_nonblank_byte();
  const int key = take_terminal_key();  // the terminal is as it was again
  if (key == kReadFailed) fail_reading();
  return key;
}

std::ptrdiff_t read_console_line(char* into, std::size_t capacity, const char* prompt) {
  if (capacity < 2 || !prepare_key_mode()) {
    flush_output();
    return read_standard_input(into, capacity);
  }
  const Terminal_Wait wait;
  const Editing_Keys keys{mode_before_key.c_cc[VERASE], mode_before_key.c_cc[VEOF]};
  start_line(editor, prompt, console_encoding_in_use(), terminal_columns(), capacity - 1);
  for (;;) {
    unsigned char byte = 0;
    switch (next_byte(byte)) {
      case Wait_Event::kByte:
        break;
      case Wait_Event::kInterrupted:
        if (take_flag(resumed) && terminal_is_ours()) show(redraw_line(editor));
        if (take_flag(resized)) show(resize_line(editor, terminal_columns()));
        continue;
      case Wait_Event::kEnded:
        // Hung up: what was typed still counts, without its Enter.
        std::memcpy(into, editor.line, editor.length);
        return static_cast<ssize_t>(editor.length);
      case Wait_Event::kFailed:
        return -1;
    }
    Edit_Step step = Edit_Step::kEditing;
    if (byte == kEscape) {
      edit_with_sequence(editor, take_escape_sequence());
    } else {
      step = edit_with_byte(editor, byte, keys);
    }
    if (step == Edit_Step::kEndOfFile) return 0;
    if (step == Edit_Step::kEnter) {
      newline_may_follow = byte == '\r';
      show(finish_line(editor));
      std::memcpy(into, editor.line, editor.length);
      into[editor.length] = '\n';
      return static_cast<ssize_t>(editor.length + 1);
    }
    // A paste arrives faster than it can be shown: show it once it is all in.
    if (!standard_input_ready_within(0)) show(refresh_line(editor));
  }
}
