#include "store/exam_processing.h"

#include <cmath>
#include <limits>

#include "store/score_tables.h"

float round_to_stored(double value) {
  // Beyond this magnitude round-to-nearest gives infinity; converting such a
  // double to float directly would be undefined.
  constexpr double kFirstOverflowing = 0x1.ffffffp127;
  if (std::fabs(value) >= kFirstOverflowing) {
    constexpr float kInfinity = std::numeric_limits<float>::infinity();
    return value > 0 ? kInfinity : -kInfinity;
  }
  return static_cast<float>(value);
}

namespace {

struct New_Entry {
  int class_no;
  float chinese;
  float math;
  float english;
};

void form_totals(Student_Record* rows, int n) {
  for (int i = 1; i <= n; ++i) {
    Student_Record& row = rows[i];
    row.total = round_to_stored(static_cast<double>(row.chinese) +
                                static_cast<double>(row.english) + static_cast<double>(row.math));
  }
}

// Bubble sort, highest total first. Only a strictly greater total moves up, so
// equal totals keep their order and a NaN total never moves anything.
void order_students(Student_Record* rows, int n) {
  for (int pass = 1; pass <= n; ++pass) {
    for (int j = 1; j <= n - pass; ++j) {
      if (rows[j + 1].total > rows[j].total) {
        const Student_Record held = rows[j];
        rows[j] = rows[j + 1];
        rows[j + 1] = held;
      }
    }
  }
}

void number_ranks(Student_Record* rows, int n) {
  for (int i = 1; i <= n; ++i) {
    rows[i].rank = i;
  }
}

// Formed in double precision, rounded once.
float sum(float one, float other) {
  return round_to_stored(static_cast<double>(one) + static_cast<double>(other));
}

void add_to_class(Class_Record& record, const New_Entry& entry) {
  record.count += 1;
  record.chinese_sum = sum(record.chinese_sum, entry.chinese);
  record.math_sum = sum(record.math_sum, entry.math);
  record.english_sum = sum(record.english_sum, entry.english);
  const double count = record.count;
  record.chinese_avg = round_to_stored(static_cast<double>(record.chinese_sum) / count);
  record.math_avg = round_to_stored(static_cast<double>(record.math_sum) / count);
  record.english_avg = round_to_stored(static_cast<double>(record.english_sum) / count);
  record.avg_total = round_to_stored(static_cast<double>(record.chinese_avg) +
                                     static_cast<double>(record.math_avg) +
                                     static_cast<double>(record.english_avg));
}

// Slot k of the list (the order field of record k) names the class ranked
// k-th. Rebuilt from the identity with the same bubble sort as the students.
void rebuild_class_order(Class_Record* classes) {
  for (int k = kFirstRankedClass; k <= kLastRankedClass; ++k) {
    classes[k].order = k;
  }
  constexpr int kSlots = kLastRankedClass - kFirstRankedClass + 1;
  for (int pass = 1; pass <= kSlots; ++pass) {
    for (int k = kFirstRankedClass; k <= kLastRankedClass - pass; ++k) {
      const int upper = classes[k].order;
      const int lower = classes[k + 1].order;
      if (classes[lower].avg_total > classes[upper].avg_total) {
        classes[k].order = lower;
        classes[k + 1].order = upper;
      }
    }
  }
}

}  // namespace

void Data_Processing(int exam) {
  const int n = number_student;
  if (!is_exam_code(exam) || n < 1 || n > kMaxEntries) {
    return;
  }
  Student_Record* rows = a[exam];
  const Student_Record& fresh = rows[n];
  if (!is_class_no(fresh.class_no)) {
    return;
  }
  const New_Entry entry{fresh.class_no, fresh.chinese, fresh.math, fresh.english};

  form_totals(rows, n);
  order_students(rows, n);
  number_ranks(rows, n);
  add_to_class(b[exam][entry.class_no], entry);
  rebuild_class_order(b[exam]);
}
