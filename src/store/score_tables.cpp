#include "store/score_tables.h"

Student_Record a[kExamCount][kRowsPerExam];
Class_Record b[kExamCount][kClassCount];
std::int32_t number_student;
