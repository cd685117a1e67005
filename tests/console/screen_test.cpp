// Typing at a real terminal: the program runs in tmux, and each case is
// judged by the screen a person would see there and by what the reports
// show was stored. GBK cases run behind luit, a GBK terminal inside tmux.
#include "screen.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <string>

#include "case_names.h"
#include "expected_texts.h"
#include "program_runner.h"

using namespace expected;

namespace {

enum class Terminal_Encoding { kUtf8, kGbk };

std::string program_command(Terminal_Encoding encoding) {
  const std::string program = quoted(program_path());
  if (encoding == Terminal_Encoding::kUtf8) return "env LC_ALL=C.UTF-8 " + program;
  return "env LC_ALL=C.UTF-8 luit -encoding GBK env LC_ALL=zh_CN.GBK " + program;
}

const std::string kMenuRows = kMenu.substr(1);  // from the row after its empty one
const std::string kMenuPromptRow = "请输入你的决定(1~5):";

// From the first menu to the prompt of the name, in exam 0 for student 12.
void open_name_prompt(Screen& screen) {
  ASSERT_TRUE(screen.shows(kMenuRows)) << screen.rows();
  screen.type("1");
  ASSERT_TRUE(screen.last_row_is(kExam));
  screen.type("0\r12\r");
  ASSERT_TRUE(screen.last_row_is(kName));
}

// The rest of the entry, a query of it, and item 5.
const std::string kEntryRestAndQuery = "\r7\r1 2 3\r2\r0 12\r5";

struct Edit_Case {
  const char* what;
  Terminal_Encoding encoding;
  std::string keys;
  std::string name;  // as stored, and as the screen shows it at the end
};

class LineEditing : public ::testing::TestWithParam<Edit_Case> {};

TEST_P(LineEditing, ScreenShowsTheLineAndTheReportTheName) {
  const Edit_Case& edit = GetParam();
  Screen screen(program_command(edit.encoding));
  open_name_prompt(screen);
  screen.type(edit.keys);
  EXPECT_TRUE(screen.last_row_is(kName + edit.name)) << screen.rows();
  screen.type(kEntryRestAndQuery);
  ASSERT_TRUE(screen.shows("[status 0]")) << screen.rows();
  EXPECT_EQ(Screen::count_of(screen.rows(true), edit.name + "同学在第0次的考试中"), 1U)
      << screen.rows();
}

const std::string kLeft = "\x1b[D";
const std::string kHome = "\x1b[1~";
const std::string kEnd = "\x1b[4~";
const std::string kDeleteKey = "\x1b[3~";

INSTANTIATE_TEST_SUITE_P(
    Keys, LineEditing,
    ::testing::Values(
        Edit_Case{"insert and backspace", Terminal_Encoding::kUtf8, "Bb" + kLeft + "o\x1bOFx\x7f",
                  "Bob"},
        Edit_Case{"control keys", Terminal_Encoding::kUtf8,
                  "xx yy\x17\x15"
                  "Bcb\x02\x02\x04o",
                  "Bob"},
        Edit_Case{"home end delete and ignored keys", Terminal_Encoding::kUtf8,
                  "ob" + kHome + "B" + kEnd + "x" + kLeft + kDeleteKey + "\x1b[A\x1b[15~\x07",
                  "Bob"},
        Edit_Case{"end of file key erases at the cursor", Terminal_Encoding::kUtf8,
                  "Boxb\x02\x02\x04", "Bob"},
        Edit_Case{"kill to the end, a tab ends the name", Terminal_Encoding::kUtf8,
                  "Li Lei\tx" + kLeft + kLeft +
                      "\x0b"
                      "\t",
                  "Li Lei"},
        Edit_Case{"wide characters in UTF-8", Terminal_Encoding::kUtf8,
                  "李雷x" + kLeft + kLeft +
                      "\x7f"
                      "韩\x05\x7f",
                  "韩雷"},
        Edit_Case{"wide characters in GBK", Terminal_Encoding::kGbk,
                  "李雷x" + kLeft + kLeft +
                      "\x7f"
                      "韩\x05\x7f",
                  "韩雷"},
        Edit_Case{"word erase over GBK", Terminal_Encoding::kGbk, "张 三丰\x17四", "张 四"}),
    readable_case_name{});

// 33 Chinese characters (99 bytes in UTF-8) after the 16 columns of the
// prompt: 80 columns hold the prompt and 32 of them, the 33rd goes below.
TEST(LineEditing, LineWiderThanTheTerminal) {
  std::string name;
  for (int i = 0; i < 33; ++i) name += i % 2 == 0 ? "甲" : "乙";
  Screen screen(program_command(Terminal_Encoding::kUtf8), 80, 30);
  open_name_prompt(screen);
  screen.type(name);
  ASSERT_TRUE(screen.last_row_is("甲"));
  const auto [end_column, end_row] = screen.cursor();
  EXPECT_EQ(end_column, 2);
  screen.type(kHome);
  EXPECT_TRUE(screen.shows(kName + name.substr(0, 32 * 3) + "\n" + "甲\n"));
  const auto home = screen.cursor();
  EXPECT_EQ(home, std::make_pair(16, end_row - 1));
  screen.type("\x06\x06\x7f");  // two right, erase one: every row moves up a character
  ASSERT_TRUE(screen.last_row_is(kName + "甲" + name.substr(2 * 3)));
  EXPECT_EQ(screen.cursor(), std::make_pair(18, end_row - 1));
  screen.type(kEntryRestAndQuery);
  ASSERT_TRUE(screen.shows("[status 0]"));
  EXPECT_EQ(Screen::count_of(screen.rows(true), "甲" + name.substr(2 * 3) + "同学在第0次"), 1U)
      << screen.rows();
}

// A whole session pasted at once while the menu waits: every line is shown
// once after its prompt, and the reports are those of the same text piped in.
TEST(Paste, WholeSessionReadsAsTyped) {
  const std::string session = "1\n0\n12\nBob Li\n7\n80 90 70\n2\n0 12\n3\n0\n7\n5";
  const std::string student = student_report("Bob Li", 0, 80, 90, 70, 240, 1);
  const std::string klass = class_report(7, 0, 80, 90, 70, 1);
  const Program_Run piped = run_program(session, {"LC_ALL=C.UTF-8"});
  ASSERT_EQ(piped.out, menu_key("1") + kEntryPrompts + student_query(student) + class_query(klass) +
                           menu_key("5"));

  Screen screen(program_command(Terminal_Encoding::kUtf8), 80, 100);
  ASSERT_TRUE(screen.shows(kMenuRows));
  screen.paste(session);
  ASSERT_TRUE(screen.shows("[status 0]")) << screen.rows();
  // The Enter after a menu key is an empty answer to the prompt that follows,
  // as it is when typed: the prompt is shown again on the row below.
  EXPECT_EQ(screen.rows(), kMenu + "1\n" + kExam + "\n" + kExam + "0\n" + kNumber + "12\n" + kName +
                               "Bob Li\n" + kClass + "7\n" + kChinese + "80 90 70\n" + kMath +
                               kEnglish + menu_key("2") + kExam + "\n" + kExam + "0 12\n" +
                               kNumber + student + menu_key("3") + kExam + "\n" + kExam + "0\n" +
                               kQueryClass + "7\n" + klass + menu_key("5") + "[status 0]\n");
}

// Windows line breaks in a paste are one Enter each, also before a menu key.
TEST(Paste, WindowsLineBreaksAreOneEnter) {
  Screen screen(program_command(Terminal_Encoding::kUtf8), 80, 60);
  ASSERT_TRUE(screen.shows(kMenuRows));
  screen.type("1");
  ASSERT_TRUE(screen.last_row_is(kExam));
  screen.type("0\r\n12\r\nBob\r\n7\r\n1 2 3\r\n2");
  ASSERT_TRUE(screen.last_row_is(kExam));
  screen.type("0 12\r\n5");
  ASSERT_TRUE(screen.shows("[status 0]")) << screen.rows();
  EXPECT_EQ(Screen::count_of(screen.rows(), kMenuRows), 3U) << screen.rows();
  EXPECT_EQ(Screen::count_of(screen.rows(), "Bob同学在第0次的考试中"), 1U) << screen.rows();
}

// More than the terminal's input buffer holds, with Windows line ends, pasted
// while the program works: every name stored as typed, each shown once. The
// 100th entry is read whole and refused; none of its answers (5099 among
// them) is taken as a menu key.
TEST(Paste, HundredEntriesWithWindowsLineBreaksStoreEveryNameThatFits) {
  constexpr int kEntries = 99;
  std::string entries;
  std::string queries;
  for (int i = 1; i <= kEntries; ++i) {
    const std::string number = std::to_string(i);
    entries += "1\r\n0\r\n" + number + "\r\nStudent" + number + "-abcdefgh\r\n7\r\n" + number +
               "\r\n0\r\n0\r\n";
    queries += "2\r\n0 " + number + "\r\n";
  }
  entries += "1\r\n0\r\n5099\r\nRefused\r\n7\r\n1 2 3\r\n";
  ASSERT_GT(entries.size(), 4096U);
  Screen screen(program_command(Terminal_Encoding::kUtf8));
  ASSERT_TRUE(screen.shows(kMenuRows));
  screen.paste(entries + queries + "5", /*line_ends_as_they_stand=*/true);
  ASSERT_TRUE(screen.shows("[status 0]"));
  const std::string rows = screen.rows(true);
  EXPECT_EQ(Screen::count_of(rows, kChinese + "1 2 3\n" + kMath + kEnglish + kFull), 1U);
  for (int i = 1; i <= kEntries; ++i) {
    const std::string name = "Student" + std::to_string(i) + "-abcdefgh";
    EXPECT_EQ(Screen::count_of(rows, kName + name + "\n"), 1U) << name;
    EXPECT_EQ(Screen::count_of(rows, name), 2U) << name << ": typed once, reported once";
    const std::string total = "总分为：" + std::to_string(i) + ".0\n在年级中的排名为：" +
                              std::to_string(kEntries + 1 - i) + "\n";
    EXPECT_EQ(
        Screen::count_of(rows, name + "同学在第0次的考试中\n语文成绩为：" + std::to_string(i) +
                                   ".0\n数学成绩为：0.0\n英语成绩为：0.0\n" + total),
        1U)
        << name;
  }
}

// The row the line is typed on belongs to the program: prompts and answers
// typed ahead on it stay as they are while the line is edited, an Enter alone
// at a number prompt brings the prompt back below, and an end of input at a
// prompt leaves the cursor at the start of a row.
TEST(OwnRow, TypeaheadRowIsKeptWhileEditing) {
  Screen screen(program_command(Terminal_Encoding::kUtf8), 40, 30);
  ASSERT_TRUE(screen.shows(kMenuRows));
  screen.type("1");
  ASSERT_TRUE(screen.last_row_is(kExam));
  screen.type("0\r12 Bob\r");
  ASSERT_TRUE(screen.last_row_is(kName + kClass)) << screen.rows();
  screen.type("77\x7f");
  ASSERT_TRUE(screen.last_row_is(kName + kClass + "7")) << screen.rows();
  screen.type("\r1 2 3\r2\r0 12\r5");
  ASSERT_TRUE(screen.shows("[status 0]")) << screen.rows();
  EXPECT_EQ(Screen::count_of(screen.rows(true), kName + kClass + "7\n"), 1U) << screen.rows();
  EXPECT_EQ(Screen::count_of(screen.rows(true), "Bob同学在第0次的考试中"), 1U) << screen.rows();
}

TEST(OwnRow, EnterAloneShowsTheNumberPromptAgain) {
  Screen screen(program_command(Terminal_Encoding::kGbk));
  ASSERT_TRUE(screen.shows(kMenuRows));
  screen.type("2");
  ASSERT_TRUE(screen.last_row_is(kExam));
  screen.type("\r\r");
  ASSERT_TRUE(screen.shows(kExam + "\n" + kExam + "\n" + kExam)) << screen.rows();
  screen.type("0 12\r\x04");
  ASSERT_TRUE(screen.shows("[status 0]")) << screen.rows();
  EXPECT_EQ(Screen::count_of(screen.rows(), kExam + "0 12\n" + kNumber), 1U) << screen.rows();
}

// An ending signal leaves the cursor below the whole edited line, however it
// wraps, so that what the shell writes next stands on its own row.
TEST(OwnRow, EndingSignalLeavesARowBelowTheLine) {
  const std::string pid_file = testing::TempDir() + "exam_scores_pid";
  Screen screen("sh -c 'echo $$ > " + quoted(pid_file) + "; exec env LC_ALL=C.UTF-8 " +
                    quoted(program_path()) + "'",
                40, 30);
  open_name_prompt(screen);
  screen.type(std::string(30, 'x') + kHome);
  ASSERT_TRUE(screen.shows(kName + std::string(24, 'x') + "\n" + std::string(6, 'x')));
  std::ifstream pid(pid_file);
  pid_t program = 0;
  ASSERT_TRUE(pid >> program);
  kill(program, SIGTERM);
  ASSERT_TRUE(screen.shows("[status 143]")) << screen.rows();
  EXPECT_TRUE(screen.shows(std::string(6, 'x') + "\nTerminated\n")) << screen.rows();
}

TEST(OwnRow, EndOfInputAtAPromptEndsTheRow) {
  Screen screen(program_command(Terminal_Encoding::kUtf8));
  ASSERT_TRUE(screen.shows(kMenuRows));
  screen.type("3");
  ASSERT_TRUE(screen.last_row_is(kExam));
  screen.type("0\r");
  ASSERT_TRUE(screen.last_row_is(kQueryClass));
  screen.type("7");
  ASSERT_TRUE(screen.last_row_is(kQueryClass + "7"));
  screen.type("\x7f\x04");  // erased and ended at once: the screen shows it erased
  ASSERT_TRUE(screen.shows(kQueryClass + "\n[status 0]")) << screen.rows();
}

// Under a shell with job control: Ctrl-Z in the middle of a name, `fg`, and
// the prompt is back with the text typed so far and the cursor after it.
TEST(StopAndResume, PromptAndTypedTextComeBack) {
  Screen screen(
      "env -i PS1='$ ' LC_ALL=C.UTF-8 PATH=/usr/bin:/bin TERM=screen bash --norc --noprofile");
  ASSERT_TRUE(screen.last_row_is("$"));
  screen.type(quoted(program_path()) + "\r");
  ASSERT_TRUE(screen.shows(kMenuRows));
  screen.type("\x1a");
  ASSERT_TRUE(screen.shows("Stopped"));
  screen.type("fg\r");
  ASSERT_TRUE(screen.last_row_is(kMenuPromptRow));
  screen.type("1");
  ASSERT_TRUE(screen.last_row_is(kExam));
  screen.type("0\r12\rBx" + kLeft);
  ASSERT_TRUE(screen.last_row_is(kName + "Bx"));
  screen.type("\x1a");
  ASSERT_TRUE(screen.shows("Stopped", 2));
  screen.type("fg\r");
  ASSERT_TRUE(screen.last_row_is(kName + "Bx")) << screen.rows();
  EXPECT_EQ(screen.cursor().first, 17);
  screen.type(
      "o\x05\x7f"
      "b\r7\r1 2 3\r2\r0 12\r5");
  ASSERT_TRUE(screen.shows("Bob同学在第0次的考试中")) << screen.rows();
  screen.type("exit\r");
  EXPECT_TRUE(screen.shows("[status 0]"));
}

}  // namespace
