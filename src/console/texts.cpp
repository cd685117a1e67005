#include "console/texts.h"

#include <array>
#include <string>

#include "console/platform/platform.h"

namespace {

constexpr std::size_t kTextCount = static_cast<std::size_t>(Text::kCount);

// Written here as UTF-8, in the order of Text; converted once at start where
// the console wants GBK.
constexpr std::string_view kUtf8Texts[] = {
    // kMenu
    "\n"
    "**************************\n"
    "   1.输入学生数据\n"
    "   2.查看学生数据\n"
    "   3.查看班级科目数据\n"
    "   4.考试成绩对比\n"
    "   5.关闭\n"
    "**************************\n",
    "请输入你的决定(1~5):\n",              // kMenuPrompt
    "本功能暂未实现，敬请期待^~^\n",       // kNotYetAvailable
    "请输入本次考试的代号：",              // kAskExamCode
    "请输入学生学号：",                    // kAskStudentNo
    "请输入学生姓名：",                    // kAskName
    "请输入学生班级：",                    // kAskClassNo
    "请输入学生语文成绩：",                // kAskChinese
    "请输入学生数学成绩：",                // kAskMath
    "请输入学生英语成绩：",                // kAskEnglish
    "请输入需要查询的班级：",              // kAskQueryClass
    "输入有误，请重新输入。\n",            // kUnreadableNumber
    "考试代号应为0~4，请重新输入。\n",     // kExamCodeOutOfRange
    "班级应为0~119，请重新输入。\n",       // kClassNoOutOfRange
    "姓名过长，请重新输入。\n",            // kNameTooLong
    "录入人数已满，无法继续录入。\n",      // kTableFull
    "第",                                  // kScriptLineStart
    "行",                                  // kScriptLineEnd
    "本行",                                // kThisLine
    "有误，整行未录入。\n",                // kRowGivenUp
    "多余的输入已忽略。\n",                // kLeftoverDropped
    "：",                                  // kFileNameEnd
    "已录入",                              // kFileEntries
    "条，",                                // kFileRowsGivenUp
    "行有误。\n",                          // kFileSummaryEnd
    "同学在第",                            // kStudentExamLabel
    "次的考试中\n语文成绩为：",            // kStudentChineseLabel
    "\n数学成绩为：",                      // kStudentMathLabel
    "\n英语成绩为：",                      // kStudentEnglishLabel
    "\n总分为：",                          // kStudentTotalLabel
    "\n在年级中的排名为：",                // kStudentRankLabel
    "\n本次考试与上一次相比的涨跌幅为：",  // kStudentChangeLabel
    "班在第",                              // kClassExamLabel
    "的考试中\n语文平均分为：",            // kClassChineseLabel
    "\n数学平均分为：",                    // kClassMathLabel
    "\n英语平均分为：",                    // kClassEnglishLabel
    "\n班级在年纪中的排名为：",            // kClassRankLabel
    // kHelp
    "exam_scores：在内存中录入和查询学校考试成绩。\n"
    "显示菜单：按一个数字键选择功能，再逐行回答提问，按 5 退出。\n"
    "给出文件（表格另存为的 CSV 或制表符分隔文本）时，先逐个读入其中的记录，\n"
    "再从标准输入提问。所录入的数据只保存在内存中，程序结束后即消失。\n"
    "  -h, --help     显示本说明\n"
    "  -V, --version  显示版本\n"
    "  --             其后的参数都是文件\n",
    // kHelpManual
    "详见手册：man exam_scores（安装后）；在源码目录中：man ./man/exam_scores.1\n",
    "用法：exam_scores [选项] [文件]...\n",  // kUsage
    "exam_scores：无法识别的参数：",         // kUnknownArgument
};
static_assert(std::size(kUtf8Texts) == kTextCount, "one text for each Text");

std::string converted_texts[kTextCount];
std::array<std::string_view, kTextCount> texts_in_use = std::to_array(kUtf8Texts);
Console_Encoding encoding_in_use = Console_Encoding::kUtf8;

}  // namespace

bool use_console_encoding(Console_Encoding encoding) {
  encoding_in_use = Console_Encoding::kUtf8;
  texts_in_use = std::to_array(kUtf8Texts);
  if (encoding == Console_Encoding::kUtf8) return true;
  for (std::size_t i = 0; i < kTextCount; ++i) {
    if (!convert_text(kUtf8Texts[i], Console_Encoding::kUtf8, encoding, converted_texts[i]))
      return false;
  }
  for (std::size_t i = 0; i < kTextCount; ++i) texts_in_use[i] = converted_texts[i];
  encoding_in_use = encoding;
  return true;
}

Console_Encoding console_encoding_in_use() { return encoding_in_use; }

std::string_view text(Text id) { return texts_in_use[static_cast<std::size_t>(id)]; }
