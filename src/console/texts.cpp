#include "console/texts.h"

#include <array>
#include <string>

#include "console/platform/platform.h"

namespace {

constexpr std::size_t kTextCount = static_cast<std::size_t>(Text::kCount);

// Written here as UTF-8; converted once at start where the console wants GBK.
// A switch, so that a text left out is a compiler warning, not an empty line.
// The table is long by nature.
// NOLINTNEXTLINE(readability-function-size)
const char* source_text(Text id) {
  switch (id) {
    case Text::kMenu:
      return "\n"
             "**************************\n"
             "   1.输入学生数据\n"
             "   2.查看学生数据\n"
             "   3.查看班级科目数据\n"
             "   4.考试成绩对比\n"
             "   5.关闭\n"
             "**************************\n";
    case Text::kMenuPrompt:
      return "请输入你的决定(1~5):\n";
    case Text::kNotYetAvailable:
      return "本功能暂未实现，敬请期待^~^\n";
    case Text::kAskExamCode:
      return "请输入本次考试的代号：";
    case Text::kAskStudentNo:
      return "请输入学生学号：";
    case Text::kAskName:
      return "请输入学生姓名：";
    case Text::kAskClassNo:
      return "请输入学生班级：";
    case Text::kAskChinese:
      return "请输入学生语文成绩：";
    case Text::kAskMath:
      return "请输入学生数学成绩：";
    case Text::kAskEnglish:
      return "请输入学生英语成绩：";
    case Text::kAskQueryClass:
      return "请输入需要查询的班级：";
    case Text::kUnreadableNumber:
      return "输入有误，请重新输入。\n";
    case Text::kExamCodeOutOfRange:
      return "考试代号应为0~4，请重新输入。\n";
    case Text::kClassNoOutOfRange:
      return "班级应为0~119，请重新输入。\n";
    case Text::kNameTooLong:
      return "姓名过长，请重新输入。\n";
    case Text::kTableFull:
      return "录入人数已满，无法继续录入。\n";
    case Text::kLeftoverDropped:
      return "本行多余的输入已忽略。\n";
    case Text::kStudentExamLabel:
      return "同学在第";
    case Text::kStudentChineseLabel:
      return "次的考试中\n语文成绩为：";
    case Text::kStudentMathLabel:
      return "\n数学成绩为：";
    case Text::kStudentEnglishLabel:
      return "\n英语成绩为：";
    case Text::kStudentTotalLabel:
      return "\n总分为：";
    case Text::kStudentRankLabel:
      return "\n在年级中的排名为：";
    case Text::kStudentChangeLabel:
      return "\n本次考试与上一次相比的涨跌幅为：";
    case Text::kClassExamLabel:
      return "班在第";
    case Text::kClassChineseLabel:
      return "的考试中\n语文平均分为：";
    case Text::kClassMathLabel:
      return "\n数学平均分为：";
    case Text::kClassEnglishLabel:
      return "\n英语平均分为：";
    case Text::kClassRankLabel:
      return "\n班级在年纪中的排名为：";
    case Text::kHelp:
      return "exam_scores：在内存中录入和查询学校考试成绩。\n"
             "不带参数运行时显示菜单：按一个数字键选择功能，再逐行回答提问，按 5 退出。\n"
             "所录入的数据只保存在内存中，程序结束后即消失。\n"
             "  -h, --help     显示本说明\n"
             "  -V, --version  显示版本\n";
    case Text::kHelpManual:
      return "详见手册：man exam_scores\n";
    case Text::kUsage:
      return "用法：exam_scores [-h | --help | -V | --version]\n";
    case Text::kUnknownArgument:
      return "exam_scores：无法识别的参数：";
    case Text::kCount:
      break;
  }
  return "";
}

using Text_Table = std::array<std::string_view, kTextCount>;

// Each text's length counted once.
const Text_Table utf8_texts = [] {
  Text_Table table;
  for (std::size_t i = 0; i < kTextCount; ++i) table[i] = source_text(static_cast<Text>(i));
  return table;
}();

std::string gbk_texts[kTextCount];
Text_Table texts_in_use = utf8_texts;
Console_Encoding encoding_in_use = Console_Encoding::kUtf8;

}  // namespace

void use_console_encoding(Console_Encoding encoding) {
  encoding_in_use = Console_Encoding::kUtf8;
  texts_in_use = utf8_texts;
  if (encoding == Console_Encoding::kUtf8) return;
  // Should a text not convert, every text stays UTF-8 rather than mixing encodings.
  for (std::size_t i = 0; i < kTextCount; ++i) {
    if (!convert_from_utf8(utf8_texts[i], Console_Encoding::kGbk, gbk_texts[i])) return;
  }
  for (std::size_t i = 0; i < kTextCount; ++i) texts_in_use[i] = gbk_texts[i];
  encoding_in_use = encoding;
}

Console_Encoding console_encoding_in_use() { return encoding_in_use; }

std::string_view text(Text id) { return texts_in_use[static_cast<std::size_t>(id)]; }
