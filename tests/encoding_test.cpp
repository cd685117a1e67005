// The console encoding follows the locale: GBK for Chinese GBK locales, UTF-8
// for everything else.
#include <gtest/gtest.h>

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

}  // namespace
