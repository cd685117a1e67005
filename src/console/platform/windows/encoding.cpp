// The Windows side of the console's encoding: the code pages name it, and
// the system's own tables convert the texts.
#include <windows.h>

#include <algorithm>
#include <string>
#include <string_view>

#include "console/platform/platform.h"
#include "console/platform/windows/console.h"

namespace {

// Units without a surrogate out of its pair, in UTF-8 by the system.
void append_utf8(std::string& utf8, std::wstring_view units) {
  if (units.empty()) return;
  const int size = static_cast<int>(units.size());
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, units.data(), size, nullptr, 0, nullptr, nullptr);
  const std::size_t at = utf8.size();
  utf8.resize(at + static_cast<std::size_t>(std::max(length, 0)));
  WideCharToMultiByte(CP_UTF8, 0, units.data(), size, utf8.data() + at, length, nullptr, nullptr);
}

}  // namespace

Console_Encoding choose_console_encoding(bool output_is_console) {
  // The console shows its output code page; redirected output is read later
  // by programs that take the system's ANSI code page.
  const UINT code_page = output_is_console ? GetConsoleOutputCP() : GetACP();
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

std::size_t convert_from_utf16(std::string_view utf16, bool big_endian, std::string& utf8) {
  std::wstring units;
  const std::size_t high_byte = big_endian ? 0 : 1;
  for (std::size_t at = 0; at + 1 < utf16.size(); at += 2) {
    const auto high = static_cast<unsigned char>(utf16[at + high_byte]);
    const auto low = static_cast<unsigned char>(utf16[at + 1 - high_byte]);
    units += static_cast<wchar_t>(high << 8 | low);
  }
  // A high surrogate at the end may find its pair in the next read.
  if (!units.empty() && IS_HIGH_SURROGATE(units.back())) units.pop_back();
  utf8.clear();
  std::size_t run = 0;  // the first unit not converted yet
  for (std::size_t at = 0; at < units.size(); ++at) {
    if (at + 1 < units.size() && IS_SURROGATE_PAIR(units[at], units[at + 1])) {
      ++at;
    } else if (IS_HIGH_SURROGATE(units[at]) || IS_LOW_SURROGATE(units[at])) {
      append_utf8(utf8, {units.data() + run, at - run});
      utf8 += '\xFF';  // no pair: a byte no answer takes
      run = at + 1;
    }
  }
  append_utf8(utf8, {units.data() + run, units.size() - run});
  return units.size() * 2;
}

bool has_man_pages() { return false; }
