#include "console/input.h"

#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "console/output.h"
#include "console/platform/platform.h"
#include "console/program.h"
#include "console/script_text.h"
#include "console/terminal/characters.h"
#include "console/terminal/key_reader.h"

namespace {

constexpr std::size_t kBufferBytes = std::size_t{64} * 1024;

unsigned char buffer[kBufferBytes];
std::size_t read_at = 0;  // next unread byte
std::size_t filled = 0;   // end of the bytes read so far
bool ended = false;
Input_Kind input_kind = Input_Kind::kStream;
// The prompt of the answer being read, and the lines typed since it was shown.
std::string_view current_prompt;
int lines_typed_at_prompt = 0;
// At the name prompt, the bytes a line typed at a terminal holds before its
// first tab: a name's.
std::size_t typed_name_bytes = SIZE_MAX;

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
  if (input_kind == Input_Kind::kLines) return read_standard_input(into, size);
  const Console_Input console = console_input();
  for (;;) {
    const Console_Encoding encoding = console_encoding_in_use();
    const Line_Request line{
        into, size, text_on_row(), encoding, typed_line_shown, typed_name_bytes};
    const std::ptrdiff_t got = console.port != nullptr ? read_terminal_line(*console.port, line)
                                                       : console.read_line(into, size, encoding);
    if (got > 0 || got == kLineNotInEncoding) row_ended();
    if (got != kLineNotInEncoding) return got;
    put_text(text(Text::kUnreadableNumber));
    show_prompt_again();
    flush_output_or_fail();
  }
}

// Reads more input behind what is still unread. False once input has ended.
bool fill() {
  if (ended) return false;
  if (read_at > 0) {
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

// As "%d" and "%f" have them, in the C locale the program reads in.
bool is_digit(int byte) { return std::isdigit(byte) != 0; }
bool is_blank(int byte) { return std::isspace(byte) != 0; }

// False once input has ended. With `prompt_again`, a line typed at the
// prompt that held only blanks (an Enter alone) shows the prompt again below.
bool skip_blanks(bool prompt_again = false) {
  for (;;) {
    if (prompt_again && buffered() == 0 && lines_typed_at_prompt > 0) put_text(current_prompt);
    const int byte = peek();
    if (byte == kEndOfInput) return false;
    if (!is_blank(byte)) return true;
    ++read_at;
  }
}

enum class Scan { kNumber, kUnreadable, kEnded };

// Like "%d": white space skipped, optional sign, decimal digits; what follows
// stays unread. A value outside 32 bits is unreadable.
Scan scan_int(std::int32_t& value) {
  if (!skip_blanks(true)) return Scan::kEnded;
  bool negative = false;
  if (peek() == '+' || peek() == '-') negative = take() == '-';
  if (!is_digit(peek())) return Scan::kUnreadable;
  constexpr long long kLimit = 1LL << 31;  // |INT32_MIN|
  long long magnitude = 0;
  while (is_digit(peek())) {
    magnitude = magnitude * 10 + (take() - '0');
    if (magnitude > kLimit) magnitude = kLimit + 1;  // saturate: too big already
  }
  const long long signed_value = negative ? -magnitude : magnitude;
  if (signed_value < INT32_MIN || signed_value > INT32_MAX) return Scan::kUnreadable;
  value = static_cast<std::int32_t>(signed_value);
  return Scan::kNumber;
}

// The longest a score may be, as in a line typed at a terminal.
constexpr std::size_t kMaxNumberBytes = 4095;

// Like "%f": strtof on the whole token (up to a blank or the end) decides what
// it takes; the rest stays unread. A number longer than kMaxNumberBytes, or
// one not finite as a float, is unreadable.
Scan scan_score(float& value) {
  if (!skip_blanks(true)) return Scan::kEnded;
  char token[kMaxNumberBytes + 2];
  std::size_t length = 0;
  for (int byte = peek(); length <= kMaxNumberBytes && byte != kEndOfInput && !is_blank(byte);
       byte = peek_at(length)) {
    token[length++] = static_cast<char>(byte);
  }
  token[length] = '\0';
  char* end = nullptr;
  const float read_value = std::strtof(token, &end);
  const auto taken = static_cast<std::size_t>(end - token);
  if (taken == 0 || taken > kMaxNumberBytes || !std::isfinite(read_value)) {
    return Scan::kUnreadable;
  }
  read_at += taken;
  value = read_value;
  return Scan::kNumber;
}

void show_prompt(Text prompt) {
  current_prompt = text(prompt);
  show_prompt_again();
}

void show_prompt_again() {
  lines_typed_at_prompt = 0;
  put_text(current_prompt);
}

void discard_rest_of_line() {
  for (int byte = take(); byte != kEndOfInput && byte != '\n'; byte = take()) {
  }
}

void refuse(Text message) {
  discard_rest_of_line();
  put_text(text(message));
}

enum class Name { kFits, kTooLong, kUnreadable, kEnded };

// Whether the last name read ended at a tab, with more fields of its row after it.
bool name_ended_at_tab = false;

// The length of `text` once its C1 controls are left out.
std::size_t without_c1_controls(char* text, std::size_t length) {
  const Console_Encoding encoding = input_encoding();
  std::size_t kept = 0;
  for (std::size_t at = 0; at < length;) {
    const std::size_t size = character_length(encoding, {text + at, length - at});
    if (!is_c1_control(encoding, {text + at, size})) {
      std::memmove(text + kept, text + at, size);
      kept += size;
    }
    at += size;
  }
  return kept;
}

// Reads the name, up to a tab or the line's end (taken, not kept), into
// `name`, which holds `capacity` bytes with the terminating NUL; a '\r' before
// the line's end is dropped, and so are NUL bytes and C1 controls.
Name read_name_field(char* name, std::size_t capacity) {
  std::size_t length = 0;
  int byte = take();
  for (; byte != '\n' && byte != '\t'; byte = take()) {
    if (byte == kEndOfInput) return Name::kEnded;
    if (byte == '\0') continue;  // it would end the name where it stands
    if (length < capacity) name[length] = static_cast<char>(byte);
    ++length;
  }
  name_ended_at_tab = byte == '\t';
  if (length > 0 && length <= capacity && !name_ended_at_tab && name[length - 1] == '\r') --length;
  if (length >= capacity) return Name::kTooLong;
  name[without_c1_controls(name, length)] = '\0';
  return Name::kFits;
}

// The name in the console's encoding: a script's other names are converted
// to it, and refused where a character has no form there.
Name read_name(char (&name)[kNameBytes]) {
  const Console_Encoding console = console_encoding_in_use();
  if (input_encoding() == console) return read_name_field(name, kNameBytes);
  char utf8[kNameBytes * 2];  // a UTF-8 name takes at most 1.5 times the bytes
  const Name read = read_name_field(utf8, sizeof utf8);
  if (read != Name::kFits) return read;
  std::string converted;
  if (!convert_from_utf8(utf8, console, converted)) return Name::kUnreadable;
  if (converted.size() > static_cast<std::size_t>(kMaxNameLength)) return Name::kTooLong;
  std::memcpy(name, converted.c_str(), converted.size() + 1);
  return Name::kFits;
}

}  // namespace

void input_reset() {
  read_at = 0;
  filled = 0;
  ended = false;
  input_kind = standard_input_kind();
  start_script(console_encoding_in_use());
}

Input_Kind input_kind_read() { return input_kind; }

bool drop_rest_of_answer_line() {
  if (input_kind == Input_Kind::kStream) return false;
  // A terminal gives one line a read: what is buffered is the rest of the
  // answer's line, line feeds inside it included. A console line longer than
  // one read goes on in the next; a dumb terminal's line without its end was
  // cut short by its end-of-file key.
  bool more_than_blanks = false;
  while (read_at < filled) {
    const unsigned char byte = buffer[read_at++];
    more_than_blanks = more_than_blanks || !is_blank(byte);
    const bool line_goes_on = byte != '\n' && input_kind == Input_Kind::kKeys;
    if (read_at == filled && line_goes_on && !fill()) break;
  }
  return more_than_blanks;
}

int next_menu_key() {
  if (!skip_blanks()) return kEndOfInput;
  const int key = peek();
  read_at += menu_key_length(input_encoding(), peek_at);
  return key;
}

bool ask_int(Text prompt, std::int32_t& target, const Int_Range& range) {
  for (;;) {
    show_prompt(prompt);
    std::int32_t value = 0;
    switch (scan_int(value)) {
      case Scan::kEnded: return false;
      case Scan::kNumber:
        if (range.accepts(value)) {
          target = value;
          return true;
        }
        refuse(range.refusal);
        break;
      case Scan::kUnreadable: refuse(Text::kUnreadableNumber); break;
    }
  }
}

bool ask_score(Text prompt, float& target) {
  for (;;) {
    show_prompt(prompt);
    switch (scan_score(target)) {
      case Scan::kEnded: return false;
      case Scan::kNumber: return true;
      case Scan::kUnreadable: refuse(Text::kUnreadableNumber); break;
    }
  }
}

bool ask_name(Text prompt, char (&name)[kNameBytes]) {
  show_prompt(prompt);
  const std::size_t discarded = next_character_length(input_encoding(), peek_at);
  if (discarded == 0) return false;
  const bool carriage_return = peek() == '\r';
  read_at += discarded;
  if (carriage_return && peek() == '\n') ++read_at;
  char typed[kNameBytes] = {};
  for (;;) {
    typed_name_bytes = kMaxNameLength;
    const Name read = read_name(typed);
    typed_name_bytes = SIZE_MAX;
    switch (read) {
      case Name::kEnded: return false;
      case Name::kFits: std::memcpy(name, typed, sizeof typed); return true;
      case Name::kTooLong:
      case Name::kUnreadable:
        if (name_ended_at_tab) discard_rest_of_line();  // the row's other fields go with it
        put_text(text(read == Name::kTooLong ? Text::kNameTooLong : Text::kUnreadableNumber));
        show_prompt(prompt);
        break;
    }
  }
}
