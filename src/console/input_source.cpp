#include "console/input_source.h"

#include <cstdint>
#include <cstring>

#include "console/output.h"
#include "console/program.h"

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
std::size_t typed_lines = 0;
// A file named on the command line, while it is read; null for standard input.
const char* file_name = nullptr;
int source_descriptor = kStandardInput;
std::size_t rows_given_up = 0;

struct Row {
  bool active = false;
  bool commas = false;        // a CSV row
  bool cell_follows = false;  // the last cell ended at a separator, not at the line's end
};
Row row;

// One line typed at the terminal, or what standard input has. A typed line
// the console's encoding cannot hold is refused, and another one read.
std::ptrdiff_t read_more(char* into, std::size_t size, std::size_t first_field_capacity) {
  if (input_kind == Input_Kind::kStream) return read_script(into, size);
  if (input_kind == Input_Kind::kLines) return read_input(kStandardInput, into, size);
  for (;;) {
    const std::ptrdiff_t got =
        read_console_line({into, size, text_on_row(), console_encoding_in_use(), owe_line_breaks,
                           first_field_capacity});
    if (got > 0 || got == kLineNotInEncoding) row_ended();
    if (got != kLineNotInEncoding) return got;
    put_text(text(Text::kUnreadableNumber));
    put_prompt_again();
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
bool fill(std::size_t first_field_capacity = SIZE_MAX) {
  if (ended) return false;
  if (read_at > 0) {
    line_ends_before_buffer += line_ends_in(read_at);
    line_end_before_buffer = buffer[read_at - 1] == '\n';
    std::memmove(buffer, buffer + read_at, buffered());
    filled = buffered();
    read_at = 0;
  }
  flush_output_or_fail();  // everything is on screen before waiting
  const std::ptrdiff_t got = read_more(reinterpret_cast<char*>(buffer + filled),
                                       kBufferBytes - filled, first_field_capacity);
  if (got > 0) {
    if (input_kind != Input_Kind::kStream) ++typed_lines;
    filled += static_cast<std::size_t>(got);
    return true;
  }
  if (got < 0) fail_reading();
  ended = true;
  return false;
}

std::size_t line_number() { return line_ends_before_buffer + line_ends_in(read_at) + 1; }

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
  put_text(text(Text::kScriptLineStart));
  put_number(line);
  put_text(text(Text::kScriptLineEnd));
}

void put_line_message(std::size_t line, Text message) {
  put_line_label(line);
  put_text(text(message));
}

// Passes over blanks up to the line's end, if nothing else is left on the
// line a terminal gave; false, passing nothing, where something is.
bool pass_blank_rest_of_line() {
  std::size_t at = read_at;
  while (at < filled && buffer[at] != '\n' && is_blank(buffer[at])) ++at;
  if (at < filled && buffer[at] != '\n') return false;
  read_at = at;
  return true;
}

// Blanks around a cell's text: none of them a separator or the line's end.
bool is_padding(int byte) { return byte != '\n' && is_blank(byte) && !is_separator(byte); }

// In a script, a cell may begin with a double quote.
bool take_opening_quote() {
  if (input_kind != Input_Kind::kStream || peek_at() != '"') return false;
  ++read_at;
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

Input_Kind input_kind_read() { return input_kind; }

// A script's own, or the console's.
Console_Encoding input_encoding() {
  return input_kind == Input_Kind::kStream ? script_encoding() : console_encoding_in_use();
}

std::size_t rows_given_up_here() { return rows_given_up; }

std::size_t lines_typed() { return typed_lines; }

int peek_at(std::size_t offset) {
  while (buffered() <= offset) {
    if (!fill()) return kEndOfInput;
  }
  return buffer[read_at + offset];
}

int peek_come(std::size_t offset) {
  while (buffered() <= offset && input_has_come(source_descriptor) && fill()) {
  }
  return buffered() > offset ? buffer[read_at + offset] : kEndOfInput;
}

int take() {
  const int byte = peek_at();
  if (byte != kEndOfInput) ++read_at;
  return byte;
}

void skip(std::size_t count) { read_at += count; }

std::size_t buffered() { return filled - read_at; }

void read_line_ahead(std::size_t first_field_capacity) {
  if (input_kind == Input_Kind::kKeys && buffered() == 0) fill(first_field_capacity);
}

bool is_separator(int byte) { return byte == '\t' || (byte == ',' && row.commas); }

bool at_line_start() { return read_at > 0 ? buffer[read_at - 1] == '\n' : line_end_before_buffer; }

// A terminal gives one line a read: what is buffered is the rest of it, line
// feeds inside a console's line included. A console line longer than one read
// goes on in the next; a dumb terminal's line without its end was cut short
// by its end-of-file key.
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

void start_row(bool commas) { row = {true, commas, true}; }

bool in_row() { return row.active; }

Answer_Source answer_source() {
  if (!row.active) return Answer_Source::kLine;
  const bool typed = input_kind != Input_Kind::kStream;
  if (row.cell_follows && !(typed && pass_blank_rest_of_line())) return Answer_Source::kCell;
  row = {};
  if (typed) return Answer_Source::kLine;
  give_up_row();
  return Answer_Source::kNone;
}

void trim_answer(Answer_Text& answer, std::size_t kept) {
  while (answer.length > kept &&
         is_padding(static_cast<unsigned char>(answer.bytes[answer.length - 1]))) {
    --answer.length;
  }
  answer.bytes[answer.length] = '\0';
}

void read_cell(Answer_Text& cell) {
  cell.length = 0;
  while (is_padding(peek_at())) ++read_at;
  bool quoted = take_opening_quote();
  std::size_t kept = 0;  // white space within the quotes is the cell's own
  row.cell_follows = false;
  for (int byte = peek_at(); byte != kEndOfInput && byte != '\n'; byte = peek_at()) {
    ++read_at;
    if (quoted && byte == '"' && peek_at() != '"') {
      quoted = false;
      kept = cell.length;
      continue;
    }
    if (quoted && byte == '"') {
      ++read_at;  // "" stands for one "
    } else if (!quoted && is_separator(byte)) {
      row.cell_follows = true;
      break;
    }
    cell.add(byte);
  }
  trim_answer(cell, kept);
}

void give_up_row() {
  put_line_message(line_number(), Text::kRowGivenUp);
  drop_rest_of_line();
  row = {};
  ++rows_given_up;
}

void put_file_line_label() {
  if (file_name == nullptr) return;
  put_line_label(line_number());
  put_text(text(Text::kFileNameEnd));
}

void end_item(bool answers_read) {
  if (!row.active && (input_kind == Input_Kind::kStream || !answers_read)) return;
  const std::size_t line = line_number();
  if (drop_rest_of_line()) put_line_message(line, Text::kLeftoverDropped);
  row = {};
}
