// Menu items 2 and 3: the query dialogues and the reports. Reports only read
// the tables.
#pragma once

// Each asks for an exam code and a student or class number, then prints its
// report; false once input has ended.
bool query_student();
bool query_class();
