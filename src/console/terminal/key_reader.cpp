#include "console/terminal/key_reader.h"

#include <algorithm>
#include <cstring>

#include "console/terminal/characters.h"
#include "console/terminal/key_sequence.h"
#include "console/terminal/line_editor.h"

namespace {

// A line ended by "\r": a "\n" right after it belongs to the same Enter.
bool newline_may_follow = false;
// The last key was an ESC that nothing followed in time.
bool lone_escape_taken = false;
// Bytes read ahead of the key taken: the next ones typed, oldest first.
unsigned char read_ahead[kMaxCharacterBytes];
std::size_t read_ahead_count = 0;
Line_Editor editor;

enum class Key_Context { kMenu, kLine };

// What a key is read for: the menu, or the editor's line.
struct Reading {
  const Terminal_Port& port;
  Key_Context context;
  std::string_view menu_prompt;
  void (*shown)(int line_breaks_below);
};

void show_line(const Reading& reading, std::string_view bytes) {
  reading.port.show(bytes);
  reading.shown(line_breaks_below(editor));
}

void redraw(const Reading& reading, const Terminal_Events& events) {
  if (reading.context == Key_Context::kMenu) {
    if (events.resumed) reading.port.show(reading.menu_prompt);
    return;
  }
  if (events.resumed) show_line(reading, redraw_line(editor));
  if (events.resized) show_line(reading, resize_line(editor, reading.port.columns()));
}

// One byte from the terminal itself: kByte, kTimedOut, kEnded or kFailed.
Byte_Read read_typed(const Reading& reading, unsigned char& byte, int milliseconds) {
  for (;;) {
    Terminal_Events events;
    const Byte_Read read = reading.port.read_byte(byte, milliseconds, events);
    if (read == Byte_Read::kSignalled) {
      redraw(reading, events);
      continue;
    }
    const bool same_enter = read == Byte_Read::kByte && newline_may_follow && byte == '\n';
    if (read == Byte_Read::kByte) newline_may_follow = false;
    if (!same_enter) return read;
  }
}

Byte_Read next_byte(const Reading& reading, unsigned char& byte, int milliseconds) {
  if (read_ahead_count == 0) return read_typed(reading, byte, milliseconds);
  byte = read_ahead[0];
  std::memmove(read_ahead, read_ahead + 1, --read_ahead_count);
  return Byte_Read::kByte;
}

struct Key {
  Byte_Read event = Byte_Read::kEnded;  // kByte, kEnded or kFailed
  unsigned char byte = 0;
  bool is_sequence = false;  // then `sequence` holds it, ESC first
  bool resumed = false;      // a sequence whose ESC came earlier, taken alone
  Escape_Sequence sequence;
};

// The rest of a sequence, up to its end or a pause; a control byte that cuts
// it short is the next key. Terminals send a sequence at once: nothing after
// its ESC for a moment means Esc alone. Once begun, the menu waits as long as
// it takes (a slow link must not split it into keys); a line waits a while,
// then takes what comes as text (Alt+[ must not swallow the next answer).
void take_sequence(const Reading& reading, Escape_Sequence& sequence) {
  constexpr int kLoneEscapeWaitMs = 100;
  constexpr int kLineSequenceByteWaitMs = 500;
  const int begun_wait = reading.context == Key_Context::kLine ? kLineSequenceByteWaitMs : -1;
  for (;;) {
    unsigned char byte = 0;
    const int wait = sequence.length == 1 ? kLoneEscapeWaitMs : begun_wait;
    const Byte_Read read = next_byte(reading, byte, wait);
    lone_escape_taken = read == Byte_Read::kTimedOut && sequence.length == 1;
    if (read != Byte_Read::kByte) return;
    if (add_to_sequence(sequence, byte)) {
      if (sequence.cut_short) {
        std::memmove(read_ahead + 1, read_ahead, read_ahead_count++);
        read_ahead[0] = byte;
      }
      return;
    }
  }
}

// The next byte typed, or a whole escape sequence, or the end, or a failure.
Key next_key(const Reading& reading) {
  Key key;
  key.event = next_byte(reading, key.byte, -1);
  if (key.event != Byte_Read::kByte) return key;
  // A slow link may deliver an ESC alone, then the rest of its sequence: "["
  // continues it, and "O" at the menu (in a line "O" may begin a name).
  const bool introducer =
      key.byte == '[' || (key.byte == 'O' && reading.context == Key_Context::kMenu);
  key.resumed = lone_escape_taken && introducer;
  lone_escape_taken = false;
  key.is_sequence = key.resumed || key.byte == kEscape;
  if (key.resumed) add_to_sequence(key.sequence, key.byte);
  if (key.is_sequence) take_sequence(reading, key.sequence);
  return key;
}

// The key `lead` begins at the menu; the rest of its character is read ahead,
// waited for as long as it takes (a terminal sends it whole).
int character_key(const Reading& reading, unsigned char lead, Console_Encoding encoding) {
  const std::size_t length = menu_key_length(encoding, [&](std::size_t offset) -> int {
    if (offset == 0) return lead;
    unsigned char byte = 0;
    while (read_ahead_count < offset) {
      if (read_typed(reading, byte, -1) != Byte_Read::kByte) return -1;
      read_ahead[read_ahead_count++] = byte;
    }
    return read_ahead[offset - 1];
  });
  read_ahead_count -= length - 1;
  std::memmove(read_ahead, read_ahead + length - 1, read_ahead_count);
  return lead;
}

Edit_Step edit_with_key(const Key& key, const Editing_Keys& keys) {
  if (!key.is_sequence) return edit_with_byte(editor, key.byte, keys);
  edit_with_sequence(editor, key.sequence);
  return Edit_Step::kEditing;
}

// The line for the reader: its text, and "\n" when Enter ended it.
std::ptrdiff_t take_line(char* into, bool entered) {
  std::memcpy(into, editor.line, editor.length);
  if (entered) into[editor.length] = '\n';
  return static_cast<std::ptrdiff_t>(editor.length + (entered ? 1 : 0));
}

}  // namespace

int read_terminal_key(const Terminal_Port& port, std::string_view prompt,
                      Console_Encoding encoding) {
  const Reading reading{port, Key_Context::kMenu, prompt, nullptr};
  const unsigned char end_of_file = port.editing_keys().end_of_file;
  for (;;) {
    const Key key = next_key(reading);
    if (key.event == Byte_Read::kFailed) return kConsoleFailed;
    if (key.event == Byte_Read::kEnded || (end_of_file != 0 && key.byte == end_of_file)) {
      return kEndOfInput;
    }
    if (!key.is_sequence) return character_key(reading, key.byte, encoding);
    if (!key.resumed) return kEscape;  // else its Esc has shown the menu again already
  }
}

std::ptrdiff_t read_terminal_line(const Terminal_Port& port, const Line_Request& request) {
  const Reading reading{port, Key_Context::kLine, {}, request.shown};
  const Editing_Keys keys = port.editing_keys();
  start_line(editor, request.prompt, request.encoding, port.columns(), request.capacity - 1);
  editor.first_field_capacity = std::min(request.first_field_capacity, editor.capacity);
  for (;;) {
    const Key key = next_key(reading);
    if (key.event == Byte_Read::kFailed) return kConsoleFailed;
    if (key.event == Byte_Read::kEnded) return take_line(request.into, false);  // hung up
    const Edit_Step step = edit_with_key(key, keys);
    if (step == Edit_Step::kEndOfFile) {
      show_line(reading, refresh_line(editor));  // what was erased just before it goes too
      return 0;
    }
    if (step == Edit_Step::kEnter) {
      newline_may_follow = key.byte == '\r';
      port.show(finish_line(editor));
      request.shown(0);
      return take_line(request.into, true);
    }
    // A paste arrives faster than it can be shown: show it once it is all in.
    if (read_ahead_count == 0 && !port.has_input()) show_line(reading, refresh_line(editor));
  }
}
