#include "console/script_text.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include "console/platform/platform.h"
#include "console/terminal/characters.h"

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LittleMark = "\xFF\xFE";
constexpr std::string_view kUtf16BigMark = "\xFE\xFF";
constexpr std::string_view kMarks[] = {kUtf8Mark, kUtf16LittleMark, kUtf16BigMark};
constexpr char kUnreadable = '\xFF';  // no byte of UTF-8
constexpr std::size_t kUtf16Bytes = std::size_t{32} * 1024;

enum class Form { kStart, kBytes, kUtf16Little, kUtf16Big };

Form form = Form::kStart;
Console_Encoding text_encoding = Console_Encoding::kUtf8;
bool decided = true;
// UTF-16 read and not converted yet: a unit or a pair that a read cut.
char utf16[kUtf16Bytes];
std::size_t utf16_length = 0;

// Whether `first`, all that has come, may still grow into a mark.
bool may_become_a_mark(std::string_view first) {
  return std::any_of(std::begin(kMarks), std::end(kMarks), [&](std::string_view mark) {
    return first.size() < mark.size() && mark.starts_with(first);
  });
}

std::ptrdiff_t read_utf16(char* into, std::size_t size) {
  const std::size_t most = std::min(kUtf16Bytes, size / 3 * 2);  // 2 bytes give at most 3
  for (;;) {
    std::string utf8;
    const std::size_t used =
        convert_from_utf16({utf16, std::min(utf16_length, most)}, form == Form::kUtf16Big, utf8);
    utf16_length -= used;
    std::memmove(utf16, utf16 + used, utf16_length);
    if (!utf8.empty()) {
      std::memcpy(into, utf8.data(), utf8.size());
      return static_cast<std::ptrdiff_t>(utf8.size());
    }
    const std::ptrdiff_t got =
        read_standard_input(utf16 + utf16_length, kUtf16Bytes - utf16_length);
    if (got < 0 || (got == 0 && utf16_length == 0)) return got;
    if (got == 0) {  // cut short by the end
      utf16_length = 0;
      into[0] = kUnreadable;
      return 1;
    }
    utf16_length += static_cast<std::size_t>(got);
  }
}

// What a mark at the start of the `length` bytes at `into` says; the bytes
// left for the reader once it is taken.
std::size_t take_mark(char* into, std::size_t length) {
  const std::string_view first(into, length);
  form = Form::kBytes;
  if (first.starts_with(kUtf16LittleMark) || first.starts_with(kUtf16BigMark)) {
    form = first.starts_with(kUtf16BigMark) ? Form::kUtf16Big : Form::kUtf16Little;
    utf16_length = length - 2;
    std::memcpy(utf16, into + 2, utf16_length);
    length = 0;
  } else if (first.starts_with(kUtf8Mark)) {
    length -= kUtf8Mark.size();
    std::memmove(into, into + kUtf8Mark.size(), length);
  } else {
    return length;
  }
  text_encoding = Console_Encoding::kUtf8;
  decided = true;
  return length;
}

// The first bytes, as many as it takes to tell a mark.
std::ptrdiff_t read_first(char* into, std::size_t size) {
  std::size_t length = 0;
  do {
    const std::ptrdiff_t got = read_standard_input(into + length, size - length);
    if (got < 0) return got;
    if (got == 0) break;
    length += static_cast<std::size_t>(got);
  } while (may_become_a_mark({into, length}));
  const bool had_bytes = length > 0;
  length = take_mark(into, length);
  if (length > 0 || !had_bytes) return static_cast<std::ptrdiff_t>(length);
  return read_script(into, size);  // a mark alone, so far
}

// The line of the first byte of 0x80 or more decides; the bytes before it are
// ASCII, which decides nothing. The rest of that line is read first.
std::size_t decide_by_first_line(char* into, std::size_t length, std::size_t size) {
  const char* const high = std::find_if(
      into, into + length, [](char byte) { return static_cast<unsigned char>(byte) >= 0x80; });
  if (high == into + length) return length;
  decided = true;
  const std::size_t from = static_cast<std::size_t>(high - into);
  while (std::memchr(into + from, '\n', length - from) == nullptr && length < size) {
    const std::ptrdiff_t got = read_standard_input(into + length, size - length);
    if (got <= 0) break;  // the next read meets the same end
    length += static_cast<std::size_t>(got);
  }
  const std::string_view rest(into + from, length - from);
  if (reads_as_utf8_chinese(rest.substr(0, rest.find('\n')))) {
    text_encoding = Console_Encoding::kUtf8;
  }
  return length;
}

}  // namespace

void start_script(Console_Encoding console) {
  form = Form::kStart;
  text_encoding = console;
  decided = console == Console_Encoding::kUtf8;
  utf16_length = 0;
}

std::ptrdiff_t read_script(char* into, std::size_t size) {
  if (form == Form::kUtf16Little || form == Form::kUtf16Big) return read_utf16(into, size);
  const std::ptrdiff_t got =
      form == Form::kStart ? read_first(into, size) : read_standard_input(into, size);
  if (got <= 0 || decided) return got;
  return static_cast<std::ptrdiff_t>(
      decide_by_first_line(into, static_cast<std::size_t>(got), size));
}

Console_Encoding script_encoding() { return text_encoding; }
