#include "console/reports.h"

#include <algorithm>
#include <cstdint>

#include "console/input.h"
#include "console/output.h"
#include "console/report_numbers.h"
#include "console/texts.h"
#include "store/score_tables.h"

namespace {

void put_label(Text label) { put_text(text(label)); }

void put_int(int value) {
  char digits[kNumberChars];
  put_text({digits, format_int(value, digits)});
}

void put_one_decimal(float value) {
  char digits[kNumberChars];
  put_text({digits, format_one_decimal(value, digits)});
}

// The report of the highest-placed row of `exam` with this student number, or
// of blank row 0 where none has it.
void Data_Search_A(int exam, int student_no) {
  if (!is_exam_code(exam)) return;
  const Student_Record* found = &a[exam][0];  // always blank
  const int last_row = std::clamp(number_student, 0, kMaxEntries);
  for (int row = 1; row <= last_row; ++row) {
    if (a[exam][row].student_no == student_no) {
      found = &a[exam][row];
      break;
    }
  }
  put_text(found->name);
  put_label(Text::kStudentExamLabel);
  put_int(exam);
  put_label(Text::kStudentChineseLabel);
  put_one_decimal(found->chinese);
  put_label(Text::kStudentMathLabel);
  put_one_decimal(found->math);
  put_label(Text::kStudentEnglishLabel);
  put_one_decimal(found->english);
  put_label(Text::kStudentTotalLabel);
  put_one_decimal(found->total);
  put_label(Text::kStudentRankLabel);
  put_int(found->rank);
  put_label(Text::kStudentChangeLabel);
  put_one_decimal(found->change);
  put_char('\n');
}

// The averages of a class and its place in the exam's class order.
void Data_Search_B(int exam, int class_no) {
  if (!is_exam_code(exam) || !is_class_no(class_no)) return;
  const Class_Record& record = b[exam][class_no];
  int rank = 0;  // unlisted classes, and every class before the exam's first entry
  if (is_ranked_class(class_no)) {
    for (int slot = kFirstRankedClass; slot <= kLastRankedClass; ++slot) {
      if (b[exam][slot].order == class_no) {
        rank = slot;
        break;
      }
    }
  }
  put_int(class_no);
  put_label(Text::kClassExamLabel);
  put_int(exam);
  put_label(Text::kClassChineseLabel);
  put_one_decimal(record.chinese_avg);
  put_label(Text::kClassMathLabel);
  put_one_decimal(record.math_avg);
  put_label(Text::kClassEnglishLabel);
  put_one_decimal(record.english_avg);
  put_label(Text::kClassRankLabel);
  put_int(rank);
  put_char('\n');
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
