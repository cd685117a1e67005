#include "console/reports.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string_view>
#include <utility>

#include "console/answers.h"
#include "console/output.h"
#include "console/report_numbers.h"
#include "console/texts.h"
#include "store/score_tables.h"

namespace {

// A report is made whole, then put out at once: queries are mostly reports.
struct Report {
  char bytes[1024];  // a name, seven labels and seven numbers take far less
  std::size_t length = 0;
};

void add(Report& report, std::string_view part) {
  const std::size_t size = std::min(part.size(), sizeof report.bytes - report.length);
  std::memcpy(report.bytes + report.length, part.data(), size);
  report.length += size;
}

void add_label(Report& report, Text label) { add(report, text(label)); }

void add_int(Report& report, int value) {
  char digits[16];
  add(report, {digits, std::to_chars(digits, digits + sizeof digits, value).ptr});
}

// Each label, and its score as "%.1f" writes it.
void add_scores(Report& report, std::initializer_list<std::pair<Text, float>> scores) {
  for (const auto& [label, score] : scores) {
    char digits[kNumberChars];
    add_label(report, label);
    add(report, {digits, format_one_decimal(score, digits)});
  }
}

// The report of the highest-placed row of `exam` with this student number, or
// of blank row 0 where none has it.
void Data_Search_A(int exam, int student_no) {
  if (!is_exam_code(exam)) return;
  const Student_Record* const rows = &a[exam][1];
  const Student_Record* const end = rows + std::clamp(number_student, 0, kMaxEntries);
  const Student_Record* found = std::find_if(
      rows, end, [&](const Student_Record& row) { return row.student_no == student_no; });
  if (found == end) found = &a[exam][0];  // always blank
  Report report;
  add(report, found->name);
  add_label(report, Text::kStudentExamLabel);
  add_int(report, exam);
  add_scores(report, {{Text::kStudentChineseLabel, found->chinese},
                      {Text::kStudentMathLabel, found->math},
                      {Text::kStudentEnglishLabel, found->english},
                      {Text::kStudentTotalLabel, found->total}});
  add_label(report, Text::kStudentRankLabel);
  add_int(report, found->rank);
  add_scores(report, {{Text::kStudentChangeLabel, found->change}});
  add(report, "\n");
  put_text({report.bytes, report.length});
}

// The averages of a class and its place in the exam's class order.
void Data_Search_B(int exam, int class_no) {
  if (!is_exam_code(exam) || !is_class_no(class_no)) return;
  const Class_Record& record = b[exam][class_no];
  int rank = 0;  // unlisted classes, and every class before the exam's first entry
  if (is_ranked_class(class_no)) {
    for (int slot = kFirstRankedClass; slot <= kLastRankedClass && rank == 0; ++slot) {
      if (b[exam][slot].order == class_no) rank = slot;
    }
  }
  Report report;
  add_int(report, class_no);
  add_label(report, Text::kClassExamLabel);
  add_int(report, exam);
  add_scores(report, {{Text::kClassChineseLabel, record.chinese_avg},
                      {Text::kClassMathLabel, record.math_avg},
                      {Text::kClassEnglishLabel, record.english_avg}});
  add_label(report, Text::kClassRankLabel);
  add_int(report, rank);
  add(report, "\n");
  put_text({report.bytes, report.length});
}

}  // namespace

bool query_student() {
  std::int32_t exam = 0;
  std::int32_t student_no = 0;
  if (!ask_int(Text::kAskExamCode, exam, kExamCodes)) return false;
  if (!ask_int(Text::kAskStudentNo, student_no)) return false;
  Data_Search_A(exam, student_no);
  return true;
}

bool query_class() {
  std::int32_t exam = 0;
  std::int32_t class_no = 0;
  if (!ask_int(Text::kAskExamCode, exam, kExamCodes)) return false;
  if (!ask_int(Text::kAskQueryClass, class_no, kClassNumbers)) return false;
  Data_Search_B(exam, class_no);
  return true;
}
