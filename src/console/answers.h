// The answers to the dialogues' questions: numbers and names, each read from
// its line or its row's cell.
#pragma once

#include <cstdint>

#include "console/texts.h"
#include "store/score_tables.h"

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
// Full-width digits, signs and points are read as their ASCII. In a row, each
// answer is its next cell, wholly one answer; a line becomes a row from an
// answer that ends at a tab. A bad cell, or in a script a missing one, gives
// up the item: its message, the rest of the row dropped, and nothing asked
// again. Each returns false, leaving target alone, once input has ended or
// the item was given up (item_given_up()).
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
