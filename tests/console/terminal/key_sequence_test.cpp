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

}  // namespace
