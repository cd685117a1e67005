#include "console/output.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <string>

#include "console/platform/platform.h"
#include "console/texts.h"

namespace {

constexpr std::size_t kBufferBytes = std::size_t{64} * 1024;

char buffer[kBufferBytes];
std::size_t buffered = 0;
std::string row;
// Known once the console is ready; until then, a pipe's.
bool to_terminal = false;
bool line_ends_are_crlf = false;
bool dialogue_shown = true;
std::string_view current_prompt;
// The first failed write, kept for every later flush.
bool write_failed = false;
int write_error = 0;

// A text that does not fit goes whole into the next write: a console decodes each write alone.
void put_bytes(const char* bytes, std::size_t size) {
  if (size > kBufferBytes - buffered && !flush_output()) return;
  for (;;) {
    const std::size_t part = std::min(size, kBufferBytes - buffered);
    std::memcpy(buffer + buffered, bytes, part);
    buffered += part;
    bytes += part;
    size -= part;
    if (size == 0 || !flush_output()) return;
  }
}

// Each "\n" as "\r\n".
void put_with_crlf(std::string_view text) {
  for (std::size_t line_break = text.find('\n'); line_break != std::string_view::npos;
       line_break = text.find('\n')) {
    put_bytes(text.data(), line_break);
    put_bytes("\r\n", 2);
    text.remove_prefix(line_break + 1);
  }
  put_bytes(text.data(), text.size());
}

}  // namespace

void start_output() {
  to_terminal = standard_output_is_terminal();
  line_ends_are_crlf = line_end() == "\r\n";
}

bool output_is_terminal() { return to_terminal; }

std::string_view text_on_row() { return row; }

void row_ended() { row.clear(); }

void put_text(std::string_view text) {
  if (to_terminal) {  // a pipe has no row to keep
    const std::size_t line_break = text.rfind('\n');
    if (line_break == std::string_view::npos) {
      row.append(text);
    } else {
      row.assign(text.substr(line_break + 1));
    }
  }
  if (line_ends_are_crlf) {
    put_with_crlf(text);
  } else {
    put_bytes(text.data(), text.size());
  }
}

void put_number(std::size_t number) {
  char digits[24];
  put_text({digits, std::to_chars(digits, digits + sizeof digits, number).ptr});
}

void put_dialogue(std::string_view text) {
  if (dialogue_shown) put_text(text);
}

void show_dialogue(bool shown) { dialogue_shown = shown; }

void put_prompt(std::string_view prompt) {
  current_prompt = prompt;
  put_prompt_again();
}

void put_prompt_again() { put_dialogue(current_prompt); }

bool flush_output() {
  if (buffered > 0 && !write_failed) {
    write_failed = !write_standard_output({buffer, buffered}, console_encoding_in_use());
    if (write_failed) write_error = errno;
    if (to_terminal && !write_failed) owe_line_breaks(row.empty() ? 0 : 1);
  }
  buffered = 0;
  if (write_failed) errno = write_error;
  return !write_failed;
}

// Nothing is added to a pipe or a file: what they get stays as it is.
void end_row_on_terminal() {
  if (!row.empty()) put_text("\n");
}
