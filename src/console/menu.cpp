#include "console/menu.h"

#include <cstdint>

#include "console/input.h"
#include "console/output.h"
#include "console/program.h"
#include "console/read_key.h"
#include "console/reports.h"
#include "console/texts.h"
#include "store/exam_processing.h"
#include "store/score_tables.h"

namespace {

// The loop's variables, kept from one item to the next.
struct Menu_State {
  std::int32_t exam = 0;
  std::int32_t student_no = 0;  // item 2
  std::int32_t class_no = 0;    // item 3
};

// The fields of one entry after its exam code, each read as it comes. False
// once input has ended.
bool ask_entry_fields(Student_Record& row) {
  return ask_int(Text::kAskStudentNo, row.student_no) && ask_name(Text::kAskName, row.name) &&
         ask_int(Text::kAskClassNo, row.class_no, kClassNumbers) &&
         ask_score(Text::kAskChinese, row.chinese) && ask_score(Text::kAskMath, row.math) &&
         ask_score(Text::kAskEnglish, row.english);
}

// Item 1 with every row taken. The entry is asked and read as usual, then
// dropped, so that a script or a paste stays in step: none of its answers is
// ever taken as a menu key. False once input has ended.
bool refuse_entry() {
  std::int32_t exam = 0;
  Student_Record dropped{};
  if (!ask_int(Text::kAskExamCode, exam, kExamCodes) || !ask_entry_fields(dropped)) return false;
  put_text(text(Text::kTableFull));
  return true;
}

// Item 1. False once input has ended.
bool enter_student(std::int32_t& exam) {
  if (number_student >= kMaxEntries) return refuse_entry();
  if (!ask_int(Text::kAskExamCode, exam, kExamCodes)) return false;
  ++number_student;
  const bool complete = ask_entry_fields(a[exam][number_student]);
  if (complete) Data_Processing(exam);
  return complete;
}

}  // namespace

void test_seams::run_menu() {
  Menu_State state;
  for (;;) {
    put_text(text(Text::kMenu));
    put_text(text(Text::kMenuPrompt));
    const int key = read_key();
    if (key == kEndOfInput) return;
    put_char('\n');
    bool input_goes_on = true;
    bool answers_read = true;
    switch (key) {
      case '1':
        input_goes_on = enter_student(state.exam);
        break;
      case '2':
        input_goes_on = query_student(state.exam, state.student_no);
        break;
      case '3':
        input_goes_on = query_class(state.exam, state.class_no);
        break;
      case '4':
        put_text(text(Text::kNotYetAvailable));
        answers_read = false;
        break;
      case '5':
        return;
      default:
        answers_read = false;
        break;
    }
    if (!input_goes_on) return;
    if (answers_read && drop_rest_of_answer_line()) put_text(text(Text::kLeftoverDropped));
  }
}

void Data_Reception() {
  start_program();
  input_reset();
  test_seams::run_menu();
  finish_program();
}
