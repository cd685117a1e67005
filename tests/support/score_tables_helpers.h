// Test helpers for the global score tables.
#pragma once

#include <cstring>

#include "store/exam_processing.h"
#include "store/score_tables.h"

inline void clear_score_tables() {
  std::memset(a, 0, sizeof a);
  std::memset(b, 0, sizeof b);
  number_student = 0;
}

struct Entry {
  int exam;
  int student_no;
  int class_no;
  float chinese;
  float math;
  float english;
};

// Makes an entry the way the entry dialogue does: claim the next row of the
// exam, fill it, process the exam.
inline void enter(const Entry& entry) {
  ++number_student;
  Student_Record& row = a[entry.exam][number_student];
  row.student_no = entry.student_no;
  row.class_no = entry.class_no;
  row.chinese = entry.chinese;
  row.math = entry.math;
  row.english = entry.english;
  Data_Processing(entry.exam);
}
