#include "console/input.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <type_traits>

#include "console/output.h"
#include "console/platform/platform.h"
#include "console/program.h"
#include "console/script_text.h"
#include "console/terminal/characters.h"

namespace {

constexpr std::size_t kBufferBytes = std::size_t{64} * 1024;

unsigned char buffer[kBufferBytes];
std::size_t read_at = 0;  // next unread byte
std::size_t filled = 0;   // end of the bytes read so far
bool ended = false;
Input_Kind input_kind = Input_Kind::kStream;
// The line ends moved out of the buffer, and whether the last byte moved out
// was one (or nothing was): line numbers and line starts count them.
std::size_t line_ends_before_buffer = 0;
bool line_end_before_buffer = true;
// The prompt of the answer being read, and the lines typed since it was shown.
std::string_view current_prompt;
int lines_typed_at_prompt = 0;
// At the name prompt, the bytes a line typed at a terminal holds before its
// first tab: a name's.
std::size_t typed_name_bytes = SIZE_MAX;

// The line being read is a row from its menu key or from an answer that
// ended at a tab: each answer is its next cell, and a bad or missing one
// gives up the whole item.
struct Row {
  bool active = false;
  bool commas = false;        // a CSV row: commas separate its cells, as tabs do
  bool cell_follows = false;  // the last cell ended at a separator, not at the line's end
};
Row row;
bool row_given_up = false;  // by the answer just asked for
bool header_row = false;    // the line of the menu key just taken has cells but no menu key

// The text of the answer being read: a row's cell, or a line's next token.
// One longer than kMaxAnswerBytes is cut a byte after, and refused; so is a
// number longer than kMaxNumberBytes, as in a line typed at a terminal.
constexpr std::size_t kMaxAnswerBytes = 4096;
constexpr std::size_t kMaxNumberBytes = 4095;
char answer[kMaxAnswerBytes + 2];  // and the terminating NUL
std::size_t answer_length = 0;
// Where on the line each byte of a token in `answer` began, and where the
// token ended, once it holds a full-width form: typed for its ASCII, such a
// form takes more bytes there. Until then each byte stands where it began.
std::size_t line_offsets[kMaxAnswerBytes + 2];
bool token_widened = false;

// A file named on the command line, while it is read: its name comes before
// every message about one of its lines. Null for standard input.
const char* file_name = nullptr;
int source_descriptor = kStandardInput;
std::size_t rows_given_up = 0;

std::size_t buffered() { return filled - read_at; }

// What the text read is in: a script's own, or the console's.
Console_Encoding input_encoding() {
  return input_kind == Input_Kind::kStream ? script_encoding() : console_encoding_in_use();
}

void show_prompt_again();

// One line typed at the terminal, or what standard input has. A typed line
// the console's encoding cannot hold is refused, and another one read.
std::ptrdiff_t read_more(char* into, std::size_t size) {
  if (input_kind == Input_Kind::kStream) return read_script(into, size);
  if (input_kind == Input_Kind::kLines) return read_input(kStandardInput, into, size);
  for (;;) {
    const std::ptrdiff_t got = read_console_line(
        {into, size, text_on_row(), console_encoding_in_use(), typed_line_shown, typed_name_bytes});
    if (got > 0 || got == kLineNotInEncoding) row_ended();
    if (got != kLineNotInEncoding) return got;
    put_text(text(Text::kUnreadableNumber));
    show_prompt_again();
    flush_output_or_fail();
  }
}

// The line ends among the first `size` bytes of the buffer.
std::size_t line_ends_in(std::size_t size) {
  std::size_t count = 0;
  const unsigned char* const end = buffer + size;
  for (const unsigned char* at = buffer;
       (at = static_cast<const unsigned char*>(
            std::memchr(at, '\n', static_cast<std::size_t>(end - at)))) != nullptr;
       ++at) {
    ++count;
  }
  return count;
}

// Reads more input behind what is still unread. False once input has ended.
bool fill() {
  if (ended) return false;
  if (read_at > 0) {
    line_ends_before_buffer += line_ends_in(read_at);
    line_end_before_buffer = buffer[read_at - 1] == '\n';
    std::memmove(buffer, buffer + read_at, buffered());
    filled = buffered();
    read_at = 0;
  }
  flush_output_or_fail();  // everything is on screen before waiting
  const std::ptrdiff_t got =
      read_more(reinterpret_cast<char*>(buffer + filled), kBufferBytes - filled);
  if (got > 0) {
    if (input_kind != Input_Kind::kStream) ++lines_typed_at_prompt;
    filled += static_cast<std::size_t>(got);
    return true;
  }
  if (got < 0) fail_reading();
  ended = true;
  return false;
}

// The byte `offset` places ahead, without taking it; offset < kBufferBytes.
inline int peek_at(std::size_t offset) {
  while (buffered() <= offset) {
    if (!fill()) return kEndOfInput;
  }
  return buffer[read_at + offset];
}

int peek() { return peek_at(0); }

int take() {
  const int byte = peek();
  if (byte != kEndOfInput) ++read_at;
  return byte;
}

// The same, as far as a script has come: more is read only where it is
// there already, so that a script driven one answer at a time never waits.
int peek_come(std::size_t offset) {
  if (buffered() > offset) return buffer[read_at + offset];
  while (buffered() <= offset && input_has_come(source_descriptor) && fill()) {
  }
  return buffered() > offset ? buffer[read_at + offset] : kEndOfInput;
}

std::size_t line_number() { return line_ends_before_buffer + line_ends_in(read_at) + 1; }

bool at_line_start() { return read_at > 0 ? buffer[read_at - 1] == '\n' : line_end_before_buffer; }

// As "%d" and "%f" have it, in the C locale the program reads in.
bool is_blank(int byte) { return byte == ' ' || (byte >= '\t' && byte <= '\r'); }
bool is_separator(int byte) { return byte == '\t' || (byte == ',' && row.commas); }

// The ASCII that the character `offset` places ahead stands for, as
// ascii_of_full_width() has it, and the character's length.
char full_width_at(std::size_t offset, std::size_t& length) {
  const Console_Encoding encoding = input_encoding();
  length =
      next_character_length(encoding, [&](std::size_t ahead) { return peek_at(offset + ahead); });
  const std::string_view character(reinterpret_cast<const char*>(buffer + read_at + offset),
                                   length);
  return ascii_of_full_width(encoding, character);
}

// Skips the blanks before an answer, ideographic spaces included; false once
// input has ended. A line typed at the prompt that held only blanks (an Enter
// alone) shows the prompt again below.
bool skip_blanks_before_answer() {
  for (;;) {
    if (buffered() == 0 && lines_typed_at_prompt > 0) put_dialogue(current_prompt);
    const int byte = peek();
    if (byte == kEndOfInput) return false;
    std::size_t length = 1;
    const bool blank = is_blank(byte) || (byte >= 0x80 && full_width_at(0, length) == ' ');
    if (!blank) return true;
    read_at += length;
  }
}

// Drops what is left of the line, its end included; true when that held more
// than blanks and separators. A terminal gives one line a read: what is
// buffered is the rest of it, line feeds inside a console's line included. A
// console line longer than one read goes on in the next; a dumb terminal's
// line without its end was cut short by its end-of-file key.
bool drop_rest_of_line() {
  bool more_than_blanks = false;
  bool line_goes_on = input_kind == Input_Kind::kStream || buffered() > 0;
  while (line_goes_on) {
    const int byte = take();
    if (byte == kEndOfInput) break;
    more_than_blanks = more_than_blanks || !(is_blank(byte) || is_separator(byte));
    line_goes_on = input_kind == Input_Kind::kStream
                       ? byte != '\n'
                       : buffered() > 0 || (byte != '\n' && input_kind == Input_Kind::kKeys);
  }
  return more_than_blanks;
}

// "第N行" in a script, "本行" where a person typed the line; a file's name
// and "：" before.
void put_line_label(std::size_t line) {
  if (file_name != nullptr) {
    put_text(file_name);
    put_text(text(Text::kFileNameEnd));
  }
  if (input_kind != Input_Kind::kStream) {
    put_text(text(Text::kThisLine));
    return;
  }
  char digits[24];
  put_text(text(Text::kScriptLineStart));
  put_text({digits, std::to_chars(digits, digits + sizeof digits, line).ptr});
  put_text(text(Text::kScriptLineEnd));
}

void put_line_message(std::size_t line, Text message) {
  put_line_label(line);
  put_text(text(message));
}

// The row's item is given up: its message, and the rest of its line dropped.
void give_up_row() {
  put_line_message(line_number(), Text::kRowGivenUp);
  drop_rest_of_line();
  row = {};
  row_given_up = true;
  ++rows_given_up;
}

void start_row(bool commas) { row = {true, commas, true}; }

// Passes over blanks up to the line's end, if nothing else is left on the
// line a terminal gave; false, passing nothing, where something is.
bool pass_blank_rest_of_line() {
  std::size_t at = read_at;
  while (at < filled && buffer[at] != '\n' && is_blank(buffer[at])) ++at;
  if (at < filled && buffer[at] != '\n') return false;
  read_at = at;
  return true;
}

// Where the next answer comes from: the row's next cell, the line, or none
// (input has ended, or the row was given up). A row whose line has ended is
// given up in a script. At a terminal a person types the rest, and the next
// lines are read as lines; there, empty cells at the end of the line (a tab
// typed last) are no answers either.
enum class Source { kLine, kCell, kNone };

Source answer_source() {
  if (!row.active) return Source::kLine;
  const bool typed = input_kind != Input_Kind::kStream;
  if (row.cell_follows && !(typed && pass_blank_rest_of_line())) return Source::kCell;
  row = {};
  if (typed) return Source::kLine;
  give_up_row();
  return Source::kNone;
}

void add_to_answer(int byte) {
  if (answer_length <= kMaxAnswerBytes) answer[answer_length++] = static_cast<char>(byte);
}

// Blanks around a cell's text: none of them a separator or the line's end.
bool is_padding(int byte) { return byte != '\n' && is_blank(byte) && !is_separator(byte); }

// In a script, a cell may begin with a double quote.
bool take_opening_quote() {
  if (input_kind != Input_Kind::kStream || peek() != '"') return false;
  ++read_at;
  return true;
}

// Leaves out the padding at the end of `answer`, beyond its first `kept` bytes.
void trim_answer(std::size_t kept) {
  while (answer_length > kept &&
         is_padding(static_cast<unsigned char>(answer[answer_length - 1]))) {
    --answer_length;
  }
  answer[answer_length] = '\0';
}

// The row's next cell into `answer`: the text up to the next separator or the
// line's end (left unread), without the white space around it. In a script, a
// cell that begins with a double quote runs to its closing one, and "" in it
// stands for one ".
void read_cell() {
  answer_length = 0;
  while (is_padding(peek())) ++read_at;
  bool quoted = take_opening_quote();
  std::size_t kept = 0;  // white space within the quotes is the cell's own
  row.cell_follows = false;
  for (int byte = peek(); byte != kEndOfInput && byte != '\n'; byte = peek()) {
    ++read_at;
    if (quoted && byte == '"' && peek() != '"') {
      quoted = false;
      kept = answer_length;
      continue;
    }
    if (quoted && byte == '"') {
      ++read_at;  // "" stands for one "
    } else if (!quoted && is_separator(byte)) {
      row.cell_follows = true;
      break;
    }
    add_to_answer(byte);
  }
  trim_answer(kept);
}

// Adds the character of `length` bytes `offset` places ahead to a token in
// `answer`: its ASCII where it is a full-width form for one.
void add_token_character(std::size_t offset, std::size_t length, char ascii) {
  for (std::size_t i = 0; !token_widened && i < answer_length; ++i) line_offsets[i] = i;
  token_widened = true;
  const unsigned char* character = buffer + read_at + offset;
  if (ascii != '\0') {
    character = reinterpret_cast<const unsigned char*>(&ascii);
    length = 1;
  }
  for (std::size_t i = 0; i < length && answer_length <= kMaxAnswerBytes; ++i) {
    line_offsets[answer_length] = offset;
    answer[answer_length++] = static_cast<char>(character[i]);
  }
}

// Adds the character of 0x80 or more `offset` places ahead to a token in
// `answer`; its length, 0 where it is an ideographic space, which ends it.
std::size_t add_wide_character(std::size_t offset) {
  std::size_t length = 1;
  const char ascii = full_width_at(offset, length);
  if (ascii == ' ') return 0;
  add_token_character(offset, length, ascii);
  return length;
}

// Adds the ASCII bytes that are no blank from `offset` places ahead on, up to
// `available`, to a token in `answer`; the offset after them.
std::size_t add_ascii_run(std::size_t offset, std::size_t available) {
  const unsigned char* const bytes = buffer + read_at;
  // In locals: a char stored may be any byte of memory to the compiler.
  std::size_t length = answer_length;
  const bool widened = token_widened;
  while (offset < available && bytes[offset] < 0x80 && !is_blank(bytes[offset])) {
    if (widened) line_offsets[length] = offset;
    answer[length++] = static_cast<char>(bytes[offset++]);
  }
  answer_length = length;
  return offset;
}

// The next token on the line into `answer`, up to a blank, left unread; a
// token that ends at a tab makes the line a row from there, with the token as
// its cell.
Source read_token() {
  answer_length = 0;
  token_widened = false;
  std::size_t offset = 0;
  // What is buffered is read as it stands; peek_at() reads more only past it.
  while (answer_length <= kMaxAnswerBytes && (offset < buffered() || peek_at(offset) >= 0)) {
    const std::size_t available =
        std::min(buffered(), offset + kMaxAnswerBytes + 1 - answer_length);
    offset = add_ascii_run(offset, available);
    if (offset == available) continue;
    const unsigned char byte = buffer[read_at + offset];
    const std::size_t wide = is_blank(byte) ? 0 : add_wide_character(offset);
    if (wide == 0) break;
    offset += wide;
  }
  line_offsets[answer_length] = offset;
  answer[answer_length] = '\0';
  if (answer_length > kMaxAnswerBytes || peek_at(offset) != '\t') return Source::kLine;
  read_at += offset + 1;
  start_row(false);
  return Source::kCell;
}

// A number's cell, its full-width forms as their ASCII; ideographic spaces
// at its start are left out.
void read_number_cell() {
  read_cell();
  const Console_Encoding encoding = input_encoding();
  std::size_t kept = 0;
  std::size_t length = 0;
  for (std::size_t at = 0; at < answer_length; at += length) {
    length = character_length(encoding, {answer + at, answer_length - at});
    const char ascii = ascii_of_full_width(encoding, {answer + at, length});
    if (ascii == '\0') {
      std::memmove(answer + kept, answer + at, length);
      kept += length;
    } else if (ascii != ' ' || kept > 0) {
      answer[kept++] = ascii;
    }
  }
  answer_length = kept;
  trim_answer(0);
}

// The next answer's text into `answer`: the row's next cell, or the line's
// next token.
Source read_answer() {
  const Source source = answer_source();
  if (source == Source::kCell) read_number_cell();
  if (source != Source::kLine) return source;
  if (!skip_blanks_before_answer()) return Source::kNone;
  return read_token();
}

// The bytes at the start of `text` that make its number, as "%d" and "%f"
// read them: 0 where there is none, or it is beyond 32 bits or not finite.
std::size_t parse_int(const char* text, std::size_t length, std::int32_t& value) {
  const std::size_t sign =
      length > 1 && text[0] == '+' && text[1] != '-' ? 1 : 0;  // as from_chars has no '+'
  const auto [end, error] = std::from_chars(text + sign, text + length, value);
  return error == std::errc{} ? static_cast<std::size_t>(end - text) : 0;
}

std::size_t parse_score(const char* text, std::size_t, float& value) {
  char* end = nullptr;
  value = std::strtof(text, &end);
  return std::isfinite(value) ? static_cast<std::size_t>(end - text) : 0;
}

void show_prompt(Text prompt) {
  current_prompt = text(prompt);
  row_given_up = false;
  show_prompt_again();
}

void show_prompt_again() {
  lines_typed_at_prompt = 0;
  put_dialogue(current_prompt);
}

// In a file, the refused answer's line comes before the message.
void refuse(Text message) {
  if (file_name != nullptr) {
    put_line_label(line_number());
    put_text(text(Text::kFileNameEnd));
  }
  for (int byte = take(); byte != kEndOfInput && byte != '\n'; byte = take()) {
  }
  put_text(text(message));
}

// The `taken` bytes at the start of `answer` that make its number, taken
// from a line (what follows stays unread); 0 where they make none, are too
// long, or in a cell are not all of it.
std::size_t take_number(Source source, std::size_t taken) {
  if (taken == 0 || taken > kMaxNumberBytes) return 0;
  if (source == Source::kCell) return taken == answer_length ? taken : 0;
  read_at += token_widened ? line_offsets[taken] : taken;
  return taken;
}

template <class Value>
bool in_range(const Int_Range& range, Value value) {
  if constexpr (std::is_integral_v<Value>) return range.accepts(value);
  return true;
}

// A refused answer: on a line, the rest of it discarded, its message, and
// true to ask again; in a row, the row given up.
bool refuse_answer(Source source, Text message) {
  if (source == Source::kCell) {
    give_up_row();
    return false;
  }
  refuse(message);
  return true;
}

// The answer to `prompt`, read by `parse`, into target when `range` takes it.
template <class Value>
bool ask_number(Text prompt, Value& target, std::size_t (*parse)(const char*, std::size_t, Value&),
                const Int_Range& range) {
  for (;;) {
    show_prompt(prompt);
    const Source source = read_answer();
    if (source == Source::kNone) return false;
    Value value{};
    const bool readable = take_number(source, parse(answer, answer_length, value)) > 0;
    if (readable && in_range(range, value)) {
      target = value;
      return true;
    }
    if (!refuse_answer(source, readable ? range.refusal : Text::kUnreadableNumber)) return false;
  }
}

enum class Name { kFits, kTooLong, kUnreadable, kEnded };

// The length of `text` once NUL bytes and C1 controls are left out; bytes
// that make no whole character are kept as they are.
std::size_t without_controls(char* text, std::size_t length, Console_Encoding encoding) {
  std::size_t kept = 0;
  for (std::size_t at = 0; at < length;) {
    std::size_t size = character_length(encoding, {text + at, length - at});
    const std::string_view character(text + at, size);
    if (check_character(encoding, character) != Character_Check::kComplete) size = 1;
    if (text[at] != '\0' && !is_c1_control(encoding, character)) {
      std::memmove(text + kept, text + at, size);
      kept += size;
    }
    at += size;
  }
  return kept;
}

// The name in `answer` as the console's encoding has it: a script's other
// names are converted to it, and refused where a character has no form
// there; in a UTF-16 script, a surrogate without its pair makes it unreadable.
Name settle_name(char (&name)[kNameBytes]) {
  if (answer_length > kMaxAnswerBytes) return Name::kTooLong;
  const Console_Encoding from = input_encoding();
  const Console_Encoding console = console_encoding_in_use();
  const bool utf16 = input_kind == Input_Kind::kStream && script_from_utf16();
  if (utf16 && !is_whole_text(Console_Encoding::kUtf8, {answer, answer_length})) {
    return Name::kUnreadable;
  }
  std::string_view kept(answer, without_controls(answer, answer_length, from));
  std::string converted;
  if (from != console) {
    if (!convert_text(kept, from, console, converted)) return Name::kUnreadable;
    kept = converted;
  }
  if (kept.size() > static_cast<std::size_t>(kMaxNameLength)) return Name::kTooLong;
  std::memcpy(name, kept.data(), kept.size());
  name[kept.size()] = '\0';
  return Name::kFits;
}

// The name on the line, up to a tab (the line is a row from there on) or the
// line's end, both taken; a '\r' before the line's end is dropped.
Name read_name_on_line(char (&name)[kNameBytes]) {
  answer_length = 0;
  int byte = take();
  for (; byte != '\n' && byte != '\t'; byte = take()) {
    if (byte == kEndOfInput) return Name::kEnded;
    add_to_answer(byte);
  }
  if (byte == '\t') start_row(false);
  if (byte == '\n' && answer_length > 0 && answer_length <= kMaxAnswerBytes &&
      answer[answer_length - 1] == '\r') {
    --answer_length;
  }
  return settle_name(name);
}

// Discards one character of the console's encoding (the line break after the
// previous answer, or both bytes of "\r\n"). False once input has ended.
bool discard_character_before_name() {
  if (peek() == kEndOfInput) return false;  // a script's encoding is known once its bytes came
  const bool carriage_return = peek() == '\r';
  read_at += next_character_length(input_encoding(), peek_at);
  if (carriage_return && peek() == '\n') ++read_at;
  return true;
}

}  // namespace

void input_reset(const Input_File* file) {
  read_at = 0;
  filled = 0;
  ended = false;
  line_ends_before_buffer = 0;
  line_end_before_buffer = true;
  row = {};
  rows_given_up = 0;
  file_name = file != nullptr ? file->name : nullptr;
  source_descriptor = file != nullptr ? file->descriptor : kStandardInput;
  input_kind = file != nullptr ? Input_Kind::kStream : standard_input_kind();
  if (file != nullptr) {
    start_script(console_encoding_in_use(), file->descriptor, &file->opening, file->name);
  } else {
    start_script(console_encoding_in_use(), kStandardInput, nullptr, "standard input");
  }
}

std::size_t rows_given_up_here() { return rows_given_up; }

Input_Kind input_kind_read() { return input_kind; }

bool item_given_up() { return row_given_up; }

void end_item(bool answers_read) {
  if (!row.active && (input_kind == Input_Kind::kStream || !answers_read)) return;
  const std::size_t line = line_number();
  if (drop_rest_of_line()) put_line_message(line, Text::kLeftoverDropped);
  row = {};
}

namespace {

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
  const int key = peek();
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
  for (int byte = peek(); is_blank(byte); byte = peek()) {
    line_start = line_start || byte == '\n';
    ++read_at;
  }
  return line_start;
}

// The name in the row's next cell; a name refused gives up the row.
bool take_name_cell(char (&name)[kNameBytes]) {
  read_cell();
  if (settle_name(name) == Name::kFits) return true;
  give_up_row();
  return false;
}

}  // namespace

int next_menu_key() {
  header_row = false;
  for (;;) {
    const bool line_start = skip_to_menu_key();
    const int key = peek();
    if (key == kEndOfInput) return kEndOfInput;
    const std::size_t length = key < 0x80 ? 1 : menu_key_length(input_encoding(), peek_at);
    const Menu_Line line =
        input_kind == Input_Kind::kStream && line_start ? menu_line(length) : Menu_Line::kKeys;
    if (line == Menu_Line::kEmpty) {
      drop_rest_of_line();
      continue;
    }
    read_at += length;
    header_row = line == Menu_Line::kHeader;
    if (line == Menu_Line::kRow) start_row(take() == ',');
    return key;
  }
}

bool give_up_header_row() {
  if (!header_row) return false;
  header_row = false;
  give_up_row();
  return true;
}

bool ask_int(Text prompt, std::int32_t& target, const Int_Range& range) {
  return ask_number(prompt, target, parse_int, range);
}

bool ask_score(Text prompt, float& target) {
  return ask_number(prompt, target, parse_score, kAnyNumber);
}

bool ask_name(Text prompt, char (&name)[kNameBytes]) {
  show_prompt(prompt);
  const Source source = answer_source();
  if (source != Source::kLine) return source == Source::kCell && take_name_cell(name);
  if (!discard_character_before_name()) return false;
  for (;;) {
    typed_name_bytes = kMaxNameLength;
    const Name read = read_name_on_line(name);
    typed_name_bytes = SIZE_MAX;
    if (read == Name::kFits || read == Name::kEnded) return read == Name::kFits;
    if (row.active) {  // the name ended at a tab: its row goes with it
      give_up_row();
      return false;
    }
    const Text refusal = read == Name::kTooLong ? Text::kNameTooLong : Text::kUnreadableNumber;
    put_text(text(refusal));
    show_prompt(prompt);
  }
}
