// The bytes the dialogues read, from a file named on the command line or from
// standard input, through one buffer (what was written is flushed before each
// wait): a script's line numbers, the rows its lines may be, and what is left
// of a line after an item.
#pragma once

#include <cstddef>

#include "console/platform/platform.h"
#include "console/script_text.h"
#include "console/texts.h"

// A file named on the command line: read as a script, its dialogue not
// shown, its name before every message about one of its lines.
struct Input_File {
  const char* name;
  int descriptor;
  Script_Opening opening;  // read when it was opened
};

// Reads afresh, nothing buffered: `file`, or standard input.
void input_reset(const Input_File* file = nullptr);

Input_Kind input_kind_read();
Console_Encoding input_encoding();  // a script's own, or the console's
std::size_t rows_given_up_here();   // since input_reset()
std::size_t lines_typed();          // at a terminal, so far

// The byte `offset` places ahead (offset < 64 KiB), read as it must be;
// kEndOfInput once input has ended. peek_come() reads only what has come
// already: a script driven one answer at a time never waits for it.
int peek_at(std::size_t offset = 0);
int peek_come(std::size_t offset);
int take();
void skip(std::size_t count);
std::size_t buffered();
// Before a line typed at a terminal that begins with a name: at most
// `first_field_capacity` bytes before its first tab.
void read_line_ahead(std::size_t first_field_capacity);

// As "%d" and "%f" have it, in the C locale the program reads in.
inline bool is_blank(int byte) { return byte == ' ' || (byte >= '\t' && byte <= '\r'); }
bool is_separator(int byte);
bool at_line_start();

// Drops the rest of the line, its end included; true when it held more than
// blanks and separators. At a terminal, only what the line typed has left.
bool drop_rest_of_line();

// The text of an answer. One longer than kMaxAnswerBytes is cut a byte
// after, and refused.
inline constexpr std::size_t kMaxAnswerBytes = 4096;
struct Answer_Text {
  char bytes[kMaxAnswerBytes + 2];  // and the terminating NUL
  std::size_t length = 0;
  void add(int byte) {
    if (length <= kMaxAnswerBytes) bytes[length++] = static_cast<char>(byte);
  }
};

// A line is a row from its menu key, or from an answer that ended at a tab:
// each answer is its next cell (separated by tabs, in CSV by commas too), and
// a bad or missing one gives up the whole item.
void start_row(bool commas);
bool in_row();

// Where the next answer comes from: the row's next cell, the line, or none (a
// script's row has ended: it is given up). At a terminal a person types the
// rest of a row, and empty cells at the end of the line are no answers.
enum class Answer_Source { kLine, kCell, kNone };
Answer_Source answer_source();

// The row's next cell, without the white space around it. In a script, a
// cell that begins with a double quote runs to its closing one, and "" in it
// stands for one ".
void read_cell(Answer_Text& cell);
void trim_answer(Answer_Text& answer, std::size_t kept = 0);

// The row's item is given up: its message, and the rest of its line dropped.
void give_up_row();

// In a file, "FILE：第N行：" before a message about the line being read.
void put_file_line_label();

// After an item: the rest of its row, or where the menu key comes from the
// keyboard, of the line of its last answer (`answers_read`), is dropped, with
// a notice when it held more than blanks and separators. A script keeps the
// rest of a line that is no row: it is one stream, read in order.
void end_item(bool answers_read);
