// Menu items 2 and 3: the query dialogues and the reports. Reports only read
// the tables.
#pragma once

#include <cstdint>

// Prints the report of the highest-placed row of `exam` with this student
// number, or of blank row 0 where none has it.
void Data_Search_A(int exam, int student_no);

// Prints the averages of a class and its place in the exam's class order.
void Data_Search_B(int exam, int class_no);

// The dialogues read into the menu loop's own variables, which keep their last
// values. Each returns false once input has ended.
bool query_student(std::int32_t& exam, std::int32_t& student_no);
bool query_class(std::int32_t& exam, std::int32_t& class_no);
