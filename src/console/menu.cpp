#include "console/menu.h"

#include <cstdint>

#include "console/answers.h"
#include "console/command_line.h"
#include "console/input_source.h"
#include "console/output.h"
#include "console/program.h"
#include "console/read_key.h"
#include "console/reports.h"
#include "console/texts.h"
#include "store/exam_processing.h"
#include "store/score_tables.h"

namespace {

// The fields of one entry after its exam code, each read as it comes. False
// once input has ended.
bool ask_entry_fields(Student_Record& row) {
  return ask_int(Text::kAskStudentNo, row.student_no) && ask_name(Text::kAskName, row.name) &&
         ask_int(Text::kAskClassNo, row.class_no, kClassNumbers) &&
         ask_score(Text::kAskChinese, row.chinese) && ask_score(Text::kAskMath, row.math) &&
         ask_score(Text::kAskEnglish, row.english);
}

// Item 1. False once input has ended or the entry was given up: the tables
// take an entry only once all its answers are in. With every row taken, the
// entry is asked and read as usual, then dropped, so that a script or a paste
// stays in step: none of its answers is ever taken as a menu key.
bool enter_student() {
  std::int32_t exam = 0;
  Student_Record entry{};
  if (!ask_int(Text::kAskExamCode, exam, kExamCodes) || !ask_entry_fields(entry)) return false;
  if (number_student >= kMaxEntries) {
    put_text(text(Text::kTableFull));
    return true;
  }
  ++number_student;
  a[exam][number_student] = entry;
  Data_Processing(exam);
  return true;
}

enum class Item_End { kMenuAgain, kAnswersRead, kInputEnded };

Item_End answered(bool complete) {
  if (complete) return Item_End::kAnswersRead;
  return item_given_up() ? Item_End::kMenuAgain : Item_End::kInputEnded;
}

// Items 1 to 4, and any key that is none.
Item_End carry_out(int key) {
  switch (key) {
    case '1': return answered(enter_student());
    case '2': return answered(query_student());
    case '3': return answered(query_class());
    case '4': put_text(text(Text::kNotYetAvailable)); break;
    default: break;
  }
  return Item_End::kMenuAgain;
}

}  // namespace

bool run_menu() {
  for (;;) {
    put_dialogue(text(Text::kMenu));
    put_dialogue(text(Text::kMenuPrompt));
    const int key = read_key();
    if (key == kEndOfInput) return false;
    put_dialogue("\n");
    if (give_up_header_row()) continue;
    if (key == '5') return true;
    const Item_End end = carry_out(key);
    if (end == Item_End::kInputEnded) return false;
    end_item(end == Item_End::kAnswersRead);
  }
}

namespace {

// "FILE：已录入N条，M行有误。"
void put_file_summary(const char* name, std::size_t entries, std::size_t rows_given_up) {
  put_text(name);
  put_text(text(Text::kFileNameEnd));
  put_text(text(Text::kFileEntries));
  put_number(entries);
  put_text(text(Text::kFileRowsGivenUp));
  put_number(rows_given_up);
  put_text(text(Text::kFileSummaryEnd));
}

}  // namespace

void Data_Reception() {
  start_program();
  for (const Input_File& file : files_given()) {
    input_reset(&file);
    const int entries_before = number_student;
    show_dialogue(false);
    const bool closed = run_menu();
    show_dialogue(true);
    if (closed) finish_program();
    put_file_summary(file.name, static_cast<std::size_t>(number_student - entries_before),
                     rows_given_up_here());
  }
  input_reset();
  run_menu();
  finish_program();
}
