// Every text the program shows, kept once, and the console encoding they are
// written in.
#pragma once

#include <string_view>

#include "console/terminal/console_encoding.h"

enum class Text {
  kMenu,        // the frame and the items
  kMenuPrompt,  // the line after them, shown again when the program resumes
  kNotYetAvailable,
  kAskExamCode,
  kAskStudentNo,
  kAskName,
  kAskClassNo,
  kAskChinese,
  kAskMath,
  kAskEnglish,
  kAskQueryClass,
  kUnreadableNumber,
  kExamCodeOutOfRange,
  kClassNoOutOfRange,
  kNameTooLong,
  kTableFull,
  // What became of a line, after the words that name it: "第" and its number
  // and "行" in a script, "本行" where a person typed it. A row with a bad or
  // missing cell is given up whole; what is left of a row, or at a terminal
  // of an item's last line, is dropped.
  kScriptLineStart,
  kScriptLineEnd,
  kThisLine,
  kRowGivenUp,
  kLeftoverDropped,
  // A file named on the command line: "：" after its name, and the line after
  // it has been read: its entries, then the rows given up.
  kFileNameEnd,
  kFileEntries,
  kFileRowsGivenUp,
  kFileSummaryEnd,
  // The labels of the student report, each before its value: the name comes
  // first, then the exam code, the three scores, the total, the rank and the
  // change.
  kStudentExamLabel,
  kStudentChineseLabel,
  kStudentMathLabel,
  kStudentEnglishLabel,
  kStudentTotalLabel,
  kStudentRankLabel,
  kStudentChangeLabel,
  // The labels of the class report: the class number first, then the exam
  // code, the three averages and the rank.
  kClassExamLabel,
  kClassChineseLabel,
  kClassMathLabel,
  kClassEnglishLabel,
  kClassRankLabel,
  // The command line: what --help shows (and where the manual is, where man
  // reads it), the usage line, and the refusal of an argument, before its name.
  kHelp,
  kHelpManual,
  kUsage,
  kUnknownArgument,
  kCount  // not a text: the number of them
};

// Prepares the texts in the given encoding; until then they are UTF-8. False,
// the texts left UTF-8, where the system cannot convert them to it.
bool use_console_encoding(Console_Encoding encoding);

// The encoding the texts are in now, also the one typed text is read in.
Console_Encoding console_encoding_in_use();

std::string_view text(Text id);
