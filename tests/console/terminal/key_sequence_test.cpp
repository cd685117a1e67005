// How escape sequences are taken, including those a slow link splits.
#include "console/terminal/key_sequence.h"

#include <gtest/gtest.h>

#include <string>

#include "case_names.h"

namespace {

struct Sequence_Case {
  const char* what;
  std::string bytes;       // after the ESC
  std::size_t taken;       // bytes of them that belong to the sequence
  bool complete;           // whether the sequence ends there
  bool cut_short = false;  // by a control byte, which is a key of its own
};

class EscapeSequence : public ::testing::TestWithParam<Sequence_Case> {};

TEST_P(EscapeSequence, EndsWhereTheGrammarSays) {
  const Sequence_Case& row = GetParam();
  Escape_Sequence sequence;
  std::size_t taken = 0;
  bool complete = false;
  while (taken < row.bytes.size() && !complete) {
    complete = add_to_sequence(sequence, static_cast<unsigned char>(row.bytes[taken++]));
  }
  EXPECT_EQ(taken, row.taken);
  EXPECT_EQ(complete, row.complete);
  EXPECT_EQ(sequence.cut_short, row.cut_short);
  const std::size_t belonging = taken - (row.cut_short ? 1 : 0);
  EXPECT_EQ(sequence.length, std::min<std::size_t>(1 + belonging, kKeptSequenceBytes + 1));
}

INSTANTIATE_TEST_SUITE_P(
    Grammar, EscapeSequence,
    ::testing::Values(Sequence_Case{"PageUp", "[5~4", 3, true},
                      Sequence_Case{"Shift Up", "[1;2A5", 5, true},
                      Sequence_Case{"SS3 F1", "OP5", 2, true},
                      Sequence_Case{"Alt 5", "54", 1, true},
                      Sequence_Case{"Esc after Esc",
                                    "\x1b"
                                    "4",
                                    1, true, true},
                      Sequence_Case{"Enter ends CSI unfinished", "[5\r4", 3, true, true},
                      Sequence_Case{"a byte that breaks CSI", "[5\x80", 3, true},
                      Sequence_Case{"CSI still open", "[200", 4, false},
                      Sequence_Case{"Linux console F1", "[[A4", 3, true},
                      Sequence_Case{"Linux console F5 still open", "[[", 2, false},
                      Sequence_Case{"longer than kept", "[1;2;3;4;5;6;7;8~x", 17, true}),
    readable_case_name{});

TEST(EscapeSequence, WaitsAMomentAfterTheEscapeAloneThenLongerOrAsLongAsItTakes) {
  Escape_Sequence sequence;
  EXPECT_GT(next_sequence_byte_wait_ms(sequence, Key_Context::kMenu), 0);
  add_to_sequence(sequence, '[');
  EXPECT_EQ(next_sequence_byte_wait_ms(sequence, Key_Context::kMenu), -1);
  EXPECT_EQ(next_sequence_byte_wait_ms(sequence_resumed_with('O'), Key_Context::kMenu), -1);
  EXPECT_GT(next_sequence_byte_wait_ms(sequence, Key_Context::kLine),
            next_sequence_byte_wait_ms(Escape_Sequence{}, Key_Context::kLine));
}

struct Continuation_Case {
  const char* what;
  unsigned char byte;
  bool at_menu;
  bool in_line;
};

class LoneEscape : public ::testing::TestWithParam<Continuation_Case> {};

TEST_P(LoneEscape, IsContinuedOnlyByAnIntroducer) {
  const Continuation_Case& row = GetParam();
  EXPECT_EQ(continues_lone_escape(row.byte, Key_Context::kMenu), row.at_menu);
  EXPECT_EQ(continues_lone_escape(row.byte, Key_Context::kLine), row.in_line);
}

INSTANTIATE_TEST_SUITE_P(Bytes, LoneEscape,
                         ::testing::Values(Continuation_Case{"CSI", '[', true, true},
                                           Continuation_Case{"SS3", 'O', true, false},
                                           Continuation_Case{"digit", '5', false, false},
                                           Continuation_Case{"Esc", 0x1b, false, false}),
                         readable_case_name{});

TEST(LoneEscape, ResumedSequenceIsTakenWhole) {
  Escape_Sequence sequence = sequence_resumed_with('[');
  for (const char byte : std::string("200~"))
    add_to_sequence(sequence, static_cast<unsigned char>(byte));
  EXPECT_TRUE(sequence_is(sequence, "\x1b[200~"));
  EXPECT_EQ(sequence.part, Sequence_Part::kComplete);
}

}  // namespace
