#include "console/input.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "console/characters.h"
#include "console/float_text.h"
#include "console/output.h"
#include "console/platform.h"

namespace {

constexpr std::size_t kBufferBytes = std::size_t{64} * 1024;

unsigned char buffer[kBufferBytes];
std::size_t read_at = 0;  // next unread byte
std::size_t filled = 0;   // end of the bytes read so far
bool ended = false;
Input_Kind input_kind = Input_Kind::kStream;
// The prompt of the answer being read, and the lines typed since it was shown.
const char* current_prompt = "";
int lines_typed_at_prompt = 0;

std::size_t buffered() { return filled - read_at; }

// Reads more input behind what is still unread. False once input has ended.
bool fill() {
  if (ended) return false;
  if (read_at > 0) {
    std::memmove(buffer, buffer + read_at, buffered());
    filled = buffered();
    read_at = 0;
  }
  char* const free_space = reinterpret_cast<char*>(buffer + filled);
  const std::size_t free_bytes = kBufferBytes - filled;
  flush_output();  // everything is on screen before waiting
  const bool edited = input_kind == Input_Kind::kKeys;
  const std::ptrdiff_t got = edited ? read_console_line(free_space, free_bytes, text_on_row())
                                    : read_standard_input(free_space, free_bytes);
  if (got > 0) {
    if (edited) row_ended();
    if (input_kind != Input_Kind::kStream) ++lines_typed_at_prompt;
    filled += static_cast<std::size_t>(got);
    return true;
  }
  if (got < 0) fail_reading();
  ended = true;
  return false;
}

// The byte `offset` places ahead, without taking it; offset < kBufferBytes.
int peek_at(std::size_t offset) {
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

bool is_blank(int byte) {
  return byte == ' ' || byte == '\t' || byte == '\n' || byte == '\v' || byte == '\f' ||
         byte == '\r';
}

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

void discard_rest_of_line() {
  for (;;) {
    const int byte = take();
    if (byte == kEndOfInput || byte == '\n') return;
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

int peek_for_number(std::size_t offset) { return peek_at(offset); }
void take_for_number(std::size_t count) { read_at = std::min(read_at + count, filled); }

// Like "%f": the longest prefix that strtof reads as a number, of any length;
// what follows stays unread. A value that is not finite as a float is
// unreadable.
Scan scan_score(float& value) {
  if (!skip_blanks(true)) return Scan::kEnded;
  float read_value = 0;
  const Byte_Stream stream{peek_for_number, take_for_number};
  if (read_float(stream, read_value) == Float_Read::kNoNumber || !std::isfinite(read_value)) {
    return Scan::kUnreadable;
  }
  value = read_value;
  return Scan::kNumber;
}

void show_prompt(Text prompt) {
  current_prompt = text(prompt);
  lines_typed_at_prompt = 0;
  put_text(current_prompt);
}

void refuse(Text message) {
  discard_rest_of_line();
  put_text(text(message));
}

enum class Line { kFits, kTooLong, kEnded };

// Reads up to the line break (taken, not kept); a trailing '\r' is dropped.
Line read_name_line(char (&name)[kNameBytes]) {
  std::size_t length = 0;
  for (;;) {
    const int byte = take();
    if (byte == kEndOfInput) return Line::kEnded;
    if (byte == '\n') break;
    if (byte == '\0') continue;  // it would end the name where it stands
    if (length < kNameBytes) name[length] = static_cast<char>(byte);
    ++length;
  }
  if (length > 0 && length <= kNameBytes && name[length - 1] == '\r') --length;
  if (length > kMaxNameLength) return Line::kTooLong;
  name[length] = '\0';
  return Line::kFits;
}

// How many bytes ahead make the next character: all of it when whole, the
// bytes that begin one when it is cut short, and 1 when the first byte begins
// none. Only bytes of the character itself are waited for. 0 at the end.
std::size_t next_character_length() {
  char bytes[kMaxCharacterBytes];
  std::size_t length = 0;
  while (length < kMaxCharacterBytes) {
    const int byte = peek_at(length);
    if (byte == kEndOfInput) break;
    bytes[length] = static_cast<char>(byte);
    const Character_Check check = check_character(console_encoding_in_use(), {bytes, length + 1});
    if (check == Character_Check::kInvalid) return std::max<std::size_t>(length, 1);
    ++length;
    if (check == Character_Check::kComplete) break;
  }
  return length;
}

}  // namespace

void input_reset() {
  read_at = 0;
  filled = 0;
  ended = false;
  input_kind = standard_input_kind();
}

bool input_is_terminal() { return input_kind != Input_Kind::kStream; }

bool input_takes_keys() { return input_kind == Input_Kind::kKeys; }

int next_menu_key() {
  if (!skip_blanks()) return kEndOfInput;
  // A four-byte GB18030 character is one key; other characters give one key a byte.
  const int key = peek();
  const bool four_bytes = console_encoding_in_use() == Console_Encoding::kGb18030 && key >= 0x81 &&
                          next_character_length() == 4;
  read_at += four_bytes ? 4 : 1;
  return key;
}

namespace {

// `range` null: any 32-bit value.
bool ask_int_within(Text prompt, std::int32_t& target, const Int_Range* range) {
  for (;;) {
    show_prompt(prompt);
    std::int32_t value = 0;
    switch (scan_int(value)) {
      case Scan::kEnded:
        return false;
      case Scan::kNumber:
        if (range == nullptr || (value >= range->lowest && value <= range->highest)) {
          target = value;
          return true;
        }
        refuse(range->refusal);
        break;
      case Scan::kUnreadable:
        refuse(Text::kUnreadableNumber);
        break;
    }
  }
}

}  // namespace

bool ask_int(Text prompt, std::int32_t& target) { return ask_int_within(prompt, target, nullptr); }

bool ask_int(Text prompt, std::int32_t& target, const Int_Range& range) {
  return ask_int_within(prompt, target, &range);
}

bool ask_score(Text prompt, float& target) {
  for (;;) {
    show_prompt(prompt);
    switch (scan_score(target)) {
      case Scan::kEnded:
        return false;
      case Scan::kNumber:
        return true;
      case Scan::kUnreadable:
        refuse(Text::kUnreadableNumber);
        break;
    }
  }
}

bool ask_name(Text prompt, char (&name)[kNameBytes]) {
  show_prompt(prompt);
  const std::size_t discarded = next_character_length();
  if (discarded == 0) return false;
  const bool carriage_return = peek() == '\r';
  read_at += discarded;
  if (carriage_return && peek() == '\n') ++read_at;
  char typed[kNameBytes] = {};
  for (;;) {
    switch (read_name_line(typed)) {
      case Line::kEnded:
        return false;
      case Line::kFits:
        std::memcpy(name, typed, sizeof typed);
        return true;
      case Line::kTooLong:
        put_text(text(Text::kNameTooLong));
        show_prompt(prompt);
        break;
    }
  }
}
