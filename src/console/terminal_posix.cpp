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

#include "console/characters.h"
#include "console/descriptors_posix.h"
#include "console/key_sequence.h"
#include "console/line_editor.h"
#include "console/platform.h"
#include "console/terminal_mode_posix.h"

namespace {

constexpr int kDefaultColumns = 80;

Console_Encoding encoding_in_use = Console_Encoding::kUtf8;
// A line ended by "\r": a "\n" right after it belongs to the same Enter.
bool newline_may_follow = false;
// The last key was an ESC that nothing followed in time.
bool lone_escape_taken = false;
Line_Editor editor;
// Bytes read ahead with a key that turned out to be shorter: the next ones
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

enum class Byte_Event { kByte, kTimedOut, kSignalled, kEnded, kFailed };

// One byte from the terminal within `milliseconds` (-1: as long as it
// takes). kSignalled, with `events`, when the program was continued or the
// window resized, before any further wait.
Byte_Event next_byte(unsigned char& byte, int milliseconds, Terminal_Events& events) {
  if (read_ahead_count > 0) {
    byte = read_ahead[0];
    std::memmove(read_ahead, read_ahead + 1, --read_ahead_count);
    return Byte_Event::kByte;
  }
  for (;;) {
    events = take_terminal_events();
    if (events.resumed || events.resized) {
      take_terminal();
      return Byte_Event::kSignalled;
    }
    if (!holds_terminal()) stop_for_terminal_input();
    switch (wait_to_read(STDIN_FILENO, milliseconds, signals_open_while_waiting())) {
      case Wait_Result::kReady:
        break;
      case Wait_Result::kTimedOut:
        return Byte_Event::kTimedOut;
      case Wait_Result::kInterrupted:
        continue;
      case Wait_Result::kFailed:
        return Byte_Event::kFailed;
    }
    const ssize_t got = read(STDIN_FILENO, &byte, 1);
    if (got == 1) {
      const bool same_enter = newline_may_follow && byte == '\n';
      newline_may_follow = false;
      if (!same_enter) return Byte_Event::kByte;
    } else if (got == 0) {
      return Byte_Event::kEnded;
    } else if (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK) {
      return Byte_Event::kFailed;
    }
  }
}

using Event_Handler = std::function<void(const Terminal_Events&)>;

// The byte is read again as the next key.
void read_again(unsigned char byte) {
  std::memmove(read_ahead + 1, read_ahead, read_ahead_count++);
  read_ahead[0] = byte;
}

// The rest of a sequence, up to its end, or to a pause that ends it: after
// its ESC, the user pressed Esc alone. Signals that arrive meanwhile are acted
// on.
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
      case Byte_Event::kSignalled:
        on_events(events);
        break;
      case Byte_Event::kTimedOut:
        lone_escape_taken = sequence.length == 1;
        return sequence;
      case Byte_Event::kEnded:
      case Byte_Event::kFailed:
        return sequence;  // the next read meets the same end
    }
  }
}

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

enum class Sequence_Taken { kNone, kWhole, kRest };

// The sequence that `byte` begins (kWhole), or continues after an ESC taken
// alone (kRest); kNone when the byte is a key of its own.
Sequence_Taken take_sequence(unsigned char byte, Key_Context context,
                             const Event_Handler& on_events, Escape_Sequence& sequence) {
  const bool continues = lone_escape_taken && continues_lone_escape(byte, context);
  lone_escape_taken = false;
  if (continues) {
    sequence = take_escape_sequence(sequence_resumed_with(byte), context, on_events);
    return Sequence_Taken::kRest;
  }
  if (byte != kEscape) return Sequence_Taken::kNone;
  sequence = take_escape_sequence(Escape_Sequence{}, context, on_events);
  return Sequence_Taken::kWhole;
}

// At the menu a four-byte GB18030 character is one key, given as its first
// byte; other characters give one key a byte. The rest of a character that
// has begun is waited for as long as it takes, as a terminal sends it whole.
int character_key(unsigned char lead, const Event_Handler& on_events) {
  if (encoding_in_use != Console_Encoding::kGb18030 || lead < 0x81) return lead;
  unsigned char bytes[kMaxCharacterBytes] = {lead};
  std::size_t length = 1;
  Character_Check check = Character_Check::kIncomplete;
  while (check == Character_Check::kIncomplete &&
         next_typed_byte(bytes[length], on_events) == Byte_Event::kByte) {
    ++length;
    check = check_character(encoding_in_use, {reinterpret_cast<char*>(bytes), length});
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

}  // namespace

// A terminal that cannot move its cursor keeps its own mode: it is read as a pipe.
void start_console() {
  if (standard_input_kind() == Input_Kind::kKeys) start_terminal();
}

void set_console_encoding(Console_Encoding encoding) { encoding_in_use = encoding; }

std::string_view line_end() { return "\n"; }

std::ptrdiff_t read_standard_input(void* into, std::size_t size) {
  return read_some(STDIN_FILENO, into, size);
}

Input_Kind standard_input_kind() {
  if (isatty(STDIN_FILENO) != 1) return Input_Kind::kStream;
  return terminal_moves_cursor(std::getenv("TERM")) ? Input_Kind::kKeys : Input_Kind::kLines;
}

bool standard_output_is_terminal() {
  static const bool terminal = isatty(STDOUT_FILENO) == 1;  // asked once: it stays so
  return terminal;
}

bool write_standard_output(std::string_view bytes) {
  if (standard_output_is_terminal() && !bytes.empty()) {
    set_line_breaks_for_ending(bytes.back() == '\n' ? 0 : 1);
  }
  return write_all(STDOUT_FILENO, bytes);
}

void end_console() { end_terminal(); }

int read_console_key(std::string_view prompt) {
  const Event_Handler on_events = [&](const Terminal_Events& events) {
    if (events.resumed && holds_terminal()) show(prompt);
  };
  for (;;) {
    unsigned char byte = 0;
    const Byte_Event event = next_typed_byte(byte, on_events);
    if (event == Byte_Event::kEnded) return kConsoleEnded;
    if (event == Byte_Event::kFailed) return kConsoleFailed;
    if (is_end_of_file_key(byte)) return kConsoleEnded;
    Escape_Sequence sequence;
    switch (take_sequence(byte, Key_Context::kMenu, on_events, sequence)) {
      case Sequence_Taken::kNone:
        return character_key(byte, on_events);
      case Sequence_Taken::kWhole:
        return kEscape;
      case Sequence_Taken::kRest:
        break;  // its Esc has shown the menu again already
    }
  }
}

std::ptrdiff_t read_console_line(char* into, std::size_t capacity, std::string_view prompt) {
  if (capacity < 2 || signals_open_while_waiting() == nullptr) {
    return read_standard_input(into, capacity);
  }
  const Event_Handler on_events = [](const Terminal_Events& events) {
    if (events.resumed && holds_terminal()) show_line(redraw_line(editor));
    if (events.resized) show_line(resize_line(editor, terminal_columns()));
  };
  const Editing_Keys keys{mode_found().c_cc[VERASE], mode_found().c_cc[VEOF]};
  // What the program wrote on the row is on the terminal only when its output is.
  const std::string_view row = echo_fd() == STDOUT_FILENO ? prompt : std::string_view{};
  start_line(editor, row, encoding_in_use, terminal_columns(), capacity - 1);
  for (;;) {
    unsigned char byte = 0;
    const Byte_Event event = next_typed_byte(byte, on_events);
    if (event == Byte_Event::kFailed) return -1;
    if (event == Byte_Event::kEnded) {
      // Hung up: what was typed still counts, without its Enter.
      std::memcpy(into, editor.line, editor.length);
      return static_cast<ssize_t>(editor.length);
    }
    Edit_Step step = Edit_Step::kEditing;
    Escape_Sequence sequence;
    if (take_sequence(byte, Key_Context::kLine, on_events, sequence) != Sequence_Taken::kNone) {
      edit_with_sequence(editor, sequence);
    } else {
      step = edit_with_byte(editor, byte, keys);
    }
    if (step == Edit_Step::kEndOfFile) {
      show_line(refresh_line(editor));  // what was erased just before it goes from the screen too
      return 0;
    }
    if (step == Edit_Step::kEnter) {
      newline_may_follow = byte == '\r';
      show(finish_line(editor));
      set_line_breaks_for_ending(0);
      std::memcpy(into, editor.line, editor.length);
      into[editor.length] = '\n';
      return static_cast<ssize_t>(editor.length + 1);
    }
    // A paste arrives faster than it can be shown: show it once it is all in.
    if (!has_input(STDIN_FILENO)) show_line(refresh_line(editor));
  }
}
