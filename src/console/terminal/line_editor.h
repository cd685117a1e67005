// A small line editor: one line typed after the text that stands before it on
// its row (prompts, echoed answers), edited with the usual keys, shown on the
// terminal exactly as it stands, wrapped over as many rows as it needs. A
// character and the zero-width ones after it are edited as one.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "console/terminal/characters.h"
#include "console/terminal/key_sequence.h"
#include "console/terminal/terminal_port.h"

struct Line_Editor {
  std::string_view prompt;  // the row's text before the line, on screen from its start
  Console_Encoding encoding = Console_Encoding::kUtf8;
  int columns = 80;
  std::size_t capacity = kMaxLineBytes;  // bytes the line may hold
  // Bytes the line may hold before its first tab (a name, then its row's
  // other fields); kMaxLineBytes from start_line() on.
  std::size_t first_field_capacity = kMaxLineBytes;
  char line[kMaxLineBytes] = {};
  std::size_t length = 0;
  std::size_t cursor = 0;                 // a byte offset at a character's start
  char pending[kMaxCharacterBytes] = {};  // the first bytes of a character still being typed
  std::size_t pending_length = 0;
  int cursor_row = 0;         // the terminal cursor's row, counted from the prompt's first
  bool changed = false;       // since the screen last showed the line
  bool only_appended = true;  // and only by text typed at the end
  std::size_t drawn_length = 0;
  bool bell_due = false;  // a character did not fit
};

enum class Edit_Step { kEditing, kEnter, kEndOfFile };

// Starts a line after `prompt`, everything written on the row so far, which the
// terminal shows from the start of a row with its cursor at the end; the editor
// redraws it as its own. `capacity` is at most kMaxLineBytes; a character that
// does not fit is not taken, and the bell rings.
void start_line(Line_Editor& editor, std::string_view prompt, Console_Encoding encoding,
                int columns, std::size_t capacity);

// One byte typed, ESC excepted.
Edit_Step edit_with_byte(Line_Editor& editor, unsigned char byte, const Editing_Keys& keys);

// One whole escape sequence typed.
void edit_with_sequence(Line_Editor& editor, const Escape_Sequence& sequence);

// What to write so that the screen shows the prompt and the line with the
// cursor in its place; empty when nothing has changed since the last time.
std::string refresh_line(Line_Editor& editor);

// The same, shown afresh from the row the terminal cursor is on now (after
// the shell has had the terminal), or after the terminal's width changed.
std::string redraw_line(Line_Editor& editor);
std::string resize_line(Line_Editor& editor, int columns);

// What to write when the line is done: the cursor to its end, then a new row.
std::string finish_line(Line_Editor& editor);

// How many line breaks take the cursor, where the last drawing left it, to
// the start of a row below the prompt and the line: 0 when it stands at the
// start of an empty row already.
int line_breaks_below(const Line_Editor& editor);
