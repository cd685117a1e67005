// Data_Processing on a full exam of 99 rows. Each iteration first restores the
// prepared exam (its rows and class records); BM_RestoreOnly measures that copy
// alone so it can be subtracted.
#include <benchmark/benchmark.h>

#include <cstring>

#include "store/exam_processing.h"
#include "store/score_tables.h"

namespace {

constexpr int kExam = 0;

Student_Record prepared_rows[kRowsPerExam];
Class_Record prepared_classes[kClassCount];

void fill_row(int row, float score, int class_no) {
  Student_Record& r = a[kExam][row];
  r.student_no = row;
  r.class_no = class_no;
  r.chinese = score;
  r.math = score;
  r.english = score;
}

void keep_prepared() {
  number_student = kMaxEntries;
  std::memcpy(prepared_rows, a[kExam], sizeof prepared_rows);
  std::memcpy(prepared_classes, b[kExam], sizeof prepared_classes);
}

void restore_prepared() {
  std::memcpy(a[kExam], prepared_rows, sizeof prepared_rows);
  std::memcpy(b[kExam], prepared_classes, sizeof prepared_classes);
}

// Rows 1..98 already in order; the new entry in row 99 belongs in the middle.
void prepare_usual() {
  for (int row = 1; row < kMaxEntries; ++row) fill_row(row, static_cast<float>(100 - row), row);
  fill_row(kMaxEntries, 50.5f, 42);
  keep_prepared();
}

// Rows in ascending order of total: every pass exchanges.
void prepare_worst() {
  for (int row = 1; row <= kMaxEntries; ++row) fill_row(row, static_cast<float>(row), row);
  keep_prepared();
}

void BM_RestoreOnly(benchmark::State& state) {
  prepare_usual();
  for (auto _ : state) {
    restore_prepared();
    benchmark::ClobberMemory();
  }
}

void BM_ProcessingUsual(benchmark::State& state) {
  prepare_usual();
  for (auto _ : state) {
    restore_prepared();
    Data_Processing(kExam);
    benchmark::ClobberMemory();
  }
}

void BM_ProcessingWorst(benchmark::State& state) {
  prepare_worst();
  for (auto _ : state) {
    restore_prepared();
    Data_Processing(kExam);
    benchmark::ClobberMemory();
  }
}

BENCHMARK(BM_RestoreOnly);
BENCHMARK(BM_ProcessingUsual);
BENCHMARK(BM_ProcessingWorst);

}  // namespace
