// The console encoding follows the locale: GBK for Chinese GBK locales, GB18030
// (written as GBK) for GB18030 ones, UTF-8 for everything else; and input is
// read in characters of that encoding.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "case_names.h"
#include "expected_texts.h"
#include "gbk.h"
#include "program_runner.h"

using namespace expected;

namespace {

TEST(Gbk, MenuItemFiveIsWrittenAsGbkBytes) {
  const Program_Run run = run_program("5", {"LC_ALL=zh_CN.GBK"});
  EXPECT_NE(run.out.find("   5.\xb9\xd8\xb1\xd5\n"), std::string::npos);  // 关闭
  EXPECT_EQ(run.exit_status, 0);
}

TEST(Gbk, NamesComeBackAsTyped) {
  const std::string name = "\xd5\xc5\xc8\xfd";  // 张三 in GBK
  const Program_Run run =
      run_program("1 0 1\n" + name + "\n1 80 90 70 2 0 1 5", {"LC_ALL=zh_CN.GBK"});
  EXPECT_NE(run.out.find(name + to_gbk("同学在第0次的考试中\n")), std::string::npos);
}

struct Locale_Case {
  const char* what;
  std::vector<std::string> environment;
  bool gbk;
};

class ConsoleEncoding : public ::testing::TestWithParam<Locale_Case> {};

TEST_P(ConsoleEncoding, WholeSessionInTheLocalesEncoding) {
  const Locale_Case& locale = GetParam();
  const std::string utf8 = menu_key("4") + kNotYet + menu_key("2") + kExam + kBadExam + kExam +
                           kNumber + student_report("", 0, 0, 0, 0, 0, 0) + menu_key("5");
  const Program_Run run = run_program("4 2 9\n0 1 5", locale.environment);
  EXPECT_SAME_BYTES(run.out, locale.gbk ? to_gbk(utf8) : utf8);
  EXPECT_EQ(run.err, "");
}

INSTANTIATE_TEST_SUITE_P(
    Locales, ConsoleEncoding,
    ::testing::Values(
        Locale_Case{"LC_ALL GBK", {"LC_ALL=zh_CN.GBK"}, true},
        Locale_Case{"LANG gb2312", {"LANG=zh_CN.gb2312"}, true},
        Locale_Case{"LC_CTYPE GB18030", {"LC_CTYPE=zh_CN.GB18030"}, true},
        Locale_Case{"LANG cp936", {"LANG=zh_CN.cp936"}, true},
        Locale_Case{"LC_ALL euc cn", {"LC_ALL=zh_CN.euc_cn@modifier"}, true},
        Locale_Case{"empty LC_ALL is passed over", {"LC_ALL=", "LANG=zh_CN.GBK"}, true},
        Locale_Case{"LC_ALL before LANG", {"LC_ALL=C.UTF-8", "LANG=zh_CN.GBK"}, false},
        Locale_Case{"LC_CTYPE before LANG", {"LC_CTYPE=C.UTF-8", "LANG=zh_CN.GBK"}, false},
        Locale_Case{"C UTF 8", {"LC_ALL=C.UTF-8"}, false}, Locale_Case{"C", {"LANG=C"}, false},
        Locale_Case{"POSIX", {"LC_ALL=POSIX"}, false},
        // Asked of the locale itself, which no machine has.
        Locale_Case{"no codeset and no such locale", {"LANG=zz_ZZ"}, false},
        Locale_Case{"no locale at all", {}, false}),
    readable_case_name{});

// Garbled text is worse than none: where the system cannot convert to the
// locale's code page (musl), or replaces what it converts (FreeBSD), one line
// says what to use instead, before anything else.
TEST(ConsoleEncoding, CodePageTheSystemCannotConvertToEndsTheRunAtOnce) {
  const std::string other_iconv = std::string("LD_PRELOAD=") + OTHER_ICONV_PATH;
  for (const auto& [locale, system] : {std::pair{"LC_ALL=zh_CN.GBK", "ICONV_AS=musl"},
                                       {"LANG=zh_CN.GB18030", "ICONV_AS=musl"},
                                       {"LC_ALL=zh_CN.GBK", "ICONV_AS=freebsd"},
                                       {"LC_ALL=C.UTF-8", "ICONV_AS=musl"}}) {
    const bool utf8 = std::string(locale).ends_with("UTF-8");
    const Program_Run run = run_program("5", {locale, other_iconv, system});
    EXPECT_EQ(run.exit_status, utf8 ? 0 : 1) << locale;
    EXPECT_EQ(run.out.empty(), !utf8) << locale;
    if (!utf8) EXPECT_TRUE(run.err.ends_with("such as LC_ALL=C.UTF-8\n")) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), utf8 ? 0 : 1) << locale;
  }
}

const std::string kGb18030Jiyi = "\x95\x34\xb2\x35";  // U+20BB7, four bytes
const std::string kGbkLi = "\xc0\xee";                // 李
const std::string kGb18030Li = kGbkLi;

// What the name step makes of a name typed straight after the student number:
// one character of the console's encoding is discarded, then the rest of the
// line is the name.
struct Name_Case {
  const char* what;
  const char* locale;
  std::string after_number;
  std::string stored;
  std::string before = "";      // what the script starts with
  const char* utf16 = nullptr;  // the script in "UTF-16LE" or "UTF-16BE", with its mark
};

const std::string kUtf8Mark = "\xEF\xBB\xBF";

class NameStep : public ::testing::TestWithParam<Name_Case> {};

TEST_P(NameStep, DiscardsOneCharacterThenTakesTheLine) {
  const Name_Case& name = GetParam();
  std::string script = name.before + "1 0 12" + name.after_number + "\n7 80 90 70 2 0 12 5";
  if (name.utf16 != nullptr) script = converted("\uFEFF" + script, name.utf16);
  const Program_Run run = run_program(script, {name.locale});
  const bool utf8 = std::string(name.locale) == "LC_ALL=C.UTF-8";
  const std::string report_start = kNumber + "\x01同学在第0次的考试中\n";
  const std::string expected = utf8 ? report_start : to_gbk(report_start);
  const std::size_t name_at = expected.find('\x01');
  EXPECT_NE(run.out.find(expected.substr(0, name_at) + name.stored + expected.substr(name_at + 1)),
            std::string::npos)
      << run.out;
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, NameStep,
    ::testing::Values(
        Name_Case{"utf8 character", "LC_ALL=C.UTF-8", "李雷", "雷"},
        Name_Case{"utf8 ideographic space", "LC_ALL=C.UTF-8", "\u3000韩梅梅", "韩梅梅"},
        Name_Case{"utf8 character cut short", "LC_ALL=C.UTF-8", "\xe9\x9b=", "="},
        Name_Case{"byte that begins no character", "LC_ALL=C.UTF-8", "\xff=", "="},
        Name_Case{"gbk pair", "LC_ALL=zh_CN.GBK", kGbkLi + "\xc0\xd7", "\xc0\xd7"},
        Name_Case{"gb18030 four bytes", "LC_ALL=zh_CN.GB18030", kGb18030Jiyi + kGbkLi, kGbkLi},
        Name_Case{"gb18030 four bytes kept whole", "LC_ALL=zh_CN.GB18030", " a" + kGb18030Jiyi,
                  "a" + kGb18030Jiyi},
        Name_Case{"gbk reads four bytes as pairs", "LC_ALL=zh_CN.GBK", kGb18030Jiyi + "x",
                  "4\xb2\x35x"},
        Name_Case{"nul dropped", "LC_ALL=C.UTF-8", std::string(" ab\0cd", 6), "abcd"},
        Name_Case{"utf8 script with its mark under gbk", "LC_ALL=zh_CN.GBK", " 李雷",
                  to_gbk("李雷"), kUtf8Mark},
        Name_Case{"utf8 script with its mark under gb18030", "LC_ALL=zh_CN.GB18030", " 𠮷",
                  kGb18030Jiyi, kUtf8Mark},
        Name_Case{"utf8 script without a mark under gbk", "LC_ALL=zh_CN.GBK", " 李雷·王",
                  to_gbk("李雷·王")},
        Name_Case{"utf8 script without a mark under gb18030", "LC_ALL=zh_CN.GB18030", " 𠮷",
                  kGb18030Jiyi},
        Name_Case{"gbk name that is valid utf8 stays gbk", "LC_ALL=zh_CN.GBK", " \xd0\xa4\xc3\xb7",
                  "\xd0\xa4\xc3\xb7"},
        Name_Case{"utf16le script under gbk", "LC_ALL=zh_CN.GBK", " 李雷", to_gbk("李雷"), "",
                  "UTF-16LE"},
        Name_Case{"utf16be script under utf8", "LC_ALL=C.UTF-8", " 𠮷\u0085", "𠮷", "", "UTF-16BE"},
        Name_Case{"a tab ends the name", "LC_ALL=C.UTF-8", " Bob\t7\t80\t90\t70", "Bob"},
        Name_Case{"gb18030 script under utf8", "LC_ALL=C.UTF-8", " " + kGb18030Li + kGb18030Jiyi,
                  "李𠮷"},
        Name_Case{"gbk bytes in a utf8 script stay", "LC_ALL=C.UTF-8", " \xC2\xDE\xB4\xF3",
                  "\xC2\xDE\xB4\xF3", kUtf8Mark},
        Name_Case{"c1 control left out", "LC_ALL=C.UTF-8", " a\u0085b", "ab"},
        Name_Case{"gb18030 cut four-byte form kept", "LC_ALL=zh_CN.GB18030",
                  " a\x81\x30\x81:", "a\x81\x30\x81:"}),
    readable_case_name{});

struct Refused_Name {
  const char* what;
  const char* locale;
  std::string script;  // up to an unreadable name after "1 0 12 "; then 李雷
  bool utf16 = false;  // the script is in UTF-16LE
};

class UnreadableName : public ::testing::TestWithParam<Refused_Name> {};

// A name that cannot be read is refused, never stored in part, and asked again.
TEST_P(UnreadableName, IsRefusedAndAskedAgain) {
  const Refused_Name& name = GetParam();
  const std::string rest = "\n李雷\n7 80 90 70 2 0 12 5";
  const Program_Run run =
      run_program(name.script + (name.utf16 ? converted(rest, "UTF-16LE") : rest), {name.locale});
  const bool gbk = std::string(name.locale) != "LC_ALL=C.UTF-8";
  const auto in_locale = [&](const std::string& text) { return gbk ? to_gbk(text) : text; };
  EXPECT_NE(run.out.find(in_locale(kName + kUnreadable + kName + kClass)), std::string::npos);
  EXPECT_NE(run.out.find(in_locale(student_report("李雷", 0, 80, 90, 70, 240, 1))),
            std::string::npos);
}

const std::string kUtf16Start = converted("\uFEFF1 0 12 刘", "UTF-16LE");

INSTANTIATE_TEST_SUITE_P(
    Scripts, UnreadableName,
    ::testing::Values(Refused_Name{"utf8 name without a gbk form", "LC_ALL=zh_CN.GBK",
                                   kUtf8Mark + "1 0 12 刘䶮"},
                      Refused_Name{"lone surrogate under gbk", "LC_ALL=zh_CN.GBK",
                                   kUtf16Start + std::string("\x00\xD8", 2), true},
                      Refused_Name{"reversed pair under utf8", "LC_ALL=C.UTF-8",
                                   kUtf16Start + std::string("\x00\xDC\x00\xD8", 4), true}),
    readable_case_name{});

// A UTF-16 script of any size is read whole, through a pipe or from a file.
TEST(Utf16, ScriptLargerThanItsBufferAnswersEveryQuery) {
  constexpr int kQueries = 10000;  // 140 KB in UTF-16
  std::string script = "\uFEFF1 0 12 李雷\n7 80 90 70\n";
  for (int query = 0; query < kQueries; ++query) script += "2 0 12\n";
  const std::string path = ::testing::TempDir() + "utf16_script.txt";
  for (const char* encoding : {"UTF-16LE", "UTF-16BE"}) {
    const bool from_file = std::string(encoding) == "UTF-16BE";
    const std::string bytes = converted(script + "5", encoding);
    Run_Setup setup;
    if (from_file) {
      std::ofstream(path, std::ios::binary) << bytes;
      setup.input_path = path.c_str();
    }
    const Program_Run run =
        run_program(from_file ? "" : bytes, {"LC_ALL=C.UTF-8"}, std::chrono::seconds(60), setup);
    const std::string report = student_report("李雷", 0, 80, 90, 70, 240, 1);
    int reports = 0;
    for (auto at = run.out.find(report); at != std::string::npos; at = run.out.find(report, at + 1))
      ++reports;
    EXPECT_EQ(reports, kQueries) << encoding;
    EXPECT_EQ(run.exit_status, 0) << encoding;
  }
}

// A UTF-8 script's first name is converted however its line arrives: after a
// pause in a pipe, or cut by the end of a read from a file.
TEST(Gbk, Utf8NameIsConvertedHoweverItsLineArrives) {
  const std::string rest = "李雷\n7 80 90 70 2 0 12 5";
  const std::string report = to_gbk(student_report("李雷", 0, 80, 90, 70, 240, 1));
  for (const char* locale : {"LC_ALL=zh_CN.GBK", "LC_ALL=zh_CN.GB18030"}) {
    Run_Setup setup;
    setup.pause_after = 7;
    setup.pause = std::chrono::milliseconds(300);
    const Program_Run run =
        run_program("1 0 12\n" + rest, {locale}, std::chrono::seconds(20), setup);
    EXPECT_NE(run.out.find(report), std::string::npos) << locale;
  }
  const std::string path = ::testing::TempDir() + "late_name.txt";
  for (const std::size_t name_at : {65534U, 65535U, 65536U, 98302U, 98303U, 98304U}) {
    std::ofstream(path, std::ios::binary) << std::string(name_at - 7, ' ') + "1 0 12 " + rest;
    Run_Setup setup;
    setup.input_path = path.c_str();
    const Program_Run run = run_program("", {"LC_ALL=zh_CN.GBK"}, std::chrono::seconds(20), setup);
    EXPECT_NE(run.out.find(report), std::string::npos) << name_at;
  }
}

// Full-width digits, signs and points, as a Chinese input method types them,
// are numbers at every number prompt, on a line and in a row's cells.
TEST(FullWidth, DigitsAreReadAsNumbers) {
  const std::string script =
      "1 ０ １２ Bob\n７\n８０　９０　７０\n1\t０\t＋８３\tAnn\t７\t８２．４\t－７\t　９０　\n"
      "2 0 12 2 ０ ８３ 5";
  for (const char* locale : {"LC_ALL=C.UTF-8", "LC_ALL=zh_CN.GBK"}) {
    const bool gbk = std::string(locale) == "LC_ALL=zh_CN.GBK";
    const Program_Run run = run_program(gbk ? to_gbk(script) : script, {locale});
    for (const std::string& report : {student_report("Bob", 0, 80, 90, 70, 240, 1),
                                      student_report("Ann", 0, 82.4, -7, 90, 165.4, 2)}) {
      EXPECT_NE(run.out.find(gbk ? to_gbk(report) : report), std::string::npos) << locale;
    }
  }
}

TEST(Gb18030, FourByteCharacterIsOneKeyAtTheMenu) {
  const Program_Run run =
      run_program(kGb18030Jiyi + "4" + kGb18030Jiyi + "x5", {"LC_ALL=zh_CN.GB18030"});
  EXPECT_SAME_BYTES(run.out, to_gbk(menu_key("") + menu_key("4") + kNotYet + menu_key("") +
                                    menu_key("x") + menu_key("5")));
}

}  // namespace
