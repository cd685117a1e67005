// The one reader of typed input: the dialogues and, from a pipe or a file, the
// menu key. What was written is flushed before it waits for input.
#pragma once

#include <cstdint>

#include "console/platform/platform.h"
#include "console/texts.h"
#include "store/score_tables.h"

inline constexpr int kEndOfInput = -1;

// Starts reading standard input afresh: nothing buffered, input not ended.
void input_reset();

// What standard input was at the last input_reset().
Input_Kind input_kind_read();

// Where the menu key comes from the keyboard itself, what is left on the line
// of an item's last answer is dropped; true when it held more than blanks. A
// pipe or a file keeps it, as one stream read in order.
bool drop_rest_of_answer_line();

// The next key that is not white space, taken from the buffer: a byte, or
// the first byte of a four-byte GB18030 character, which is taken whole.
// kEndOfInput once input has ended.
int next_menu_key();

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
// Each returns false, leaving target alone, once input has ended.
bool ask_int(Text prompt, std::int32_t& target, const Int_Range& range = kAnyNumber);
bool ask_score(Text prompt, float& target);

// Discards one character of the console's encoding (the line break after the
// previous answer, or both bytes of "\r\n"), then takes the rest of the line
// up to a tab as the name, without NUL bytes or C1 controls; what follows the
// tab is left for the next answers. A name longer than kMaxNameLength bytes,
// or unreadable, is refused with the rest of its line, and a new one read.
bool ask_name(Text prompt, char (&name)[kNameBytes]);
