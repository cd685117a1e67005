#include "console/input.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "console/output.h"
#include "console/platform/platform.h"
#include "console/program.h"
#include "console/terminal/characters.h"
#include "console/terminal/key_reader.h"

namespace {

constexpr std::size_t kBufferBytes = std::size_t{64} * 1024;

unsigned char buffer[kBufferBytes];
std::size_t read_at = 0;  // next unread byte
std::size_t filled = 0;   // end of the bytes read so far
bool ended = false;
Input_Kind input_kind = Input_Kind::kStream;
// What typed text is read in: the console's encoding, or UTF-8 for a script
// that starts with the UTF-8 byte-order mark.
Console_Encoding input_encoding = Console_Encoding::kUtf8;
bool mark_checked = false;
// The prompt of the answer being read, and the lines typed since it was shown.
std::string_view current_prompt;
int lines_typed_at_prompt = 0;

std::size_t buffered() { return filled - read_at; }

void show_prompt_again();
void take_byte_order_mark();

// One line typed at the terminal, or what standard input has. A typed line
// the console's encoding cannot hold is refused, and another one read.
std::ptrdiff_t read_more(char* into, std::size_t size) {
  if (input_kind != Input_Kind::kKeys) return read_standard_input(into, size);
  const Console_Input console = console_input();
  for (;;) {
    const Console_Encoding encoding = console_encoding_in_use();
    const std::ptrdiff_t got = console.port != nullptr
                                   ? read_terminal_line(*console.port, {into, size, text_on_row(),
                                                                        encoding, typed_line_shown})
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
    if (!mark_checked) take_byte_order_mark();
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

// A UTF-8 byte-order mark at the start of a script is no answer: it says the
// script is UTF-8.
void take_byte_order_mark() {
  mark_checked = true;
  constexpr std::string_view kMark = "\xEF\xBB\xBF";
  for (std::size_t i = 0; i < kMark.size(); ++i) {
    if (peek_at(i) != static_cast<unsigned char>(kMark[i])) return;
  }
  read_at += kMark.size();
  input_encoding = Console_Encoding::kUtf8;
}

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

// The rest of the line goes with the refused answer.
void refuse(Text message) {
  for (int byte = take(); byte != kEndOfInput && byte != '\n'; byte = take()) {
  }
  put_text(text(message));
}

enum class Line { kFits, kTooLong, kUnreadable, kEnded };

// Reads up to the line break (taken, not kept) into `line`, which holds
// `capacity` bytes with the terminating NUL; a trailing '\r' is dropped.
Line read_name_line(char* line, std::size_t capacity) {
  std::size_t length = 0;
  for (;;) {
    const int byte = take();
    if (byte == kEndOfInput) return Line::kEnded;
    if (byte == '\n') break;
    if (byte == '\0') continue;  // it would end the name where it stands
    if (length < capacity) line[length] = static_cast<char>(byte);
    ++length;
  }
  if (length > 0 && length <= capacity && line[length - 1] == '\r') --length;
  if (length >= capacity) return Line::kTooLong;
  line[length] = '\0';
  return Line::kFits;
}

// The line as a name in the console's encoding: a UTF-8 script's names are
// converted to it, and refused where a character has no form there.
Line read_name(char (&name)[kNameBytes]) {
  const Console_Encoding console = console_encoding_in_use();
  if (input_encoding == console) return read_name_line(name, kNameBytes);
  char utf8[kNameBytes * 2];  // a UTF-8 name takes at most 1.5 times the bytes
  const Line line = read_name_line(utf8, sizeof utf8);
  if (line != Line::kFits) return line;
  std::string converted;
  if (!convert_from_utf8(utf8, console, converted)) return Line::kUnreadable;
  if (converted.size() > static_cast<std::size_t>(kMaxNameLength)) return Line::kTooLong;
  std::memcpy(name, converted.c_str(), converted.size() + 1);
  return Line::kFits;
}

}  // namespace

void input_reset() {
  read_at = 0;
  filled = 0;
  ended = false;
  input_kind = standard_input_kind();
  input_encoding = console_encoding_in_use();
  mark_checked = input_kind != Input_Kind::kStream;  // only a script carries one
}

Input_Kind input_kind_read() { return input_kind; }

bool drop_rest_of_answer_line() {
  if (input_kind != Input_Kind::kKeys) return false;
  bool more_than_blanks = false;
  while (read_at < filled) {
    const unsigned char byte = buffer[read_at++];
    if (byte == '\n') break;
    more_than_blanks = more_than_blanks || !is_blank(byte);
  }
  return more_than_blanks;
}

int next_menu_key() {
  if (!skip_blanks()) return kEndOfInput;
  const int key = peek();
  read_at += menu_key_length(input_encoding, peek_at);
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
  const std::size_t discarded = next_character_length(input_encoding, peek_at);
  if (discarded == 0) return false;
  const bool carriage_return = peek() == '\r';
  read_at += discarded;
  if (carriage_return && peek() == '\n') ++read_at;
  char typed[kNameBytes] = {};
  for (;;) {
    const Line line = read_name(typed);
    switch (line) {
      case Line::kEnded: return false;
      case Line::kFits: std::memcpy(name, typed, sizeof typed); return true;
      case Line::kTooLong:
      case Line::kUnreadable:
        put_text(text(line == Line::kTooLong ? Text::kNameTooLong : Text::kUnreadableNumber));
        show_prompt(prompt);
        break;
    }
  }
}
