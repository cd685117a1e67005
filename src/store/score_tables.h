// The whole state of the program: the student table, the class table and the
// entry counter. Plain global tables, zero-filled at start, alive for the run.
#pragma once

#include <cstdint>

// Capacities. Every index into the tables is checked against these.
inline constexpr int kExamCount = 5;                  // exam codes 0..4
inline constexpr int kRowsPerExam = 100;              // rows 0..99; row 0 stays blank
inline constexpr int kMaxEntries = kRowsPerExam - 1;  // one counter for all exams
inline constexpr int kClassCount = 120;               // class numbers 0..119
inline constexpr int kFirstRankedClass = 1;           // the class order list names
inline constexpr int kLastRankedClass = 99;           // classes 1..99 only
inline constexpr int kNameBytes = 100;                // 99 bytes and the NUL
inline constexpr int kMaxNameLength = kNameBytes - 1;

struct Student_Record {
  char name[kNameBytes];
  std::int32_t class_no;
  std::int32_t student_no;
  float chinese;
  float math;
  float english;
  float total;
  std::int32_t rank;
  float change;  // never computed: always 0
};

struct Class_Record {
  std::int32_t order;  // slot of the exam's class order list, not this class's rank
  float math_sum;
  float english_sum;
  float chinese_sum;
  float chinese_avg;
  float math_avg;
  float english_avg;
  float avg_total;
  std::int32_t count;
};

extern Student_Record a[kExamCount][kRowsPerExam];
extern Class_Record b[kExamCount][kClassCount];
extern std::int32_t number_student;

inline constexpr bool is_exam_code(long long exam) { return exam >= 0 && exam < kExamCount; }
inline constexpr bool is_class_no(long long class_no) {
  return class_no >= 0 && class_no < kClassCount;
}
inline constexpr bool is_ranked_class(long long class_no) {
  return class_no >= kFirstRankedClass && class_no <= kLastRankedClass;
}
