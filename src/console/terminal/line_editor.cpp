#include "console/terminal/line_editor.h"

#include <algorithm>
#include <cstring>

#include "console/terminal/characters.h"

namespace {

constexpr unsigned char kCtrlA = 0x01;  // to the start
constexpr unsigned char kCtrlB = 0x02;  // one character left
constexpr unsigned char kCtrlE = 0x05;  // to the end
constexpr unsigned char kCtrlF = 0x06;  // one character right
constexpr unsigned char kBackspace = 0x08;
constexpr unsigned char kTab = 0x09;
constexpr unsigned char kCtrlK = 0x0b;  // erase to the end
constexpr unsigned char kCtrlU = 0x15;  // erase to the start
constexpr unsigned char kCtrlW = 0x17;  // erase the word before the cursor
constexpr unsigned char kDelete = 0x7f;
constexpr unsigned char kFirstText = 0x20;

std::string_view line_text(const Line_Editor& editor) { return {editor.line, editor.length}; }

// A tab separates fields, as in rows copied from a spreadsheet: one space on screen.
void append_shown(std::string& out, std::string_view text) {
  const std::size_t start = out.size();
  out += text;
  std::replace(out.begin() + static_cast<std::ptrdiff_t>(start), out.end(), '\t', ' ');
}

std::size_t character_at(const Line_Editor& editor, std::size_t offset, int& columns) {
  const std::string_view rest = line_text(editor).substr(offset);
  const std::size_t length = character_length(editor.encoding, rest);
  columns = character_columns(editor.encoding, rest.substr(0, length));
  return length;
}

// The bytes of the character at `offset` and of the zero-width ones after it,
// which belong to it: the cursor never stands between them.
std::size_t length_at(const Line_Editor& editor, std::size_t offset) {
  int columns = 0;
  std::size_t end = offset + character_at(editor, offset, columns);
  while (end < editor.length) {
    const std::size_t length = character_at(editor, end, columns);
    if (columns != 0) break;
    end += length;
  }
  return end - offset;
}

// Found by walking from the start: GBK trail bytes look like ASCII.
std::size_t previous_start(const Line_Editor& editor, std::size_t offset) {
  std::size_t start = 0;
  for (std::size_t at = 0; at < offset; at += length_at(editor, at)) start = at;
  return start;
}

void erase(Line_Editor& editor, std::size_t from, std::size_t to) {
  if (from >= to) return;
  std::memmove(editor.line + from, editor.line + to, editor.length - to);
  editor.length -= to - from;
  editor.cursor = from;
  editor.changed = true;
  editor.only_appended = false;
}

void move_to(Line_Editor& editor, std::size_t offset) {
  if (offset == editor.cursor) return;
  editor.cursor = offset;
  editor.changed = true;
  editor.only_appended = false;
}

void insert(Line_Editor& editor, const char* bytes, std::size_t count) {
  // A zero-width character needs one before it in the line; at the start it
  // would join the prompt on screen.
  if (editor.cursor == 0 && character_columns(editor.encoding, {bytes, count}) == 0) return;
  const char* const tab = static_cast<const char*>(std::memchr(editor.line, '\t', editor.length));
  const std::size_t first_field =
      tab != nullptr ? static_cast<std::size_t>(tab - editor.line) : editor.length;
  const bool field_full = *bytes != '\t' && editor.cursor <= first_field &&
                          first_field + count > editor.first_field_capacity;
  if (editor.length + count > editor.capacity || field_full) {
    editor.bell_due = true;  // full: the character is not taken
    return;
  }
  if (editor.cursor != editor.length) editor.only_appended = false;
  std::memmove(editor.line + editor.cursor + count, editor.line + editor.cursor,
               editor.length - editor.cursor);
  std::memcpy(editor.line + editor.cursor, bytes, count);
  editor.length += count;
  editor.cursor += count;
  editor.changed = true;
}

void move_left(Line_Editor& editor) { move_to(editor, previous_start(editor, editor.cursor)); }

void move_right(Line_Editor& editor) {
  if (editor.cursor < editor.length) {
    move_to(editor, editor.cursor + length_at(editor, editor.cursor));
  }
}

void erase_at_cursor(Line_Editor& editor) {
  if (editor.cursor < editor.length) {
    erase(editor, editor.cursor, editor.cursor + length_at(editor, editor.cursor));
  }
}

// The start of the last word before the cursor, found in one pass from the
// line's start (GBK trail bytes look like ASCII).
void erase_word_before_cursor(Line_Editor& editor) {
  std::size_t word_start = 0;
  bool in_word = false;
  for (std::size_t at = 0; at < editor.cursor; at += length_at(editor, at)) {
    const bool space = editor.line[at] == ' ' || editor.line[at] == '\t';
    if (!space && !in_word) word_start = at;
    in_word = !space;
  }
  erase(editor, word_start, editor.cursor);
}

// Collects the bytes of one character; bytes that form none are dropped.
void take_text_byte(Line_Editor& editor, unsigned char byte) {
  editor.pending[editor.pending_length++] = static_cast<char>(byte);
  switch (check_character(editor.encoding, {editor.pending, editor.pending_length})) {
    case Character_Check::kComplete:
      // C1 controls are not taken, as C0 ones are not.
      if (!is_c1_control(editor.encoding, {editor.pending, editor.pending_length})) {
        insert(editor, editor.pending, editor.pending_length);
      }
      editor.pending_length = 0;
      return;
    case Character_Check::kIncomplete: return;
    case Character_Check::kInvalid:
      // What came before cannot be completed; the byte may still start a character.
      const bool retry_alone = editor.pending_length > 1;
      editor.pending_length = 0;
      if (retry_alone) take_text_byte(editor, byte);
      return;
  }
}

struct Screen_Position {
  int row = 0;
  int column = 0;
};

struct Layout {
  Screen_Position cursor;  // where the terminal cursor belongs
  Screen_Position end;     // just after the last character
};

Layout lay_out(const Line_Editor& editor) {
  Layout layout;
  Screen_Position at;
  bool cursor_placed = false;
  const auto place = [&](std::string_view text, std::size_t cursor_offset) {
    for (std::size_t offset = 0; offset < text.size();) {
      const std::size_t length = character_length(editor.encoding, text.substr(offset));
      const int width = character_columns(editor.encoding, text.substr(offset, length));
      // As terminals do, a character that does not fit goes whole to the next
      // row; a zero-width one joins the one before it, also at a row's end.
      const bool wraps = width > 0 && at.column + width > editor.columns && at.column > 0;
      const Screen_Position start = wraps ? Screen_Position{at.row + 1, 0} : at;
      if (offset == cursor_offset) {
        layout.cursor = start;
        cursor_placed = true;
      }
      at = {start.row, start.column + width};
      offset += length;
    }
  };
  place(editor.prompt, std::string_view::npos);
  place(line_text(editor), editor.cursor);
  layout.end = at;
  if (!cursor_placed) {
    // At the end: a full row leaves the cursor at the start of the next one.
    layout.cursor = at.column >= editor.columns ? Screen_Position{at.row + 1, 0} : at;
  }
  return layout;
}

void append_move(std::string& out, int count, char direction) {
  if (count <= 0) return;
  out += "\x1b[" + std::to_string(count) + direction;
}

// Clears from the prompt's first row down, writes prompt and line, and places the cursor.
std::string draw(Line_Editor& editor) {
  const Layout layout = lay_out(editor);
  std::string out;
  append_move(out, editor.cursor_row, 'A');
  out += "\r\x1b[J";
  out += editor.prompt;
  append_shown(out, line_text(editor));
  int row = layout.end.row;
  if (layout.cursor.row > row) {
    // The line fills its last row: the cursor goes below it by wrapping onto
    // a space, so that a terminal that rewraps its rows keeps them one line.
    out += " \r";
    ++row;
  }
  append_move(out, row - layout.cursor.row, 'A');
  out += '\r';
  append_move(out, layout.cursor.column, 'C');
  editor.cursor_row = layout.cursor.row;
  editor.drawn_length = editor.length;
  editor.changed = false;
  editor.only_appended = true;
  return out;
}

}  // namespace

void start_line(Line_Editor& editor, std::string_view prompt, Console_Encoding encoding,
                int columns, std::size_t capacity) {
  editor = {};
  editor.prompt = prompt;
  editor.encoding = encoding;
  editor.columns = std::max(columns, 1);
  editor.capacity = std::min(capacity, kMaxLineBytes);
  // The prompt is on screen, the cursor after its last character.
  editor.cursor_row = lay_out(editor).end.row;
}

Edit_Step edit_with_byte(Line_Editor& editor, unsigned char byte, const Editing_Keys& keys) {
  if (byte >= kFirstText && byte != kDelete && byte != keys.erase) {
    take_text_byte(editor, byte);
    return Edit_Step::kEditing;
  }
  editor.pending_length = 0;
  if (byte == '\r' || byte == '\n') return Edit_Step::kEnter;
  if (keys.end_of_file != 0 && byte == keys.end_of_file) {
    if (editor.length == 0) return Edit_Step::kEndOfFile;
    erase_at_cursor(editor);
    return Edit_Step::kEditing;
  }
  if (byte == kDelete || byte == kBackspace || (keys.erase != 0 && byte == keys.erase)) {
    erase(editor, previous_start(editor, editor.cursor), editor.cursor);
    return Edit_Step::kEditing;
  }
  switch (byte) {
    case kTab: insert(editor, "\t", 1); break;
    case kCtrlA: move_to(editor, 0); break;
    case kCtrlE: move_to(editor, editor.length); break;
    case kCtrlB: move_left(editor); break;
    case kCtrlF: move_right(editor); break;
    case kCtrlU: erase(editor, 0, editor.cursor); break;
    case kCtrlK: erase(editor, editor.cursor, editor.length); break;
    case kCtrlW: erase_word_before_cursor(editor); break;
    default: break;  // no other control byte does anything
  }
  return Edit_Step::kEditing;
}

void edit_with_sequence(Line_Editor& editor, const Escape_Sequence& sequence) {
  editor.pending_length = 0;
  const auto is_any = [&](std::initializer_list<std::string_view> forms) {
    return std::any_of(forms.begin(), forms.end(),
                       [&](std::string_view form) { return sequence_is(sequence, form); });
  };
  if (is_any({"\x1b[D", "\x1bOD"})) {
    move_left(editor);
  } else if (is_any({"\x1b[C", "\x1bOC"})) {
    move_right(editor);
  } else if (is_any({"\x1b[H", "\x1b[1~", "\x1b[7~", "\x1bOH"})) {
    move_to(editor, 0);
  } else if (is_any({"\x1b[F", "\x1b[4~", "\x1b[8~", "\x1bOF"})) {
    move_to(editor, editor.length);
  } else if (is_any({"\x1b[3~"})) {
    erase_at_cursor(editor);
  }
}

std::string refresh_line(Line_Editor& editor) {
  std::string out;
  if (editor.bell_due) out = "\a";  // once for all that a paste could not add
  editor.bell_due = false;
  if (!editor.changed) return out;
  if (editor.only_appended && editor.cursor == editor.length) {
    // Typed at the end of a row that still has room: the new text alone, unless
    // it starts with a mark for a character that may stand on the row above.
    const Layout layout = lay_out(editor);
    int first_columns = 1;
    if (editor.drawn_length < editor.length) {
      character_at(editor, editor.drawn_length, first_columns);
    }
    if (layout.cursor.row == editor.cursor_row && layout.end.column < editor.columns &&
        first_columns > 0) {
      append_shown(out, line_text(editor).substr(editor.drawn_length));
      editor.drawn_length = editor.length;
      editor.changed = false;
      return out;
    }
  }
  return out + draw(editor);
}

std::string redraw_line(Line_Editor& editor) {
  editor.cursor_row = 0;
  return draw(editor);
}

std::string resize_line(Line_Editor& editor, int columns) {
  editor.columns = std::max(columns, 1);
  // Terminals that rewrap their rows keep the cursor where the new width puts it.
  editor.cursor_row = lay_out(editor).cursor.row;
  return draw(editor);
}

std::string finish_line(Line_Editor& editor) {
  move_to(editor, editor.length);
  std::string out = refresh_line(editor);
  // A line drawn to fill its last row has put the cursor on a new row already;
  // a prompt that fills it has left the cursor at its end.
  if (editor.cursor_row == lay_out(editor).end.row) out += "\r\n";
  return out;
}

int line_breaks_below(const Line_Editor& editor) {
  const Layout layout = lay_out(editor);
  const bool row_empty = layout.end.row == 0 && layout.end.column == 0;
  if (row_empty || editor.cursor_row > layout.end.row) return 0;
  return layout.end.row - editor.cursor_row + 1;
}
