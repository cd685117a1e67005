// The POSIX side of the platform seam: the standard descriptors, and the
// terminal's keys and lines, read in the key mode the terminal is held in,
// with the line editor.
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string_view>

#include "console/platform/platform.h"
#include "console/platform/posix/descriptors.h"
#include "console/platform/posix/terminal_mode.h"
#include "console/terminal/characters.h"
#include "console/terminal/key_sequence.h"
#include "console/terminal/line_editor.h"

namespace {

constexpr int kDefaultColumns = 80;

// A line ended by "\r": a "\n" right after it belongs to the same Enter.
bool newline_may_follow = false;
// The last key was an ESC that nothing followed in time.
bool lone_escape_taken = false;
Line_Editor editor;
// Bytes read ahead with a key they turned out not to belong to: the next ones
// typed, oldest first.
unsigned char read_ahead[kMaxCharacterBytes];
std::size_t read_ahead_count = 0;

// What the program echoes goes to the terminal, also when standard output
// has been sent elsewhere.
int echo_fd() { return isatty(STDOUT_FILENO) == 1 ? STDOUT_FILENO : STDIN_FILENO; }

void show(std::string_view bytes) {
  write_all(echo_fd(), bytes);  // a lost echo loses no input
}

// Shows what the editor wrote, and readies what an ending signal writes below it.
void show_line(std::string_view bytes) {
  show(bytes);
  set_line_breaks_for_ending(line_breaks_below(editor));
}

int terminal_columns() {
  winsize size{};
  if (ioctl(echo_fd(), TIOCGWINSZ, &size) != 0 || size.ws_col == 0) return kDefaultColumns;
  return size.ws_col;
}

bool take_read_ahead(unsigned char& byte) {
  if (read_ahead_count == 0) return false;
  byte = read_ahead[0];
  std::memmove(read_ahead, read_ahead + 1, --read_ahead_count);
  return true;
}

// The byte is read again as the next key.
void read_again(unsigned char byte) {
  std::memmove(read_ahead + 1, read_ahead, read_ahead_count++);
  read_ahead[0] = byte;
}

enum class Byte_Event { kByte, kNothing, kTimedOut, kSignalled, kEnded, kFailed };

// One read of one byte that is ready: kNothing when it was interrupted, or
// was the "\n" of an Enter taken already.
Byte_Event read_byte(unsigned char& byte) {
  const ssize_t got = read(STDIN_FILENO, &byte, 1);
  if (got == 0) return Byte_Event::kEnded;
  if (got < 0) {
    const bool retry = errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK;
    return retry ? Byte_Event::kNothing : Byte_Event::kFailed;
  }
  const bool same_enter = newline_may_follow && byte == '\n';
  newline_may_follow = false;
  return same_enter ? Byte_Event::kNothing : Byte_Event::kByte;
}

// Whether the program was continued or the window resized since the last
// look; the terminal is taken again first.
bool signalled(Terminal_Events& events) {
  events = take_terminal_events();
  if (!events.resumed && !events.resized) return false;
  take_terminal();
  return true;
}

// Waits up to `milliseconds` for a byte: kByte once one is ready, kNothing
// when a signal came first.
Byte_Event wait_for_byte(int milliseconds) {
  const Wait_Result wait = wait_to_read(STDIN_FILENO, milliseconds, signals_open_while_waiting());
  if (wait == Wait_Result::kReady) return Byte_Event::kByte;
  if (wait == Wait_Result::kTimedOut) return Byte_Event::kTimedOut;
  return wait == Wait_Result::kInterrupted ? Byte_Event::kNothing : Byte_Event::kFailed;
}

// One byte from the terminal within `milliseconds` (-1: as long as it
// takes). kSignalled, with `events`, when the program was continued or the
// window resized, before any further wait.
Byte_Event next_byte(unsigned char& byte, int milliseconds, Terminal_Events& events) {
  if (take_read_ahead(byte)) return Byte_Event::kByte;
  for (;;) {
    if (signalled(events)) return Byte_Event::kSignalled;
    if (!holds_terminal()) stop_for_terminal_input();
    Byte_Event event = wait_for_byte(milliseconds);
    if (event == Byte_Event::kByte) event = read_byte(byte);
    if (event != Byte_Event::kNothing) return event;
  }
}

using Event_Handler = std::function<void(const Terminal_Events&)>;

// The next byte typed, with signals acted on while it is awaited: kByte,
// kEnded or kFailed.
Byte_Event next_typed_byte(unsigned char& byte, const Event_Handler& on_events) {
  for (;;) {
    Terminal_Events events;
    const Byte_Event event = next_byte(byte, -1, events);
    if (event != Byte_Event::kSignalled && event != Byte_Event::kTimedOut) return event;
    on_events(events);
  }
}

// The rest of a sequence, up to its end, or to a pause that ends it: after
// its ESC, the user pressed Esc alone. A control byte that cuts it short is
// read again as the next key.
Escape_Sequence take_escape_sequence(Escape_Sequence sequence, Key_Context context,
                                     const Event_Handler& on_events) {
  for (;;) {
    unsigned char byte = 0;
    Terminal_Events events;
    switch (next_byte(byte, next_sequence_byte_wait_ms(sequence, context), events)) {
      case Byte_Event::kByte:
        if (!add_to_sequence(sequence, byte)) break;
        if (sequence.cut_short) read_again(byte);
        return sequence;
      case Byte_Event::kSignalled: on_events(events); break;
      case Byte_Event::kTimedOut: lone_escape_taken = sequence.length == 1; return sequence;
      case Byte_Event::kNothing:
      case Byte_Event::kEnded:
      case Byte_Event::kFailed: return sequence;  // the next read meets the same end
    }
  }
}

struct Key {
  Byte_Event event = Byte_Event::kEnded;  // kByte, kEnded or kFailed
  unsigned char byte = 0;
  bool is_sequence = false;  // then `sequence` holds it, ESC first
  bool resumed = false;      // a sequence whose ESC came earlier, taken alone
  Escape_Sequence sequence;
};

// The one reader of keys: the next byte typed, or a whole escape sequence,
// or the end of input, or a failure. Signals that arrive meanwhile are acted
// on.
Key next_key(Key_Context context, const Event_Handler& on_events) {
  Key key;
  key.event = next_typed_byte(key.byte, on_events);
  if (key.event != Byte_Event::kByte) return key;
  key.resumed = lone_escape_taken && continues_lone_escape(key.byte, context);
  lone_escape_taken = false;
  key.is_sequence = key.resumed || key.byte == kEscape;
  if (key.is_sequence) {
    const Escape_Sequence begun = key.resumed ? sequence_resumed_with(key.byte) : Escape_Sequence{};
    key.sequence = take_escape_sequence(begun, context, on_events);
  }
  return key;
}

// At the menu a four-byte GB18030 character is one key, given as its first
// byte; other characters give one key a byte. The rest of a character that
// has begun is waited for as long as it takes, as a terminal sends it whole.
int character_key(unsigned char lead, Console_Encoding encoding, const Event_Handler& on_events) {
  if (encoding != Console_Encoding::kGb18030 || lead < 0x81) return lead;
  unsigned char bytes[kMaxCharacterBytes] = {lead};
  std::size_t length = 1;
  Character_Check check = Character_Check::kIncomplete;
  while (check == Character_Check::kIncomplete &&
         next_typed_byte(bytes[length], on_events) == Byte_Event::kByte) {
    ++length;
    check = check_character(encoding, {reinterpret_cast<char*>(bytes), length});
  }
  if (check == Character_Check::kComplete && length == 4) return lead;
  read_ahead_count = length - 1;
  std::memcpy(read_ahead, bytes + 1, read_ahead_count);
  return lead;
}

bool is_end_of_file_key(unsigned char byte) {
  const cc_t end_key = mode_found().c_cc[VEOF];
  return end_key != _POSIX_VDISABLE && byte == end_key;
}

Edit_Step edit_with_key(const Key& key, const Editing_Keys& keys) {
  if (!key.is_sequence) return edit_with_byte(editor, key.byte, keys);
  edit_with_sequence(editor, key.sequence);
  return Edit_Step::kEditing;
}

void redraw_menu_prompt(std::string_view prompt, const Terminal_Events& events) {
  if (events.resumed && holds_terminal()) show(prompt);
}

void redraw_line_after(const Terminal_Events& events) {
  if (events.resumed && holds_terminal()) show_line(redraw_line(editor));
  if (events.resized) show_line(resize_line(editor, terminal_columns()));
}

// The line for the reader: its text, and "\n" when Enter ended it.
std::ptrdiff_t take_line(char* into, bool entered) {
  std::memcpy(into, editor.line, editor.length);
  if (entered) into[editor.length] = '\n';
  return static_cast<std::ptrdiff_t>(editor.length + (entered ? 1 : 0));
}

constexpr std::ptrdiff_t kLineGoesOn = -3;

// A key typed into the line: what the reader is given once Enter, the end of
// input or a failure ends the line, else kLineGoesOn.
std::ptrdiff_t type_into_line(const Key& key, const Editing_Keys& keys, char* into) {
  if (key.event == Byte_Event::kFailed) return -1;
  if (key.event == Byte_Event::kEnded) return take_line(into, false);  // hung up: typed text counts
  const Edit_Step step = edit_with_key(key, keys);
  if (step == Edit_Step::kEndOfFile) {
    show_line(refresh_line(editor));  // what was erased just before it goes from the screen too
    return 0;
  }
  if (step != Edit_Step::kEnter) return kLineGoesOn;
  newline_may_follow = key.byte == '\r';
  show(finish_line(editor));
  set_line_breaks_for_ending(0);
  return take_line(into, true);
}

}  // namespace

// A terminal that cannot move its cursor keeps its own mode: it is read as a pipe.
void start_console() {
  if (standard_input_kind() == Input_Kind::kKeys) start_terminal();
}

void end_console() { end_terminal(); }

std::string_view line_end() { return "\n"; }

std::ptrdiff_t read_standard_input(void* into, std::size_t size) {
  return read_some(STDIN_FILENO, into, size);
}

Input_Kind standard_input_kind() {
  if (isatty(STDIN_FILENO) != 1) return Input_Kind::kStream;
  return terminal_moves_cursor(std::getenv("TERM")) ? Input_Kind::kKeys : Input_Kind::kLines;
}

bool standard_output_is_terminal() { return isatty(STDOUT_FILENO) == 1; }

bool write_standard_output(std::string_view bytes, Console_Encoding) {
  static const bool to_terminal = standard_output_is_terminal();
  if (to_terminal && !bytes.empty()) set_line_breaks_for_ending(bytes.back() == '\n' ? 0 : 1);
  return write_all(STDOUT_FILENO, bytes);
}

int read_console_key(std::string_view prompt, Console_Encoding encoding) {
  const Event_Handler on_events = [&](const Terminal_Events& events) {
    redraw_menu_prompt(prompt, events);
  };
  for (;;) {
    const Key key = next_key(Key_Context::kMenu, on_events);
    if (key.event == Byte_Event::kFailed) return kConsoleFailed;
    if (key.event == Byte_Event::kEnded || is_end_of_file_key(key.byte)) return kConsoleEnded;
    if (!key.is_sequence) return character_key(key.byte, encoding, on_events);
    if (!key.resumed) return kEscape;  // else its Esc has shown the menu again already
  }
}

std::ptrdiff_t read_console_line(char* into, std::size_t capacity, std::string_view prompt,
                                 Console_Encoding encoding) {
  if (capacity < 2 || signals_open_while_waiting() == nullptr) {
    return read_standard_input(into, capacity);
  }
  const Editing_Keys keys{mode_found().c_cc[VERASE], mode_found().c_cc[VEOF]};
  start_line(editor, prompt, encoding, terminal_columns(), capacity - 1);
  for (;;) {
    const std::ptrdiff_t taken =
        type_into_line(next_key(Key_Context::kLine, redraw_line_after), keys, into);
    if (taken != kLineGoesOn) return taken;
    // A paste arrives faster than it can be shown: show it once it is all in.
    if (!has_input(STDIN_FILENO)) show_line(refresh_line(editor));
  }
}
