// The one reader of typed input: the dialogues and, from a pipe or a file, the
// menu key. What was written is flushed before it waits for input.
#pragma once

#include <cstdint>

#include "console/platform/platform.h"
#include "console/script_text.h"
#include "console/texts.h"
#include "store/score_tables.h"

// A file named on the command line: read as a script, its dialogue not
// shown, its name before every message about one of its lines.
struct Input_File {
  const char* name;
  int descriptor;
  Script_Opening opening;  // read when it was opened
};

// Starts reading afresh, nothing buffered, input not ended: `file`, or
// standard input.
void input_reset(const Input_File* file = nullptr);

// The rows given up since the last input_reset().
std::size_t rows_given_up_here();

// What standard input was at the last input_reset().
Input_Kind input_kind_read();

// After an item: what is left of its row, or where the menu key comes from
// the keyboard itself, of the line of its last answer (`answers_read`), is
// dropped, with a notice when it held more than blanks and separators. A pipe
// or a file keeps the rest of a line that is no row, as one stream read in
// order.
void end_item(bool answers_read);

// The next key that is not white space, taken from the buffer: a byte, or
// the first byte of a four-byte GB18030 character, which is taken whole.
// kEndOfInput once input has ended. In a script, a menu key that begins its
// line followed directly by a tab or a comma makes the line a row (cells
// separated by tabs, or in CSV by commas and tabs too); a line of nothing but
// blanks and separators is passed over.
int next_menu_key();

// In a script, when the line of the menu key just taken has cells but its
// first is no menu key (a header): its message, and the line dropped.
bool give_up_header_row();

// The integer answers accepted, as the tables define them, with the message
// for any other.
struct Int_Range {
  bool (*accepts)(long long value);
  Text refusal;
};

inline constexpr Int_Range kAnyNumber{[](long long) { return true; }, Text::kUnreadableNumber};
inline constexpr Int_Range kExamCodes{is_exam_code, Text::kExamCodeOutOfRange};
inline constexpr Int_Range kClassNumbers{is_class_no, Text::kClassNoOutOfRange};

// Each prints its prompt and reads the answer into target. A refused answer
// discards the rest of its line, prints its message and the prompt again.
// In a row, each answer is its next cell, wholly one answer; a line becomes a
// row from an answer that ends at a tab. A bad cell, or in a script a missing
// one, gives up the item: its message, the rest of the row dropped, and
// nothing asked again. Each returns false, leaving target alone, once input
// has ended or the item was given up (item_given_up()).
bool ask_int(Text prompt, std::int32_t& target, const Int_Range& range = kAnyNumber);
bool ask_score(Text prompt, float& target);

// Discards one character of the console's encoding (the line break after the
// previous answer, or both bytes of "\r\n"), then takes the rest of the line
// up to a tab as the name, without NUL bytes or C1 controls; what follows the
// tab is the row's next cells. In a row, the name is its next cell. A name
// longer than kMaxNameLength bytes, or unreadable, is refused with the rest of
// its line, and a new one read; in a row, it gives up the item.
bool ask_name(Text prompt, char (&name)[kNameBytes]);

// Whether the last answer asked for gave up its item, rather than found the
// end of input.
bool item_given_up();
