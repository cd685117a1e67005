// What the program shows, written out independently of the program's own text
// table, for comparing whole sessions byte for byte.
#pragma once

#include <cstdio>
#include <string>

namespace expected {

inline const std::string kMenu =
    "\n"
    "**************************\n"
    "   1.输入学生数据\n"
    "   2.查看学生数据\n"
    "   3.查看班级科目数据\n"
    "   4.考试成绩对比\n"
    "   5.关闭\n"
    "**************************\n"
    "请输入你的决定(1~5):\n";
inline const std::string kNotYet = "本功能暂未实现，敬请期待^~^\n";
inline const std::string kExam = "请输入本次考试的代号：";
inline const std::string kNumber = "请输入学生学号：";
inline const std::string kName = "请输入学生姓名：";
inline const std::string kClass = "请输入学生班级：";
inline const std::string kChinese = "请输入学生语文成绩：";
inline const std::string kMath = "请输入学生数学成绩：";
inline const std::string kEnglish = "请输入学生英语成绩：";
inline const std::string kQueryClass = "请输入需要查询的班级：";
inline const std::string kUnreadable = "输入有误，请重新输入。\n";
inline const std::string kBadExam = "考试代号应为0~4，请重新输入。\n";
inline const std::string kBadClass = "班级应为0~119，请重新输入。\n";
inline const std::string kLongName = "姓名过长，请重新输入。\n";
inline const std::string kFull = "录入人数已满，无法继续录入。\n";
inline const std::string kLeftover = "本行多余的输入已忽略。\n";

// The menu, then the echoed key and its line break.
inline std::string menu_key(const std::string& echo) { return kMenu + echo + "\n"; }

// Every prompt of one entry in order, with nothing refused.
inline const std::string kEntryPrompts =
    kExam + kNumber + kName + kClass + kChinese + kMath + kEnglish;

}  // namespace expected

namespace expected {

inline std::string one_decimal(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

inline std::string student_report(const std::string& name, int exam, double chinese, double math,
                                  double english, double total, int rank) {
  return name + "同学在第" + std::to_string(exam) + "次的考试中\n语文成绩为：" +
         one_decimal(chinese) + "\n数学成绩为：" + one_decimal(math) + "\n英语成绩为：" +
         one_decimal(english) + "\n总分为：" + one_decimal(total) + "\n在年级中的排名为：" +
         std::to_string(rank) + "\n本次考试与上一次相比的涨跌幅为：0.0\n";
}

inline std::string class_report(int class_no, int exam, double chinese, double math, double english,
                                int rank) {
  return std::to_string(class_no) + "班在第" + std::to_string(exam) + "的考试中\n语文平均分为：" +
         one_decimal(chinese) + "\n数学平均分为：" + one_decimal(math) + "\n英语平均分为：" +
         one_decimal(english) + "\n班级在年纪中的排名为：" + std::to_string(rank) + "\n";
}

// The output of a student query typed after its menu key.
inline std::string student_query(const std::string& report) {
  return menu_key("2") + kExam + kNumber + report;
}

inline std::string class_query(const std::string& report) {
  return menu_key("3") + kExam + kQueryClass + report;
}

}  // namespace expected
