// Whole sessions through a pipe: input bytes in, exact output bytes out.
#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <string>
#include <vector>

#include "case_names.h"
#include "expected_texts.h"
#include "gbk.h"
#include "program_runner.h"

using namespace expected;

namespace {

class Sessions : public ::testing::TestWithParam<Session> {};

TEST_P(Sessions, OutputIsExact) { expect_clean_session(GetParam().input, GetParam().output); }

// Entry Bob Li: exam 1, number 12, class 7, scores 80 90 70.
const std::string kBobEntry = "1\n1\n12 Bob Li\n7\n80 90 70\n";
const std::string kBobOutput = menu_key("1") + kEntryPrompts;

INSTANTIATE_TEST_SUITE_P(
    Menu, Sessions,
    ::testing::Values(Session{"item 5 ends", "5", menu_key("5")},
                      Session{"unknown key redraws", "x5", menu_key("x") + menu_key("5")},
                      Session{"item 4 message", "45", menu_key("4") + kNotYet + menu_key("5")},
                      Session{"white space before a key is skipped", " \n\t4\r\n 5",
                              menu_key("4") + kNotYet + menu_key("5")},
                      Session{"control and high bytes are not echoed",
                              std::string("\x01\xb9\x00", 3) + "5",
                              menu_key("") + menu_key("") + menu_key("") + menu_key("5")},
                      Session{"end of input at the menu", "4", menu_key("4") + kNotYet + kMenu},
                      Session{"no input at all", "", kMenu},
                      Session{"keys after item 5 are not read", "5x4", menu_key("5")},
                      Session{"a UTF-8 byte-order mark is no key",
                              "\xEF\xBB\xBF"
                              "4 5",
                              menu_key("4") + kNotYet + menu_key("5")}),
    readable_case_name{});

INSTANTIATE_TEST_SUITE_P(
    Entry, Sessions,
    ::testing::Values(
        Session{"entry then student report", kBobEntry + "2 1 12 5",
                kBobOutput + menu_key("2") + kExam + kNumber +
                    "Bob Li同学在第1次的考试中\n语文成绩为：80.0\n数学成绩为：90.0\n"
                    "英语成绩为：70.0\n总分为：240.0\n在年级中的排名为：1\n"
                    "本次考试与上一次相比的涨跌幅为：0.0\n" +
                    menu_key("5")},
        Session{"whole entry typed ahead on one line", "1 1 12 Bob\n7 80 90 70 5",
                menu_key("1") + kEntryPrompts + menu_key("5")},
        Session{"windows line breaks",
                "1\r\n1\r\n12\r\nBob\r\n7\r\n80\r\n90\r\n70\r\n2\r\n1\r\n12\r\n5\r\n",
                kBobOutput + student_query(student_report("Bob", 1, 80, 90, 70, 240, 1)) +
                    menu_key("5")},
        Session{"a spreadsheet's rows", "1\t1\t12\tBob Li\t7\t80\t90\t70\r\n2\t1\t12\r\n5",
                kBobOutput + student_query(student_report("Bob Li", 1, 80, 90, 70, 240, 1)) +
                    menu_key("5")},
        Session{"end of input inside the entry", "1\n1\n12\n",
                menu_key("1") + kExam + kNumber + kName},
        Session{"end of input at the name", "1\n1\n12", menu_key("1") + kExam + kNumber + kName},
        Session{"end of input at a score", "1\n1\n12\nBob\n7\n80\n",
                menu_key("1") + kExam + kNumber + kName + kClass + kChinese + kMath}),
    readable_case_name{});

INSTANTIATE_TEST_SUITE_P(
    Refusals, Sessions,
    ::testing::Values(
        Session{
            "exam code out of range", "1\n5 rest of line\n-1\n0\n12\nBob\n7\n1\n2\n3\n5",
            menu_key("1") + kExam + kBadExam + kExam + kBadExam + kEntryPrompts + menu_key("5")},
        Session{"unreadable exam code", "1\nabc\n+\n0\n12\nBob\n7\n1\n2\n3\n5",
                menu_key("1") + kExam + kUnreadable + kExam + kUnreadable + kEntryPrompts +
                    menu_key("5")},
        Session{"student number beyond 32 bits",
                "1 0\n2147483648\n-2147483649\n99999999999999999999\n-2147483648\nBob\n7 1 2 3 5",
                menu_key("1") + kExam + kNumber + kUnreadable + kNumber + kUnreadable + kNumber +
                    kUnreadable + kNumber + kName + kClass + kChinese + kMath + kEnglish +
                    menu_key("5")},
        Session{"class out of range", "1 0 12\nBob\n120\n-1\nx\n119 1 2 3 5",
                menu_key("1") + kExam + kNumber + kName + kClass + kBadClass + kClass + kBadClass +
                    kClass + kUnreadable + kClass + kChinese + kMath + kEnglish + menu_key("5")},
        Session{"scores that are not finite",
                "1 0 12\nBob\n7\nnan\ninf\n1e39\n-infinity 5\n80 90 70 5",
                menu_key("1") + kExam + kNumber + kName + kClass + kChinese + kUnreadable +
                    kChinese + kUnreadable + kChinese + kUnreadable + kChinese + kUnreadable +
                    kChinese + kMath + kEnglish + menu_key("5")},
        Session{"a score followed by letters", "1 0 12\nBob\n7\n80x 90\n90\n70 5",
                menu_key("1") + kExam + kNumber + kName + kClass + kChinese + kMath + kUnreadable +
                    kMath + kEnglish + menu_key("5")},
        Session{
            "name too long",
            "1 0 12\n" + std::string(100, 'n') + "\n" + std::string(99, 'm') + "\n7 1 2 3 2 0 12 5",
            menu_key("1") + kExam + kNumber + kName + kLongName + kName + kClass + kChinese +
                kMath + kEnglish +
                student_query(student_report(std::string(99, 'm'), 0, 1, 2, 3, 6, 1)) +
                menu_key("5")},
        Session{"a score of 1100 digits",
                "1 0 12\nBob\n7\n" + std::string(1100, '0') + "80 90 70 2 0 12 5",
                menu_key("1") + kEntryPrompts +
                    student_query(student_report("Bob", 0, 80, 90, 70, 240, 1)) + menu_key("5")},
        Session{"a name too long gives up its row alone",
                "1\t0\t12\t" + std::string(100, 'n') + "\t7\t1\t2\t3\n1\t0\t12\tBob\t7\t1\t2\t3\n5",
                menu_key("1") + kExam + kNumber + kName + "第1行有误，整行未录入。\n" + kBobOutput +
                    menu_key("5")},
        Session{"a score of 4096 bytes is refused, one of 4095 read",
                "1 0 12\nBob\n7\n" + std::string(4094, '0') + "80\n" + std::string(4093, '0') +
                    "80 90 70 2 0 12 5",
                menu_key("1") + kExam + kNumber + kName + kClass + kChinese + kUnreadable +
                    kChinese + kMath + kEnglish +
                    student_query(student_report("Bob", 0, 80, 90, 70, 240, 1)) + menu_key("5")},
        Session{"a score followed by 1100 letters",
                "1 0 12\nBob\n7\n80" + std::string(1100, 'q') + "\n90\n70 5",
                menu_key("1") + kExam + kNumber + kName + kClass + kChinese + kMath + kUnreadable +
                    kMath + kEnglish + menu_key("5")},
        Session{"99 bytes and a carriage return fit",
                "1 0 12\n" + std::string(99, 'n') + "\r\n7 1 2 3 5",
                menu_key("1") + kEntryPrompts + menu_key("5")}),
    readable_case_name{});

// A spreadsheet's rows, tab-separated or CSV: each is one entry or none.
INSTANTIATE_TEST_SUITE_P(
    Rows, Sessions,
    ::testing::Values(
        Session{"bad cells give up their rows alone",
                "1\t0\t1\tA\t3班\t1\t1\t1\n1\t0\t2\tB\t9\t缺考\t1\t1\r\n1\t0\t\tC\t9\t1\t1\t1\n"
                "1\t0\t4\tD\t120\t1\t1\t1\n1\t0\t5\tE\t9\t80 90\t1\t1\n2\t9\t5\n"
                "1\t0\t12\tBob\t9\t80\t90\t70\n3\t0\t9\n5",
                menu_key("1") + kExam + kNumber + kName + kClass + "第1行有误，整行未录入。\n" +
                    menu_key("1") + kExam + kNumber + kName + kClass + kChinese +
                    "第2行有误，整行未录入。\n" + menu_key("1") + kExam + kNumber +
                    "第3行有误，整行未录入。\n" + menu_key("1") + kExam + kNumber + kName + kClass +
                    "第4行有误，整行未录入。\n" + menu_key("1") + kExam + kNumber + kName + kClass +
                    kChinese + "第5行有误，整行未录入。\n" + menu_key("2") + kExam +
                    "第6行有误，整行未录入。\n" + kBobOutput +
                    class_query(class_report(9, 0, 80, 90, 70, 1)) + menu_key("5")},
        Session{"short rows are given up at their first missing answer", "1\t0\t12\n1,0,12,\n1\t0",
                menu_key("1") + kExam + kNumber + kName + "第1行有误，整行未录入。\n" +
                    menu_key("1") + kExam + kNumber + kName + kClass + "第2行有误，整行未录入。\n" +
                    menu_key("1") + kExam + kNumber + "第3行有误，整行未录入。\n" + kMenu},
        Session{"an extra cell is dropped with a notice, empty ones silently",
                "1\t0\t12\tBob\t7\t80\t90\t70\t240\n1,0,13,Ann,7,80,90,70,\t,\n4\t\n5",
                kBobOutput + "第1行多余的输入已忽略。\n" + kBobOutput + menu_key("4") + kNotYet +
                    menu_key("5")},
        Session{"a header row is refused, empty rows passed over",
                "序号,考试代号,学号,姓名\r\n,,,,\r\nx\tz\n\t\t\n5",
                menu_key("") + "第1行有误，整行未录入。\n" + menu_key("x") +
                    "第3行有误，整行未录入。\n" + menu_key("5")},
        Session{"a quoted CSV cell holds commas and quotes",
                "1,0,12, \"Li, \"\"Lei\"\"\" ,7,80,90,70\r\n2,0,12\r\n5",
                kBobOutput + student_query(student_report("Li, \"Lei\"", 0, 80, 90, 70, 240, 1)) +
                    menu_key("5")},
        Session{"a GBK CSV where the texts are UTF-8",
                to_gbk("1,0,12,罗大,7,80,90,70\r\n2,0,12\r\n5"),
                kBobOutput + student_query(student_report("罗大", 0, 80, 90, 70, 240, 1)) +
                    menu_key("5")}),
    readable_case_name{});

// Input that is not there yet is waited for, also when the pipe was left
// non-blocking: "no data yet" is not the end of input.
TEST(InputDelivery, NonBlockingPipeFedLate) {
  const Program_Run run =
      run_program("45", {"LC_ALL=C.UTF-8"}, std::chrono::seconds(20),
                  {.nonblocking = true, .delay = std::chrono::milliseconds(300)});
  EXPECT_SAME_BYTES(run.out, with_line_ends(menu_key("4") + kNotYet + menu_key("5")));
  EXPECT_EQ(run.exit_status, 0);
}

struct Argument_Case {
  const char* what;
  std::vector<std::string> arguments;  // before the files' names
  std::string out;
  std::string err;
  int exit_status;
  std::vector<std::pair<std::string, std::string>> files = {};  // written, then named in turn
  std::string input = "5";
};

class Arguments : public ::testing::TestWithParam<Argument_Case> {};

// Files named on the command line are read first, their dialogue not shown;
// then standard input, as ever.
TEST_P(Arguments, AnswerOrAreRefused) {
  const Argument_Case& row = GetParam();
  Run_Setup setup;
  setup.arguments = row.arguments;
  for (const auto& [name, content] : row.files) {
    std::ofstream(name, std::ios::binary) << content;
    setup.arguments.push_back(name);
  }
  const Program_Run run =
      run_program(row.input, {"LC_ALL=C.UTF-8"}, std::chrono::seconds(20), setup);
  EXPECT_SAME_BYTES(run.out, with_line_ends(row.out));
  EXPECT_EQ(run.err, with_line_ends(row.err));
  EXPECT_EQ(run.exit_status, row.exit_status);
}

const std::string kUsage = "用法：exam_scores [选项] [文件]...\n";
const std::string kHelp =
    kUsage +
    "exam_scores：在内存中录入和查询学校考试成绩。\n"
    "显示菜单：按一个数字键选择功能，再逐行回答提问，按 5 退出。\n"
    "给出文件（表格另存为的 CSV 或制表符分隔文本）时，先逐个读入其中的记录，\n"
    "再从标准输入提问。所录入的数据只保存在内存中，程序结束后即消失。\n"
    "  -h, --help     显示本说明\n  -V, --version  显示版本\n"
    "  --             其后的参数都是文件\n" +
    (testing_windows_executable()
         ? ""
         : "详见手册：man exam_scores（安装后）；在源码目录中：man ./man/exam_scores.1\n");

INSTANTIATE_TEST_SUITE_P(
    CommandLine, Arguments,
    ::testing::Values(
        Argument_Case{"none", {}, menu_key("5"), "", 0},
        Argument_Case{"help", {"--help"}, kHelp, "", 0}, Argument_Case{"h", {"-h"}, kHelp, "", 0},
        Argument_Case{"version", {"--version"}, "exam_scores 1.0.0\n", "", 0},
        Argument_Case{"V", {"-V"}, "exam_scores 1.0.0\n", "", 0},
        Argument_Case{"unknown", {"-x"}, "", "exam_scores：无法识别的参数：-x\n" + kUsage, 2},
        Argument_Case{
            "help and more", {"--help", "7"}, "", "exam_scores：无法识别的参数：7\n" + kUsage, 2},
        Argument_Case{"empty", {""}, "", "exam_scores：无法识别的参数：\n" + kUsage, 2}),
    readable_case_name{});

std::string workbook_refusal(const std::string& name) {
  return "exam_scores: " + name +
         " is a spreadsheet workbook, not text: save it as CSV or as tab-separated text\n";
}

INSTANTIATE_TEST_SUITE_P(
    Files, Arguments,
    ::testing::Values(
        Argument_Case{
            "two files then piped questions",
            {},
            "rows.tsv：第2行有误，整行未录入。\nrows.tsv：第5行：输入有误，请重新输入。\n"
            "rows.tsv：已录入2条，1行有误。\nrows.csv：第1行有误，整行未录入。\n" +
                class_report(7, 0, 44.5, 49.5, 39.5, 1) + kNotYet +
                "rows.csv：第3行多余的输入已忽略。\nrows.csv：已录入0条，1行有误。\n" +
                student_query(student_report("Bob", 0, 80, 90, 70, 240, 1)) + menu_key("5"),
            "",
            0,
            {{"rows.tsv",
              "1\t0\t12\tBob\t7\t80\t90\t70\n1\t0\t\tX\t7\t1\t1\t1\n1\n0\nq\n13 Ann\n7 9 9 9\n"},
             {"rows.csv", "序号,考试,学号\r\n3,0,7\r\n4,x\r\n"}},
            "2 0 12\n5"},
        Argument_Case{
            "item 5 in a file ends there", {}, kNotYet, "", 0, {{"five.txt", "4 5 4"}}, "4"},
        Argument_Case{"a file named as an option after --",
                      {"--"},
                      kNotYet + "-h：已录入0条，0行有误。\n" + menu_key("5"),
                      "",
                      0,
                      {{"-h", "4"}}},
        Argument_Case{"a missing file",
                      {"missing.txt"},
                      "",
                      "exam_scores: missing.txt: No such file or directory\n",
                      1},
        Argument_Case{"a workbook named",
                      {},
                      "",
                      workbook_refusal("book.xlsx"),
                      1,
                      {{"book.xlsx", std::string("PK\x03\x04\x14\x00", 6)}}},
        Argument_Case{"a workbook piped",
                      {},
                      kMenu,
                      workbook_refusal("standard input"),
                      1,
                      {},
                      "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1\x00"}),
    readable_case_name{});

// Output that a non-blocking pipe cannot take yet waits for its reader.
TEST(OutputDelivery, NonBlockingPipeReadLate) {
  constexpr int kTurns = 1000;  // well over a pipe's capacity
  std::string input;
  std::string output;
  for (int turn = 0; turn < kTurns; ++turn) {
    input += "4";
    output += menu_key("4") + kNotYet;
  }
  const Program_Run run =
      run_program(input + "5", {"LC_ALL=C.UTF-8"}, std::chrono::seconds(20),
                  {.nonblocking_output = true, .output_delay = std::chrono::milliseconds(300)});
  EXPECT_SAME_BYTES(run.out, with_line_ends(output + menu_key("5")));
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.exit_status, 0);
}

// A reader that has gone ends the program quietly: by SIGPIPE, or where there
// is none (Windows), with status 1.
TEST(OutputDelivery, PipeClosedByItsReaderEndsQuietly) {
  Run_Setup setup;
  setup.output_closed = true;
  const Program_Run run = run_program("4444", {"LC_ALL=C.UTF-8"}, std::chrono::seconds(20), setup);
  EXPECT_EQ(run.err, "");
  EXPECT_TRUE(run.signal == SIGPIPE || run.exit_status == 1)
      << run.signal << " " << run.exit_status;
}

struct Failure_Case {
  const char* what;
  std::string input;
  Run_Setup setup;
  const char* failure;  // what failed
  const char* reason;   // the system's words for why, as glibc puts them
};

class Failures : public ::testing::TestWithParam<Failure_Case> {};

// Lost output or unreadable input is never success: status 1 and one line.
TEST_P(Failures, EndWithStatus1AndTheReason) {
  const Failure_Case& failure = GetParam();
  const Program_Run run =
      run_program(failure.input, {"LC_ALL=C.UTF-8"}, std::chrono::seconds(20), failure.setup);
  EXPECT_EQ(run.exit_status, 1);
  const std::string what = std::string("exam_scores: ") + failure.failure + ": ";
  if (testing_windows_executable()) {  // the reason is in the Windows runtime's words
    EXPECT_EQ(run.err.substr(0, what.size()), what);
    EXPECT_EQ(run.err.find("\r\n"), run.err.size() - 2) << run.err;
  } else {
    EXPECT_EQ(run.err, what + failure.reason + "\n");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Output, Failures,
    ::testing::Values(
        Failure_Case{"output on a full disk",
                     "45",
                     {.output_path = "/dev/full"},
                     "write error",
                     "No space left on device"},
        Failure_Case{"endless input, output on a full disk",
                     std::string(1 << 20, '4'),
                     {.output_path = "/dev/full"},
                     "write error",
                     "No space left on device"},
        Failure_Case{"input a directory", "", {.input_path = "/"}, "read error", "Is a directory"}),
    readable_case_name{});

// The refused entry's answers are read and dropped, so the script stays in step.
TEST(FullTable, HundredthEntryIsReadThenRefused) {
  std::string input;
  std::string output;
  for (int entry = 1; entry <= 99; ++entry) {
    input += "1 " + std::to_string(entry % 5) + " " + std::to_string(entry) + "\nName\n" +
             std::to_string(entry % 120) + "\n50 60 70\n";
    output += menu_key("1") + kEntryPrompts;
  }
  input += "1 0 100\nLast\n7\n1 2 3\n2 0 5\n5";
  output += menu_key("1") + kEntryPrompts + kFull +
            student_query(student_report("Name", 0, 50, 60, 70, 180, 1)) + menu_key("5");
  expect_clean_session(input, output);
}

// Good rows among bad ones are all entered; the hundredth finds the table full.
TEST(FullTable, GoodRowsAmongBadOnesAreAllEntered) {
  std::string input;
  std::string output;
  for (int entry = 1, line = 1; entry <= 100; ++entry, ++line) {
    if (entry % 33 == 0) {
      input += "1\t0\t\tBad\t9\t1\t2\t3\n";
      output += menu_key("1") + kExam + kNumber + "第" + std::to_string(line++) +
                "行有误，整行未录入。\n";
    }
    input += "1\t0\t" + std::to_string(entry) + "\tName\t9\t50\t60\t70\n";
    output += menu_key("1") + kEntryPrompts + (entry == 100 ? kFull : "");
  }
  input += "2\t0\t99\n5";
  output += student_query(student_report("Name", 0, 50, 60, 70, 180, 99)) + menu_key("5");
  expect_clean_session(input, output);
}

}  // namespace
