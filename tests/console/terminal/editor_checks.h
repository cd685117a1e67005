// Runs the line editor as the terminal reader does, keys in and what it writes
// out onto a screen model, and judges the result: the line holds whole
// characters, the cursor stands at the start of one, and the screen shows the
// row's text and the line, with the cursor in its place, as if written afresh.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

#include "console/terminal/characters.h"
#include "console/terminal/key_sequence.h"
#include "console/terminal/line_editor.h"
#include "screen_model.h"

inline const Editing_Keys kTestKeys{0x7f, 0x04};

struct Editor_Run {
  Line_Editor editor;
  Screen_Model screen;
  Edit_Step step = Edit_Step::kEditing;
  bool drawn = false;  // by the editor; the prompt alone may end in a pending wrap

  Editor_Run(Console_Encoding encoding, int columns, std::string_view prompt,
             std::size_t capacity = kMaxLineBytes)
      : screen(encoding, columns) {
    screen.write(prompt);
    start_line(editor, prompt, encoding, columns, capacity);
  }

  // Keys as the terminal sends them: escape sequences are taken whole. Each
  // key is shown at once unless `shown_at_end`, as with a paste.
  void type(std::string_view keys, bool shown_at_end = false) {
    for (std::size_t at = 0; at < keys.size() && step == Edit_Step::kEditing;) {
      const unsigned char byte = static_cast<unsigned char>(keys[at++]);
      if (byte == kEscape) {
        Escape_Sequence sequence;
        while (at < keys.size() &&
               !add_to_sequence(sequence, static_cast<unsigned char>(keys[at++]))) {
        }
        if (sequence.cut_short) --at;  // the control byte is a key of its own
        edit_with_sequence(editor, sequence);
      } else {
        step = edit_with_byte(editor, byte, kTestKeys);
      }
      if (!shown_at_end) show(refresh_line(editor));
    }
    show(step == Edit_Step::kEnter ? finish_line(editor) : refresh_line(editor));
  }

  void resize(int columns) {
    screen.resize(columns);
    show(resize_line(editor, columns));
  }

  void show(std::string_view bytes) {
    screen.write(bytes);
    if (bytes.find_first_not_of('\a') != std::string_view::npos) drawn = true;
  }

  std::string line() const { return {editor.line, editor.length}; }
};

// Empty when all is well; otherwise what is wrong.
inline std::string editor_fault(const Editor_Run& run) {
  const Line_Editor& editor = run.editor;
  const std::string_view line(editor.line, editor.length);
  bool cursor_at_start = editor.cursor == 0 || editor.cursor == editor.length;
  for (std::size_t at = 0; at < line.size();) {
    const std::size_t length = character_length(editor.encoding, line.substr(at));
    if (check_character(editor.encoding, line.substr(at, length)) != Character_Check::kComplete) {
      return "a broken character at byte " + std::to_string(at);
    }
    at += length;
    if (at == editor.cursor) cursor_at_start = true;
  }
  if (!cursor_at_start || editor.cursor > editor.length) return "the cursor inside a character";
  if (run.screen.went_above_the_top()) return "the cursor went above the prompt's row";
  if (run.drawn && run.screen.wrap_pending()) return "the cursor left past the last column";

  Screen_Model fresh(editor.encoding, run.screen.columns());
  std::string on_screen(line);  // a tab shows as one space
  std::replace(on_screen.begin(), on_screen.end(), '\t', ' ');
  fresh.write(editor.prompt);
  fresh.write(std::string_view(on_screen).substr(0, editor.cursor));
  int row = fresh.cursor_row();
  int column = fresh.cursor_column();
  int next_width = 1;
  if (editor.cursor < editor.length) {
    const std::string_view rest = line.substr(editor.cursor);
    next_width =
        character_columns(editor.encoding, rest.substr(0, character_length(editor.encoding, rest)));
  }
  if (fresh.wrap_pending() ||
      (column > 0 && column + next_width > fresh.columns() && editor.cursor < editor.length)) {
    ++row;
    column = 0;
  }
  fresh.write(std::string_view(on_screen).substr(editor.cursor));
  if (run.screen.rows() != fresh.rows()) {
    std::string shown;
    for (const std::string& text : run.screen.rows()) shown += "[" + text + "]";
    std::string wanted;
    for (const std::string& text : fresh.rows()) wanted += "[" + text + "]";
    return "the screen shows " + shown + " instead of " + wanted;
  }
  if (run.step == Edit_Step::kEnter) {
    const int row_below = fresh.cursor_row() + 1;  // below the line's end
    if (run.screen.cursor_column() != 0 || run.screen.cursor_row() != row_below) {
      return "after Enter the cursor is not at the start of the row below";
    }
    return {};
  }
  // A pending wrap puts what comes next at the start of the row below.
  const bool pending = run.screen.wrap_pending();
  const int shown_row = run.screen.cursor_row() + (pending ? 1 : 0);
  const int shown_column = pending ? 0 : run.screen.cursor_column();
  if (shown_row != row || shown_column != column) {
    return "the cursor is at row " + std::to_string(shown_row) + " column " +
           std::to_string(shown_column) + " instead of row " + std::to_string(row) + " column " +
           std::to_string(column);
  }
  return {};
}
