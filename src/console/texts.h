// Every text the program shows, kept once, and the console encoding they are
// written in (GBK on a Chinese GBK console, UTF-8 elsewhere).
#pragma once

#include <string_view>

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
  kStudentReport,  // printf format: name, exam, chinese, math, english, total, rank, change
  kClassReport,    // printf format: class, exam, chinese, math, english averages, rank
  kCount
};

enum class Console_Encoding { kUtf8, kGbk };

// GBK, GB2312, GB18030, CP936 and EUC-CN, in any case, with or without '-'
// or '_'.
bool is_gbk_codeset(std::string_view codeset);

// The console's encoding as the locale environment (LC_ALL, LC_CTYPE, LANG)
// names it.
Console_Encoding console_encoding_from_locale();

// Prepares the texts in the given encoding; until then they are UTF-8.
void use_console_encoding(Console_Encoding encoding);

// The encoding the texts are in now, which is also the one typed text is read in.
Console_Encoding console_encoding_in_use();

const char* text(Text id);
