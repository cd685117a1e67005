#include "store/exam_processing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "case_names.h"
#include "score_tables_helpers.h"
#include "store/score_tables.h"

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

class ExamProcessing : public ::testing::Test {
 protected:
  void SetUp() override { clear_score_tables(); }
};

std::vector<int> student_numbers_in_rows(int exam) {
  std::vector<int> numbers;
  for (int row = 1; row <= number_student; ++row) numbers.push_back(a[exam][row].student_no);
  return numbers;
}

std::vector<int> ranks_in_rows(int exam) {
  std::vector<int> ranks;
  for (int row = 1; row <= number_student; ++row) ranks.push_back(a[exam][row].rank);
  return ranks;
}

std::vector<int> class_order(int exam) {
  std::vector<int> order;
  for (int slot = kFirstRankedClass; slot <= kLastRankedClass; ++slot)
    order.push_back(b[exam][slot].order);
  return order;
}

// Classes 1..99 in ascending order with the given classes moved to the front.
std::vector<int> order_with_leaders(const std::vector<int>& leaders) {
  std::vector<int> order = leaders;
  for (int c = kFirstRankedClass; c <= kLastRankedClass; ++c) {
    bool leads = false;
    for (int leader : leaders) leads = leads || leader == c;
    if (!leads) order.push_back(c);
  }
  return order;
}

struct OrderCase {
  const char* what;
  std::vector<Entry> entries;
  int exam;
  std::vector<int> expected_rows;  // student numbers of rows 1..n, 0 for blank rows
};

// Each case starts from empty tables.
template <class Case>
class FromEmptyTables : public ::testing::TestWithParam<Case> {
 protected:
  void SetUp() override { clear_score_tables(); }
};

using StudentOrder = FromEmptyTables<OrderCase>;

TEST_P(StudentOrder, RowsAreSortedByTotalAndRankedInRowOrder) {
  const OrderCase& c = GetParam();
  for (const Entry& e : c.entries) enter(e);
  EXPECT_EQ(student_numbers_in_rows(c.exam), c.expected_rows);
  std::vector<int> expected_ranks;
  for (int row = 1; row <= number_student; ++row) expected_ranks.push_back(row);
  EXPECT_EQ(ranks_in_rows(c.exam), expected_ranks);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StudentOrder,
    ::testing::Values(
        OrderCase{"descending totals",
                  {{0, 1, 1, 30, 30, 40}, {0, 2, 1, 100, 100, 100}, {0, 3, 1, 70, 70, 60}},
                  0,
                  {2, 3, 1}},
        OrderCase{"equal totals keep entry order",
                  {{0, 1, 1, 80, 80, 80}, {0, 2, 1, 90, 70, 80}, {0, 3, 1, 70, 90, 80}},
                  0,
                  {1, 2, 3}},
        OrderCase{"zero total stays below blank rows",
                  {{0, 1, 1, 50, 50, 50}, {1, 2, 1, 50, 50, 50}, {0, 3, 1, 0, 0, 0}},
                  0,
                  {1, 0, 3}},
        OrderCase{"negative total sinks below blank rows",
                  {{0, 1, 1, -5, 0, 0}, {1, 2, 1, 50, 50, 50}, {0, 3, 1, 10, 10, 10}},
                  0,
                  {3, 0, 1}},
        OrderCase{"first entry of an exam after others moves to row 1",
                  {{1, 1, 1, 60, 60, 60},
                   {1, 2, 1, 60, 60, 60},
                   {1, 3, 1, 60, 60, 60},
                   {2, 4, 1, 60, 60, 60}},
                  2,
                  {4, 0, 0, 0}},
        OrderCase{"same student number twice gives two ranked rows",
                  {{0, 7, 1, 50, 50, 50}, {0, 7, 1, 90, 90, 90}},
                  0,
                  {7, 7}}),
    readable_case_name{});

TEST_F(ExamProcessing, EntriesLandInTheRowOfTheRunCounter) {
  enter({1, 11, 1, 70, 70, 70});
  enter({2, 22, 1, 70, 70, 70});
  enter({1, 33, 1, 80, 80, 80});

  EXPECT_EQ(a[1][1].student_no, 33);
  EXPECT_EQ(a[1][2].student_no, 11);
  EXPECT_EQ(a[1][3].student_no, 0);
  EXPECT_EQ(a[1][3].rank, 3);
  EXPECT_EQ(a[2][1].student_no, 22);
  EXPECT_EQ(a[2][2].rank, 2);
  // Row 3 of exam 2 came with an entry into exam 1: untouched until exam 2's next entry.
  EXPECT_EQ(a[2][3].rank, 0);
  EXPECT_EQ(a[1][0].rank, 0);
  for (const auto& exam : a)
    for (const Student_Record& row : exam) EXPECT_EQ(row.change, 0.0f);
}

TEST_F(ExamProcessing, ClassStatisticsOfOneEntry) {
  enter({1, 5, 7, 80, 90, 70});
  const Class_Record& r = b[1][7];
  EXPECT_EQ(r.count, 1);
  EXPECT_EQ(r.chinese_avg, 80.0f);
  EXPECT_EQ(r.math_avg, 90.0f);
  EXPECT_EQ(r.english_avg, 70.0f);
  EXPECT_EQ(r.avg_total, 240.0f);
  EXPECT_EQ(class_order(1), order_with_leaders({7}));
  EXPECT_EQ(class_order(0), std::vector<int>(kLastRankedClass, 0));
}

TEST_F(ExamProcessing, ClassAveragesOverSeveralEntries) {
  enter({0, 1, 4, 80, 60, 71});
  enter({0, 2, 4, 70, 61, 70});
  enter({0, 3, 4, 60, 60, 70});
  const Class_Record& r = b[0][4];
  EXPECT_EQ(r.count, 3);
  EXPECT_EQ(r.chinese_sum, 210.0f);
  EXPECT_EQ(r.math_sum, 181.0f);
  EXPECT_EQ(r.english_sum, 211.0f);
  EXPECT_EQ(r.chinese_avg, 70.0f);
  EXPECT_EQ(r.math_avg, static_cast<float>(181.0 / 3));
  EXPECT_EQ(r.english_avg, static_cast<float>(211.0 / 3));
  EXPECT_EQ(r.avg_total, static_cast<float>(70.0 + static_cast<double>(r.math_avg) +
                                            static_cast<double>(r.english_avg)));
}

struct ClassOrderCase {
  const char* what;
  std::vector<Entry> entries;
  std::vector<int> leaders;   // classes ahead of the empty ones
  std::vector<int> trailers;  // classes behind the empty ones
};

using ClassOrder = FromEmptyTables<ClassOrderCase>;

TEST_P(ClassOrder, ListIsRebuiltByAverageTotal) {
  const ClassOrderCase& c = GetParam();
  for (const Entry& e : c.entries) enter(e);
  std::vector<int> expected = order_with_leaders(c.leaders);
  for (int trailer : c.trailers) {
    std::erase(expected, trailer);
    expected.push_back(trailer);
  }
  EXPECT_EQ(class_order(0), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ClassOrder,
    ::testing::Values(ClassOrderCase{"higher average total first",
                                     {{0, 1, 5, 80, 80, 80}, {0, 2, 3, 80, 90, 80}},
                                     {3, 5},
                                     {}},
                      ClassOrderCase{"ties in ascending class number",
                                     {{0, 1, 9, 80, 80, 80}, {0, 2, 3, 80, 80, 80}},
                                     {3, 9},
                                     {}},
                      ClassOrderCase{
                          "classes 0 and 100 to 119 never listed",
                          {{0, 1, 0, 99, 99, 99}, {0, 2, 100, 99, 99, 99}, {0, 3, 119, 99, 99, 99}},
                          {},
                          {}},
                      ClassOrderCase{"negative average below empty classes",
                                     {{0, 1, 4, -10, 0, 0}, {0, 2, 8, 10, 10, 10}},
                                     {8},
                                     {4}}),
    readable_case_name{});

TEST_F(ExamProcessing, UnlistedClassesStillGetStatistics) {
  enter({0, 1, 0, 60, 60, 60});
  enter({0, 2, 119, 90, 90, 90});
  EXPECT_EQ(b[0][0].count, 1);
  EXPECT_EQ(b[0][0].avg_total, 180.0f);
  EXPECT_EQ(b[0][119].count, 1);
  EXPECT_EQ(b[0][119].avg_total, 270.0f);
}

TEST_F(ExamProcessing, TotalIsSummedInDoubleAndRoundedOnce) {
  // In float, 2^24 + 1 rounds back to 2^24 twice; in double the sum is exact.
  enter({0, 1, 1, 16777216.0f, 1.0f, 1.0f});
  EXPECT_EQ(a[0][1].total, 16777218.0f);
}

TEST_F(ExamProcessing, HugeScoresOverflowToInfinity) {
  constexpr float kMax = std::numeric_limits<float>::max();
  enter({0, 1, 1, kMax, kMax, kMax});
  enter({0, 2, 1, -kMax, -kMax, -kMax});
  EXPECT_EQ(a[0][1].total, std::numeric_limits<float>::infinity());
  EXPECT_EQ(a[0][2].total, -std::numeric_limits<float>::infinity());
  EXPECT_EQ(b[0][1].chinese_sum, 0.0f);
  EXPECT_EQ(b[0][1].avg_total, 0.0f);
}

TEST(RoundToStored, RoundsAtTheEdgeOfTheFloatRange) {
  constexpr float kMax = std::numeric_limits<float>::max();
  constexpr float kInf = std::numeric_limits<float>::infinity();
  EXPECT_EQ(round_to_stored(0x1.fffffefffp127), kMax);
  EXPECT_EQ(round_to_stored(0x1.ffffffp127), kInf);
  EXPECT_EQ(round_to_stored(-0x1.ffffffp127), -kInf);
  EXPECT_EQ(round_to_stored(1e300), kInf);
  EXPECT_TRUE(std::isnan(round_to_stored(std::nan(""))));
}

TEST_F(ExamProcessing, NaNTotalNeverExchanges) {
  enter({0, 1, 1, 30, 30, 40});
  enter({0, 2, 2, kNaN, 0, 0});
  enter({0, 3, 3, 100, 100, 100});
  // The NaN row blocks every exchange across it; rows keep their places.
  EXPECT_EQ(student_numbers_in_rows(0), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(ranks_in_rows(0), (std::vector<int>{1, 2, 3}));
  // Class 2's NaN average neither moves nor lets class 3 pass it.
  EXPECT_EQ(class_order(0), order_with_leaders({}));
}

struct RefusedCall {
  const char* what;
  int exam;
  int counter;
  int class_no;
};

using RefusedProcessing = FromEmptyTables<RefusedCall>;

TEST_P(RefusedProcessing, ChangesNothingOutsideTheTables) {
  enter({0, 1, 1, 50, 50, 50});
  const RefusedCall& call = GetParam();
  number_student = call.counter;
  if (call.counter >= 0 && call.counter < kRowsPerExam && is_exam_code(call.exam))
    a[call.exam][call.counter].class_no = call.class_no;
  static Student_Record a_before[kExamCount][kRowsPerExam];
  static Class_Record b_before[kExamCount][kClassCount];
  std::memcpy(a_before, a, sizeof a);
  std::memcpy(b_before, b, sizeof b);
  Data_Processing(call.exam);
  EXPECT_EQ(std::memcmp(a_before, a, sizeof a), 0);
  EXPECT_EQ(std::memcmp(b_before, b, sizeof b), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedProcessing,
    ::testing::Values(RefusedCall{"exam -1", -1, 1, 1}, RefusedCall{"exam 5", 5, 1, 1},
                      RefusedCall{"counter 0", 0, 0, 1}, RefusedCall{"counter 100", 0, 100, 1},
                      RefusedCall{"counter negative", 0, -3, 1}, RefusedCall{"class -1", 0, 1, -1},
                      RefusedCall{"class 120", 0, 1, 120}),
    readable_case_name{});

}  // namespace
