// The line editor as pure functions: keys in; the line, the cursor and what a
// terminal shows out, through a screen model of the test's own.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "case_names.h"
#include "editor_checks.h"

namespace {

constexpr auto kUtf8 = Console_Encoding::kUtf8;
constexpr auto kGbk = Console_Encoding::kGbk;
constexpr auto kGb18030 = Console_Encoding::kGb18030;

const std::string kLeft = "\x1b[D";
const std::string kRight = "\x1b[C";
const std::string kHome = "\x1b[H";
const std::string kEnd = "\x1b[F";
const std::string kDelete = "\x1b[3~";
const std::string kBackspace = "\x7f";
const std::string kAcute = "\u0301";  // combining, zero columns
const std::string kJoiner = "\u200d";
const std::string kJiyi = "\x95\x34\xb2\x35";  // a four-byte GB18030 character

struct Edit_Case {
  const char* what;
  Console_Encoding encoding;
  int columns;
  std::string prompt;
  std::string keys;
  std::string line;
  std::size_t cursor;
};

class LineEditor : public ::testing::TestWithParam<Edit_Case> {};

TEST_P(LineEditor, KeepsLineCursorAndScreenTogether) {
  const Edit_Case& edit = GetParam();
  for (const bool shown_at_end : {false, true}) {
    Editor_Run run(edit.encoding, edit.columns, edit.prompt);
    run.type(edit.keys, shown_at_end);
    EXPECT_EQ(run.line(), edit.line) << (shown_at_end ? "pasted" : "typed");
    EXPECT_EQ(run.editor.cursor, edit.cursor) << (shown_at_end ? "pasted" : "typed");
    EXPECT_EQ(editor_fault(run), "") << (shown_at_end ? "pasted" : "typed");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, LineEditor,
    ::testing::Values(
        Edit_Case{"typed", kUtf8, 80, "P: ", "abc", "abc", 3},
        Edit_Case{"left then insert", kUtf8, 80, "P: ", "ac" + kLeft + "b", "abc", 2},
        Edit_Case{"home and end", kUtf8, 80, "P: ", "bc" + kHome + "a" + kEnd + "d", "abcd", 4},
        Edit_Case{"control keys move", kUtf8, 80, "P: ",
                  "ac\x01\x06\x06\x02"
                  "b",
                  "abc", 2},
        Edit_Case{"backspace", kUtf8, 80, "P: ", "abx" + kBackspace, "ab", 2},
        Edit_Case{"ctrl u erases to the start", kUtf8, 80, "P: ", "ab\x02\x15", "b", 0},
        Edit_Case{"ctrl k erases to the end", kUtf8, 80, "P: ", "abc\x02\x02\x0b", "a", 1},
        Edit_Case{"ctrl w erases a word", kUtf8, 80, "P: ", "12 Bob Li\x17", "12 Bob ", 7},
        Edit_Case{"ctrl w erases a word and the spaces after it", kUtf8, 80,
                  "P: ", "12 Bob  \x02\x17", "12  ", 3},
        Edit_Case{"delete", kUtf8, 80, "P: ", "ab\x01" + kDelete, "b", 0},
        Edit_Case{"ctrl d deletes in a line", kUtf8, 80, "P: ", "ab\x01\x04", "b", 0},
        Edit_Case{"a tab is kept, as one character", kUtf8, 80, "P: ",
                  "80\t9\t\x7f"
                  "0",
                  "80\t90", 5},
        Edit_Case{"ctrl w stops at a tab", kUtf8, 80, "P: ", "Li\tLei\x17", "Li\t", 3},
        Edit_Case{"C1 controls are not taken", kUtf8, 80, "P: ",
                  "a\xc2\x9b\xc2\x80"
                  "b",
                  "ab", 2},
        Edit_Case{"nor in GB18030", kGb18030, 80, "P: ",
                  "a\x81\x30\x81\x30"
                  "b",
                  "ab", 2},
        Edit_Case{"linux console f1 is one key", kUtf8, 80, "P: ", "a\x1b[[Ab", "ab", 2},
        Edit_Case{"linux console f5 is one key", kUtf8, 80, "P: ", "a\x1b[[Eb", "ab", 2},
        Edit_Case{"wide characters", kUtf8, 80, "P: ", "李雷" + kLeft + kBackspace, "雷", 0},
        Edit_Case{"left passes a mark with its letter", kUtf8, 80,
                  "P: ", "e" + kAcute + "x" + kLeft + kLeft, "e" + kAcute + "x", 0},
        Edit_Case{"backspace takes a mark with its letter", kUtf8, 80,
                  "P: ", "ae" + kAcute + kBackspace, "a", 1},
        Edit_Case{"delete takes a mark with its letter", kUtf8, 80,
                  "P: ", "e" + kAcute + "x" + kHome + kDelete, "x", 0},
        Edit_Case{"joiner goes with the character before", kUtf8, 80,
                  "P: ", "a" + kJoiner + "b" + kLeft + kLeft + kRight, "a" + kJoiner + "b", 4},
        Edit_Case{"ctrl w takes marks", kUtf8, 80, "P: ", "ab e" + kAcute + "\x17", "ab ", 3},
        Edit_Case{"mark typed after a letter", kUtf8, 80, "P: ", "ex" + kLeft + kAcute,
                  "e" + kAcute + "x", 3},
        Edit_Case{"mark at the start is not taken", kUtf8, 80, "P: ", kAcute + "e", "e", 1},
        Edit_Case{"gbk pairs", kGbk, 80, "P: ", "\xc0\xee\xc0\xd7" + kLeft + kBackspace, "\xc0\xd7",
                  0},
        Edit_Case{"gbk narrow pair", kGbk, 10, "P: ",
                  std::string(6, 'a') + "\xa1\xa4"
                                        "b",
                  "aaaaaa\xa1\xa4"
                  "b",
                  9},
        Edit_Case{"gb18030 four bytes", kGb18030, 80, "P: ", kJiyi + "a" + kLeft + kLeft + kDelete,
                  "a", 0},
        Edit_Case{"wraps over rows", kUtf8, 10, "P: ", "abcdefghijkl" + kLeft + kLeft,
                  "abcdefghijkl", 10},
        Edit_Case{"fills its row exactly", kUtf8, 10, "P: ", "abcdefg", "abcdefg", 7},
        Edit_Case{"edited across rows", kUtf8, 10, "P: ", "abcdefghijkl\x01x\x05y",
                  "xabcdefghijkly", 14},
        Edit_Case{"wide character at the row's end", kUtf8, 10, "P: ", "abcdef李" + kLeft,
                  "abcdef李", 6},
        Edit_Case{"one column", kUtf8, 1, "P: ", "abc" + kLeft + kBackspace, "ac", 1},
        Edit_Case{"mark alone after a prompt that fills its row", kUtf8, 2, "PQ", kAcute, "", 0},
        Edit_Case{"joiner after a row filled by a wide character", kUtf8, 1, "P", "李" + kJoiner,
                  "李" + kJoiner, 6},
        Edit_Case{"enter after a prompt that fills its row", kUtf8, 2, "PQ", "\r", "", 0},
        Edit_Case{"typeahead prompts on one row", kUtf8, 20, "请输入学生姓名：请输入学生班级：",
                  "77" + kBackspace, "7", 1},
        Edit_Case{"prompt wider than a row", kUtf8, 10, "0123456789abcd", "xyz" + kLeft + kHome,
                  "xyz", 0},
        Edit_Case{"gbk prompt before the line", kGbk, 20,
                  "\xc7\xeb\xca\xe4\xc8\xeb\xd1\xa7\xc9\xfa\xd0\xd5\xc3\xfb\xa3\xba"
                  "\xc7\xeb\xca\xe4\xc8\xeb",
                  "77" + kBackspace + kLeft, "7", 0}),
    readable_case_name{});

// The row is full and the cursor waits below it: a mark pasted there belongs
// to the character above, so the line is drawn anew.
TEST(LineEditor, MarkPastedAtTheStartOfARowIsDrawnWithItsCharacter) {
  Editor_Run run(kUtf8, 2, "P");
  run.type("f");
  run.type(kAcute + "g", /*shown_at_end=*/true);
  EXPECT_EQ(run.line(), "f" + kAcute + "g");
  EXPECT_EQ(editor_fault(run), "");
}

TEST(LineEditor, TypeaheadRowIsKeptWhenEdited) {
  Editor_Run run(kUtf8, 80, "请输入学生姓名：请输入学生班级：");
  run.type("77" + kBackspace + "\r");
  EXPECT_EQ(run.screen.rows(), std::vector<std::string>{"请输入学生姓名：请输入学生班级：7"});
  EXPECT_EQ(run.step, Edit_Step::kEnter);
  EXPECT_EQ(editor_fault(run), "");
}

struct Bell_Case {
  const char* what;
  std::size_t capacity;
  std::string keys;
  bool shown_at_end;
  std::string line;
  int bells;
  std::size_t first_field = SIZE_MAX;  // bytes before the first tab
};

class FullLine : public ::testing::TestWithParam<Bell_Case> {};

TEST_P(FullLine, RingsTheBellForWhatItCannotTake) {
  const Bell_Case& full = GetParam();
  Editor_Run run(kUtf8, 80, "P: ", full.capacity);
  run.editor.first_field_capacity = std::min(full.first_field, full.capacity);
  run.type(full.keys, full.shown_at_end);
  EXPECT_EQ(run.line(), full.line);
  EXPECT_EQ(run.screen.bells(), full.bells);
  EXPECT_EQ(editor_fault(run), "");
}

INSTANTIATE_TEST_SUITE_P(Limits, FullLine,
                         ::testing::Values(Bell_Case{"fits", 3, "abc", false, "abc", 0},
                                           Bell_Case{"typed beyond", 3, "abcde", false, "abc", 2},
                                           Bell_Case{"pasted beyond", 3, "abcdef", true, "abc", 1},
                                           Bell_Case{"wide character beyond", 4, "ab李", false,
                                                     "ab", 1},
                                           Bell_Case{"room again after backspace", 3,
                                                     "abcd\x7f"
                                                     "e",
                                                     false, "abe", 1},
                                           Bell_Case{"a name before its tab", 20, "abcd\tefgh",
                                                     false, "abc\tefgh", 1, 3}),
                         readable_case_name{});

struct Resize_Case {
  const char* what;
  int columns;
  std::string keys;
  int new_columns;
  std::string keys_after;
};

class Resized : public ::testing::TestWithParam<Resize_Case> {};

TEST_P(Resized, LeavesNoStaleRows) {
  const Resize_Case& resize = GetParam();
  Editor_Run run(kUtf8, resize.columns, "请输入学生班级：");
  run.type(resize.keys);
  run.resize(resize.new_columns);
  EXPECT_EQ(editor_fault(run), "") << "after the resize";
  run.type(resize.keys_after);
  EXPECT_EQ(editor_fault(run), "") << "after the keys";
}

INSTANTIATE_TEST_SUITE_P(
    Widths, Resized,
    ::testing::Values(Resize_Case{"narrower", 80, "abcdefghijklmnop", 10, kLeft + "x"},
                      Resize_Case{"wider", 10, "abcdefghijklmnop", 80, kHome + "x"},
                      Resize_Case{"to one column", 20, "abc", 1, kLeft + kBackspace},
                      Resize_Case{"one column then two, on a wide character", 1,
                                  "a李b" + kHome + "\x06", 2, kLeft},
                      Resize_Case{"cursor mid line", 80, "abcdefghij" + kHome, 6, kEnd + "k"}),
    readable_case_name{});

}  // namespace
