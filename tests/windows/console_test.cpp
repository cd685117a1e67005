// The Windows executable on a console: wine's console on a real terminal
// (tmux), judged by the screen; and its GBK output under code page 936.
#include <gtest/gtest.h>

#include <string>

#include "case_names.h"
#include "expected_texts.h"
#include "gbk.h"
#include "program_runner.h"
#include "screen.h"

using namespace expected;

namespace {

// Wine takes its code pages from the locale: C.UTF-8 gives console code page
// 437, which the program switches to UTF-8; zh_CN.UTF-8 gives 936. The
// terminal's signal keys are off, so that Ctrl-Z reaches the program as a key
// (wine would swallow it otherwise).
std::string console_command(const std::string& locale) {
  return "stty -isig; env LANG=" + locale + " " + quoted(program_path());
}

const std::string kMenuRows = kMenu.substr(1);  // from the row after its empty one

TEST(WindowsConsole, KeyWithoutEnterEchoedAndAnArrowDrawsTheMenuOnce) {
  Screen screen(console_command("C.UTF-8"));
  ASSERT_TRUE(screen.shows(kMenuRows)) << screen.rows();
  ASSERT_TRUE(screen.takes_keys());
  screen.type("4");
  ASSERT_TRUE(screen.shows(kMenuRows, 2)) << screen.rows();
  screen.type("\x1b[A");  // Up: two codes from the console, one key
  ASSERT_TRUE(screen.shows(kMenuRows, 3)) << screen.rows();
  screen.type("5");
  ASSERT_TRUE(screen.shows("[status 0]")) << screen.rows();
  EXPECT_EQ(screen.rows(), menu_key("4") + kNotYet + menu_key("") + menu_key("5") + "[status 0]\n");
}

TEST(WindowsConsole, CtrlZAtTheMenuEndsWithStatus0) {
  Screen screen(console_command("C.UTF-8"));
  ASSERT_TRUE(screen.shows(kMenuRows)) << screen.rows();
  ASSERT_TRUE(screen.takes_keys());
  screen.type("\x1a");
  ASSERT_TRUE(screen.shows("[status 0]")) << screen.rows();
  EXPECT_EQ(screen.rows(), kMenu + "[status 0]\n");
}

struct Code_Page_Case {
  const char* what;
  std::string locale;
};

class TypedEntry : public ::testing::TestWithParam<Code_Page_Case> {};

// Chinese typed into the console comes back right in the report.
TEST_P(TypedEntry, ReportShowsWhatWasTyped) {
  Screen screen(console_command(GetParam().locale));
  ASSERT_TRUE(screen.shows(kMenuRows)) << screen.rows();
  ASSERT_TRUE(screen.takes_keys());
  screen.type("1");
  for (const auto& [prompt, answer] : {std::pair{kExam, "0\r"},
                                       {kNumber, "12\r"},
                                       {kName, "李雷\r"},
                                       {kClass, "7\r"},
                                       {kChinese, "80 90 70\r"}}) {
    ASSERT_TRUE(screen.last_row_is(prompt)) << screen.rows();
    screen.type(answer);
  }
  ASSERT_TRUE(screen.shows(kMenuRows, 2)) << screen.rows();
  screen.type("2");
  ASSERT_TRUE(screen.last_row_is(kExam)) << screen.rows();
  screen.type("0 12\r");
  ASSERT_TRUE(screen.shows(kMenuRows, 3)) << screen.rows();
  screen.type("5");
  ASSERT_TRUE(screen.shows("[status 0]")) << screen.rows();
  EXPECT_EQ(Screen::count_of(screen.rows(), student_report("李雷", 0, 80, 90, 70, 240, 1)), 1U)
      << screen.rows();
}

INSTANTIATE_TEST_SUITE_P(CodePages, TypedEntry,
                         ::testing::Values(Code_Page_Case{"code page 437 switched to UTF 8",
                                                          "C.UTF-8"},
                                           Code_Page_Case{"code page 936", "zh_CN.UTF-8"}),
                         readable_case_name{});

// Under code page 936 a name with a character GBK lacks is refused, never
// stored with "?"; what is left on an item's last line, after a line feed
// inside it too, is dropped with the notice, so the next item's answers land
// where they are typed.
TEST(WindowsConsole, NameOutsideTheCodePageIsRefusedAndLeftoversDropped) {
  Screen screen(console_command("zh_CN.UTF-8"));
  ASSERT_TRUE(screen.shows(kMenuRows)) << screen.rows();
  ASSERT_TRUE(screen.takes_keys());
  screen.type("1");
  for (const auto& [prompt, answer] : {std::pair{kExam, "0\r"},
                                       {kNumber, "12\r"},
                                       {kName, "刘䶮\r"},
                                       {kUnreadable + kName, "李雷\r"},
                                       {kClass, "7\r"},
                                       {kChinese, "80 90 70\n3\r"}}) {  // Ctrl-J, then 3
    ASSERT_TRUE(screen.shows(prompt)) << screen.rows();
    screen.type(answer);
  }
  ASSERT_TRUE(screen.shows(kLeftover + kMenu)) << screen.rows();
  screen.type("2");
  ASSERT_TRUE(screen.last_row_is(kExam)) << screen.rows();
  screen.type("0 12\r");
  ASSERT_TRUE(screen.shows(kMenuRows, 3)) << screen.rows();
  screen.type("5");
  ASSERT_TRUE(screen.shows("[status 0]")) << screen.rows();
  EXPECT_EQ(Screen::count_of(screen.rows(), student_report("李雷", 0, 80, 90, 70, 240, 1)), 1U)
      << screen.rows();
}

// Redirected output follows the ANSI code page: GBK where it is 936.
TEST(WindowsPipe, GbkUnderCodePage936) {
  const Program_Run run = run_program("4 5", {"LANG=zh_CN.UTF-8"});
  EXPECT_SAME_BYTES(run.out, to_gbk(with_line_ends(menu_key("4") + kNotYet + menu_key("5"))));
  EXPECT_EQ(run.exit_status, 0);
}

// A script saved as UTF-8, with its mark or without, or as UTF-16 with its
// mark: its names are converted to GBK there.
TEST(WindowsPipe, Utf8AndUtf16ScriptsUnderCodePage936) {
  const std::string script = "1 0 12\n李雷\n7 80 90 70 2 0 12 5";
  for (const std::string& saved :
       {"\xEF\xBB\xBF" + script, script, converted("\uFEFF" + script, "UTF-16LE")}) {
    const Program_Run run = run_program(saved, {"LANG=zh_CN.UTF-8"});
    const std::string report = student_report("李雷", 0, 80, 90, 70, 240, 1);
    EXPECT_NE(run.out.find(to_gbk(with_line_ends(report))), std::string::npos) << saved.size();
  }
}

}  // namespace
