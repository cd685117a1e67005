// Student and class reports, as whole sessions through a pipe.
#include <gtest/gtest.h>

#include <string>

#include "case_names.h"
#include "expected_texts.h"
#include "program_runner.h"

using namespace expected;

namespace {

// Each input ends at the end of input, after the menu shown last.
using Report_Session = Session;

class Reports : public ::testing::TestWithParam<Report_Session> {};

TEST_P(Reports, OutputIsExact) {
  expect_clean_session(GetParam().input, GetParam().output + kMenu);
}

// One entry: exam, student number, name, class, scores.
std::string entry(int exam, int number, const std::string& name, int class_no,
                  const std::string& scores) {
  return "1\n" + std::to_string(exam) + "\n" + std::to_string(number) + "\n" + name + "\n" +
         std::to_string(class_no) + "\n" + scores + "\n";
}

std::string entries_output(int count) {
  std::string output;
  for (int i = 0; i < count; ++i) output += menu_key("1") + kEntryPrompts;
  return output;
}

INSTANTIATE_TEST_SUITE_P(
    Student, Reports,
    ::testing::Values(
        Report_Session{"blank report before any entry", "2 1 5\n",
                       student_query(student_report("", 1, 0, 0, 0, 0, 0))},
        Report_Session{"number no row holds", entry(1, 7, "Ann", 3, "80 90 70") + "2 1 8\n",
                       entries_output(1) + student_query(student_report("", 1, 0, 0, 0, 0, 0))},
        Report_Session{"ranks by total",
                       entry(1, 1, "Ann", 3, "80 90 70") + entry(1, 2, "Ben", 3, "80 90 80") +
                           "2 1 1\n2 1 2\n",
                       entries_output(2) +
                           student_query(student_report("Ann", 1, 80, 90, 70, 240, 2)) +
                           student_query(student_report("Ben", 1, 80, 90, 80, 250, 1))},
        Report_Session{
            "number entered twice reports the higher row",
            entry(0, 7, "Low", 1, "50 50 50") + entry(0, 7, "High", 1, "90 90 90") + "2 0 7\n",
            entries_output(2) + student_query(student_report("High", 0, 90, 90, 90, 270, 1))},
        Report_Session{
            "number 0 finds a ranked blank row",
            entry(0, 4, "Ann", 1, "50 50 50") + entry(1, 5, "Ben", 1, "60 60 60") + "2 1 0\n",
            entries_output(2) + student_query(student_report("", 1, 0, 0, 0, 0, 2))},
        Report_Session{
            "exam code printed as typed", entry(2, 9, "Ann", 1, "1.25 2 3") + "2 +2 +9\n",
            entries_output(1) + student_query(student_report("Ann", 2, 1.25, 2, 3, 6.25, 1))},
        Report_Session{
            "refused exam code and student number", "2 5\n-1 x\n3\nabc\n2147483648\n-4\n",
            menu_key("2") + kExam + kBadExam + kExam + kBadExam + kExam + kNumber + kUnreadable +
                kNumber + kUnreadable + kNumber + student_report("", 3, 0, 0, 0, 0, 0)}),
    readable_case_name{});

// Classes 3 (average total 250) and 5 (average total 240) in exam 1.
const std::string kTwoClasses =
    entry(1, 1, "Ann", 3, "80 90 80") + entry(1, 2, "Ben", 5, "80 80 80");

INSTANTIATE_TEST_SUITE_P(
    Class, Reports,
    ::testing::Values(
        Report_Session{"no entry yet", "3 1 7\n", class_query(class_report(7, 1, 0, 0, 0, 0))},
        Report_Session{"classes with entries lead", kTwoClasses + "3 1 3\n3 1 5\n",
                       entries_output(2) + class_query(class_report(3, 1, 80, 90, 80, 1)) +
                           class_query(class_report(5, 1, 80, 80, 80, 2))},
        Report_Session{"empty classes follow in ascending number",
                       kTwoClasses + "3 1 1\n3 1 2\n3 1 99\n",
                       entries_output(2) + class_query(class_report(1, 1, 0, 0, 0, 3)) +
                           class_query(class_report(2, 1, 0, 0, 0, 4)) +
                           class_query(class_report(99, 1, 0, 0, 0, 99))},
        Report_Session{"classes 0 and 100 to 119 are not ranked",
                       kTwoClasses + entry(1, 3, "Cy", 0, "90 90 90") + "3 1 0\n3 1 100\n3 1 119\n",
                       entries_output(3) + class_query(class_report(0, 1, 90, 90, 90, 0)) +
                           class_query(class_report(100, 1, 0, 0, 0, 0)) +
                           class_query(class_report(119, 1, 0, 0, 0, 0))},
        Report_Session{"other exams are apart", kTwoClasses + "3 2 3\n",
                       entries_output(2) + class_query(class_report(3, 2, 0, 0, 0, 0))},
        Report_Session{
            "averages over several entries",
            entry(4, 1, "Ann", 8, "80 60 71") + entry(4, 2, "Ben", 8, "71 61 70") + "3 4 8\n",
            entries_output(2) + class_query(class_report(8, 4, 75.5, 60.5, 70.5, 1))},
        Report_Session{"refused class numbers", "3 1 120\n-1\nx\n7\n",
                       menu_key("3") + kExam + kQueryClass + kBadClass + kQueryClass + kBadClass +
                           kQueryClass + kUnreadable + kQueryClass +
                           class_report(7, 1, 0, 0, 0, 0)}),
    readable_case_name{});

}  // namespace
