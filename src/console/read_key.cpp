#include "console/read_key.h"

#include "console/input_source.h"
#include "console/output.h"
#include "console/platform/platform.h"
#include "console/program.h"
#include "console/terminal/characters.h"
#include "console/texts.h"

namespace {

constexpr int kFirstPrintable = 0x21;  // a space is echoed only on a terminal
constexpr int kLastPrintable = 0x7e;

bool header_row = false;  // the line of the menu key just taken has cells but no menu key

// A terminal that sends whole lines has shown the key itself.
void echo(int key) {
  const Input_Kind kind = input_kind_read();
  if (kind == Input_Kind::kLines) return;
  const bool printable = key >= kFirstPrintable && key <= kLastPrintable;
  const char echoed = static_cast<char>(key);
  if (printable || (key == ' ' && kind == Input_Kind::kKeys)) put_dialogue({&echoed, 1});
}

// The next key from the terminal itself, what was written shown first.
int terminal_key() {
  flush_output_or_fail();
  const int key = read_console_key(text(Text::kMenuPrompt), console_encoding_in_use());
  if (key == kConsoleFailed) fail_reading();
  return key;
}

enum class Menu_Line { kKeys, kRow, kHeader, kEmpty };

// The line from the menu key on, as far as it has come: a header or another
// line of cells (tabs or commas) that begins with no menu key, a row of
// empty cells, or keys.
Menu_Line line_of_cells() {
  bool separator = false;
  bool content = false;
  for (std::size_t offset = 0; offset < kMaxAnswerBytes; ++offset) {
    const int byte = peek_come(offset);
    if (byte == kEndOfInput || byte == '\n') break;
    const bool separates = byte == '\t' || byte == ',';
    separator = separator || separates;
    content = content || !(separates || is_blank(byte));
  }
  if (!separator) return Menu_Line::kKeys;
  return content ? Menu_Line::kHeader : Menu_Line::kEmpty;
}

// What the line of a script's menu key is: a row where a menu key is
// followed directly by a tab or a comma; keys where its first word is a menu
// key; else as its cells say.
Menu_Line menu_line(std::size_t key_length) {
  const int key = peek_at();
  const int after = peek_come(key_length);
  if (key_length == 1 && key >= '1' && key <= '5') {
    if (after == '\t' || after == ',') return Menu_Line::kRow;
    if (after == kEndOfInput || is_blank(after)) return Menu_Line::kKeys;
  }
  return line_of_cells();
}

// Skips the blanks before the next menu key; whether the key begins its line.
bool skip_to_menu_key() {
  bool line_start = at_line_start();
  for (int byte = peek_at(); is_blank(byte); byte = peek_at()) {
    line_start = line_start || byte == '\n';
    skip(1);
  }
  return line_start;
}

// The next key that is not white space: a byte, or the first byte of a
// four-byte GB18030 character, which is taken whole. In a script, a menu key
// that begins its line followed directly by a tab or a comma makes the line a
// row (in CSV with a comma); a line of nothing but blanks and separators is
// passed over.
int next_menu_key() {
  header_row = false;
  for (;;) {
    const bool line_start = skip_to_menu_key();
    const int key = peek_at();
    if (key == kEndOfInput) return kEndOfInput;
    const std::size_t length =
        key < 0x80 ? 1
                   : menu_key_length(input_encoding(), [](std::size_t at) { return peek_at(at); });
    const Menu_Line line = input_kind_read() == Input_Kind::kStream && line_start
                               ? menu_line(length)
                               : Menu_Line::kKeys;
    if (line == Menu_Line::kEmpty) {
      drop_rest_of_line();
      continue;
    }
    skip(length);
    header_row = line == Menu_Line::kHeader;
    if (line == Menu_Line::kRow) start_row(take() == ',');
    return key;
  }
}

}  // namespace

int read_key() {
  const int key = input_kind_read() == Input_Kind::kKeys ? terminal_key() : next_menu_key();
  if (key != kEndOfInput) echo(key);
  return key;
}

bool give_up_header_row() {
  if (!header_row) return false;
  header_row = false;
  give_up_row();
  return true;
}
