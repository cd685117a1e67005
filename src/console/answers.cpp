#include "console/answers.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <type_traits>

#include "console/input_source.h"
#include "console/output.h"
#include "console/platform/platform.h"
#include "console/script_text.h"
#include "console/terminal/characters.h"

namespace {

Answer_Text answer;
// Where on the line each byte of a token in `answer` began, and where the
// token ended: a full-width form, typed for its ASCII, takes more bytes there.
std::size_t line_offsets[kMaxAnswerBytes + 2];
std::size_t lines_at_prompt = 0;  // when the prompt was shown
std::size_t rows_given_up_at_prompt = 0;

void show_prompt(Text prompt) {
  lines_at_prompt = lines_typed();
  rows_given_up_at_prompt = rows_given_up_here();
  put_prompt(text(prompt));
}

int byte_ahead(std::size_t offset) { return peek_at(offset); }

// What ascii_of_full_width() makes of the character `offset` places ahead,
// and its length.
char full_width_at(std::size_t offset, std::size_t& length) {
  const Console_Encoding encoding = input_encoding();
  length =
      next_character_length(encoding, [&](std::size_t ahead) { return peek_at(offset + ahead); });
  char character[kMaxCharacterBytes];
  for (std::size_t i = 0; i < length; ++i) character[i] = static_cast<char>(peek_at(offset + i));
  return ascii_of_full_width(encoding, {character, length});
}

// Skips the blanks before an answer, ideographic spaces included; false once
// input has ended. A line typed at the prompt that held only blanks (an Enter
// alone) shows the prompt again below.
bool skip_blanks_before_answer() {
  for (;;) {
    if (buffered() == 0 && lines_typed() != lines_at_prompt) put_prompt_again();
    const int byte = peek_at();
    if (byte == kEndOfInput) return false;
    std::size_t length = 1;
    const bool blank = is_blank(byte) || (byte >= 0x80 && full_width_at(0, length) == ' ');
    if (!blank) return true;
    skip(length);
  }
}

// Adds the character of `length` bytes `offset` places ahead to the token in
// `answer`: its ASCII where it stands for one.
void add_to_token(std::size_t offset, std::size_t length, char ascii) {
  const std::size_t kept = ascii != '\0' ? 1 : length;
  for (std::size_t i = 0; i < kept && answer.length <= kMaxAnswerBytes; ++i) {
    line_offsets[answer.length] = offset;
    answer.add(ascii != '\0' ? ascii : peek_at(offset + i));
  }
}

// The next token on the line into `answer`, up to a blank, left unread; its
// full-width forms as their ASCII. A token that ends at a tab makes the line
// a row from there, with the token as its cell.
Answer_Source read_token() {
  answer.length = 0;
  std::size_t offset = 0;
  for (int byte = peek_at(); byte != kEndOfInput && !is_blank(byte); byte = peek_at(offset)) {
    std::size_t length = 1;
    const char ascii = byte < 0x80 ? static_cast<char>(byte) : full_width_at(offset, length);
    if (ascii == ' ' || answer.length > kMaxAnswerBytes) break;  // an ideographic space
    add_to_token(offset, length, ascii);
    offset += length;
  }
  line_offsets[answer.length] = offset;
  answer.bytes[answer.length] = '\0';
  if (answer.length > kMaxAnswerBytes || peek_at(offset) != '\t') return Answer_Source::kLine;
  skip(offset + 1);
  start_row(false);
  return Answer_Source::kCell;
}

// A number's cell, its full-width forms as their ASCII; ideographic spaces
// at its start are left out.
void read_number_cell() {
  read_cell(answer);
  const Console_Encoding encoding = input_encoding();
  std::size_t kept = 0;
  std::size_t length = 0;
  for (std::size_t at = 0; at < answer.length; at += length) {
    length = character_length(encoding, {answer.bytes + at, answer.length - at});
    const char ascii = ascii_of_full_width(encoding, {answer.bytes + at, length});
    if (ascii == '\0') {
      std::memmove(answer.bytes + kept, answer.bytes + at, length);
      kept += length;
    } else if (ascii != ' ' || kept > 0) {
      answer.bytes[kept++] = ascii;
    }
  }
  answer.length = kept;
  trim_answer(answer);
}

Answer_Source read_answer() {
  const Answer_Source source = answer_source();
  if (source == Answer_Source::kCell) read_number_cell();
  if (source != Answer_Source::kLine) return source;
  if (!skip_blanks_before_answer()) return Answer_Source::kNone;
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

// The `taken` bytes at the start of `answer` that make its number, taken
// from a line (what follows stays unread); 0 where they make none, are too
// long, or in a cell are not all of it.
std::size_t take_number(Answer_Source source, std::size_t taken) {
  if (taken == 0 || taken > kMaxLineBytes) return 0;  // as no line typed could hold it
  if (source == Answer_Source::kCell) return taken == answer.length ? taken : 0;
  skip(line_offsets[taken]);
  return taken;
}

// A refused answer: on a line, the rest of it discarded and its message (in a
// file, the line's label first), and true to ask again; in a row, the row
// given up.
bool refuse_answer(Answer_Source source, Text message) {
  if (source == Answer_Source::kCell) {
    give_up_row();
    return false;
  }
  put_file_line_label();
  for (int byte = take(); byte != kEndOfInput && byte != '\n'; byte = take()) {
  }
  put_text(text(message));
  return true;
}

template <class Value>
bool ask_number(Text prompt, Value& target, std::size_t (*parse)(const char*, std::size_t, Value&),
                const Int_Range& range) {
  for (;;) {
    show_prompt(prompt);
    const Answer_Source source = read_answer();
    if (source == Answer_Source::kNone) return false;
    Value value{};
    const bool readable = take_number(source, parse(answer.bytes, answer.length, value)) > 0;
    bool accepted = readable;
    if constexpr (std::is_integral_v<Value>) accepted = readable && range.accepts(value);
    if (accepted) {
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
  if (answer.length > kMaxAnswerBytes) return Name::kTooLong;
  const Console_Encoding from = input_encoding();
  const Console_Encoding console = console_encoding_in_use();
  const bool utf16 = input_kind_read() == Input_Kind::kStream && script_from_utf16();
  if (utf16 && !is_whole_text(Console_Encoding::kUtf8, {answer.bytes, answer.length})) {
    return Name::kUnreadable;
  }
  std::string_view kept(answer.bytes, without_controls(answer.bytes, answer.length, from));
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
  read_line_ahead(kMaxNameLength);
  answer.length = 0;
  int byte = take();
  for (; byte != '\n' && byte != '\t'; byte = take()) {
    if (byte == kEndOfInput) return Name::kEnded;
    answer.add(byte);
  }
  if (byte == '\t') start_row(false);
  if (byte == '\n' && answer.length > 0 && answer.length <= kMaxAnswerBytes &&
      answer.bytes[answer.length - 1] == '\r') {
    --answer.length;
  }
  return settle_name(name);
}

// Discards one character of the console's encoding (the line break after the
// previous answer, or both bytes of "\r\n"). False once input has ended.
bool discard_character_before_name() {
  if (peek_at() == kEndOfInput) return false;  // a script's encoding is known once its bytes came
  const bool carriage_return = peek_at() == '\r';
  skip(next_character_length(input_encoding(), byte_ahead));
  if (carriage_return && peek_at() == '\n') skip(1);
  return true;
}

// The name in the row's next cell; a name refused gives up the row.
bool take_name_cell(char (&name)[kNameBytes]) {
  read_cell(answer);
  if (settle_name(name) == Name::kFits) return true;
  give_up_row();
  return false;
}

}  // namespace

bool item_given_up() { return rows_given_up_here() != rows_given_up_at_prompt; }

bool ask_int(Text prompt, std::int32_t& target, const Int_Range& range) {
  return ask_number(prompt, target, parse_int, range);
}

bool ask_score(Text prompt, float& target) {
  return ask_number(prompt, target, parse_score, kAnyNumber);
}

bool ask_name(Text prompt, char (&name)[kNameBytes]) {
  show_prompt(prompt);
  const Answer_Source source = answer_source();
  if (source != Answer_Source::kLine) return source == Answer_Source::kCell && take_name_cell(name);
  if (!discard_character_before_name()) return false;
  for (;;) {
    const Name read = read_name_on_line(name);
    if (read == Name::kFits || read == Name::kEnded) return read == Name::kFits;
    if (in_row()) {  // the name ended at a tab: its row goes with it
      give_up_row();
      return false;
    }
    const Text refusal = read == Name::kTooLong ? Text::kNameTooLong : Text::kUnreadableNumber;
    put_text(text(refusal));
    show_prompt(prompt);
  }
}
