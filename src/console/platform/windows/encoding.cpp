// The Windows side of the console's encoding: the code pages name it, and
// the system's own tables convert the texts.
#include <windows.h>

#include <string>

#include "console/platform/platform.h"
#include "console/platform/windows/console.h"

Console_Encoding choose_console_encoding() {
  // The console shows its output code page; redirected output is read later
  // by programs that take the system's ANSI code page.
  const UINT code_page = is_console(STD_OUTPUT_HANDLE) ? GetConsoleOutputCP() : GetACP();
  return code_page == kChineseCodePage ? Console_Encoding::kGbk : Console_Encoding::kUtf8;
}

// A console is never GB18030 here: both are code page 936.
bool convert_from_utf8(std::string_view utf8, Console_Encoding, std::string& gbk) {
  if (utf8.empty()) {
    gbk.clear();
    return true;
  }
  const int utf8_size = static_cast<int>(utf8.size());
  const int wide_size =
      MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), utf8_size, nullptr, 0);
  if (wide_size <= 0) return false;
  std::wstring wide(static_cast<std::size_t>(wide_size), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), utf8_size, wide.data(),
                      wide_size);
  BOOL lost = FALSE;
  const int gbk_size = WideCharToMultiByte(kChineseCodePage, WC_NO_BEST_FIT_CHARS, wide.data(),
                                           wide_size, nullptr, 0, nullptr, &lost);
  if (gbk_size <= 0 || lost) return false;
  gbk.assign(static_cast<std::size_t>(gbk_size), '\0');
  WideCharToMultiByte(kChineseCodePage, WC_NO_BEST_FIT_CHARS, wide.data(), wide_size, gbk.data(),
                      gbk_size, nullptr, &lost);
  return !lost;
}

bool has_man_pages() { return false; }
