#include "console/reports.h"

#include <algorithm>
#include <cstdio>

#include "console/input.h"
#include "console/texts.h"
#include "store/score_tables.h"

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
  std::printf(text(Text::kStudentReport), found->name, exam, static_cast<double>(found->chinese),
              static_cast<double>(found->math), static_cast<double>(found->english),
              static_cast<double>(found->total), found->rank, static_cast<double>(found->change));
}

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
  std::printf(text(Text::kClassReport), class_no, exam, static_cast<double>(record.chinese_avg),
              static_cast<double>(record.math_avg), static_cast<double>(record.english_avg), rank);
}

bool query_student(std::int32_t& exam, std::int32_t& student_no) {
  if (!ask_int(Text::kAskExamCode, exam, kExamCodes)) return false;
  if (!ask_int(Text::kAskStudentNo, student_no)) return false;
  Data_Search_A(exam, student_no);
  return true;
}

bool query_class(std::int32_t& exam, std::int32_t& class_no) {
  if (!ask_int(Text::kAskExamCode, exam, kExamCodes)) return false;
  if (!ask_int(Text::kAskQueryClass, class_no, kClassNumbers)) return false;
  Data_Search_B(exam, class_no);
  return true;
}
