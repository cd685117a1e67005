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

// A console is never GB18030 here (both are code page 936), but a script may be.
bool convert_text(std::string_view text, Console_Encoding from, Console_Encoding to,
                  std::string& converted) {
  converted.clear();
  if (text.empty()) return true;
  // Where the system has no GB18030 (wine), its GBK part.
  const auto code_page = [](Console_Encoding encoding) -> UINT {
    if (encoding == Console_Encoding::kUtf8) return CP_UTF8;
    const bool gb18030 =
        encoding == Console_Encoding::kGb18030 && IsValidCodePage(kGb18030CodePage) != 0;
    return gb18030 ? kGb18030CodePage : kChineseCodePage;
  };
  const int text_size = static_cast<int>(text.size());
  const UINT from_page = code_page(from);
  const int wide_size =
      MultiByteToWideChar(from_page, MB_ERR_INVALID_CHARS, text.data(), text_size, nullptr, 0);
  if (wide_size <= 0) return false;
  std::wstring wide(static_cast<std::size_t>(wide_size), L'\0');
  MultiByteToWideChar(from_page, MB_ERR_INVALID_CHARS, text.data(), text_size, wide.data(),
                      wide_size);
  // UTF-8 and GB18030 hold every character, and take no flags; GBK says when
  // one had no form.
  const UINT to_page = code_page(to);
  const bool may_lose = to_page == kChineseCodePage;
  const DWORD flags = may_lose ? WC_NO_BEST_FIT_CHARS : 0;
  BOOL lost = FALSE;
  BOOL* const lost_or_null = may_lose ? &lost : nullptr;
  const int size = WideCharToMultiByte(to_page, flags, wide.data(), wide_size, nullptr, 0, nullptr,
                                       lost_or_null);
  if (size <= 0 || lost) return false;
  converted.assign(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(to_page, flags, wide.data(), wide_size, converted.data(), size, nullptr,
                      lost_or_null);
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
