// The Windows side of the console's encoding: the code pages name it, and
// the system's own tables convert the texts.
#include <windows.h>

#include <string>
#include <string_view>

#include "console/platform/platform.h"
#include "console/platform/windows/console.h"

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

bool has_man_pages() { return false; }
