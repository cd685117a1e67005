#include "console/script_text.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "console/platform/platform.h"
#include "console/program.h"
#include "console/terminal/characters.h"

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LittleMark = "\xFF\xFE";
constexpr std::string_view kUtf16BigMark = "\xFE\xFF";
constexpr std::string_view kMarks[] = {kUtf8Mark, kUtf16LittleMark, kUtf16BigMark};
// A zip file (.xlsx, .ods) and a compound document (.xls, .et).
constexpr std::string_view kWorkbookSignatures[] = {std::string_view("PK\x03\x04", 4),
                                                    "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"};
constexpr char kUnreadable = '\xFF';  // no byte of UTF-8
constexpr std::size_t kUtf16Bytes = std::size_t{32} * 1024;
constexpr std::size_t kHeldBytes = 4096;

enum class Form { kStart, kBytes, kUtf16Little, kUtf16Big };

int source = kStandardInput;
const char* source_name = nullptr;
Script_Opening given_opening;
bool opening_given = false;
Form form = Form::kStart;
Console_Encoding text_encoding = Console_Encoding::kUtf8;
bool decided = true;
// UTF-16 read and not converted yet: a unit or a pair that a read cut.
char utf16[kUtf16Bytes];
std::size_t utf16_length = 0;
// Read beyond the room of a read to see the deciding line whole; given out
// before anything read later.
char held[kHeldBytes];
std::size_t held_length = 0;
std::size_t held_given = 0;

// Whether `first`, all that has come, may still grow into one of `patterns`.
template <std::size_t kCount>
bool may_grow_into(std::string_view first, const std::string_view (&patterns)[kCount]) {
  return std::any_of(std::begin(patterns), std::end(patterns), [&](std::string_view pattern) {
    return first.size() < pattern.size() && pattern.starts_with(first);
  });
}

void append_utf8(std::string& utf8, std::uint32_t code_point) {
  static constexpr unsigned char kLeads[] = {0x00, 0xC0, 0xE0, 0xF0};
  const int continuations = code_point < 0x80      ? 0
                            : code_point < 0x800   ? 1
                            : code_point < 0x10000 ? 2
                                                   : 3;
  utf8 += static_cast<char>(kLeads[continuations] | code_point >> (6 * continuations));
  for (int shift = 6 * (continuations - 1); shift >= 0; shift -= 6) {
    utf8 += static_cast<char>(0x80 | (code_point >> shift & 0x3F));
  }
}

// UTF-16 in UTF-8: the bytes of `bytes` taken, all but a unit or a pair cut
// short at their end. A surrogate without its pair becomes kUnreadable.
std::size_t utf8_from_utf16(std::string_view bytes, bool big_endian, std::string& utf8) {
  const auto unit_at = [&](std::size_t at) {
    const auto first = static_cast<unsigned char>(bytes[at]);
    const auto second = static_cast<unsigned char>(bytes[at + 1]);
    return big_endian ? std::uint32_t{first} << 8 | second : std::uint32_t{second} << 8 | first;
  };
  const auto in = [](std::uint32_t unit, std::uint32_t first) { return unit - first < 0x400; };
  utf8.clear();
  std::size_t at = 0;
  for (; at + 2 <= bytes.size(); at += 2) {
    std::uint32_t unit = unit_at(at);
    if (in(unit, 0xD800) && at + 4 > bytes.size()) break;  // its pair may come next
    if (in(unit, 0xD800) && in(unit_at(at + 2), 0xDC00)) {
      unit = 0x10000 + ((unit - 0xD800) << 10) + (unit_at(at + 2) - 0xDC00);
      at += 2;
    } else if (in(unit, 0xD800) || in(unit, 0xDC00)) {
      utf8 += kUnreadable;
      continue;
    }
    append_utf8(utf8, unit);
  }
  return at;
}

std::ptrdiff_t read_utf16(char* into, std::size_t size) {
  const std::size_t most = std::min(kUtf16Bytes, size / 3 * 2);  // 2 bytes give at most 3
  for (;;) {
    std::string utf8;
    const std::size_t used =
        utf8_from_utf16({utf16, std::min(utf16_length, most)}, form == Form::kUtf16Big, utf8);
    utf16_length -= used;
    std::memmove(utf16, utf16 + used, utf16_length);
    if (!utf8.empty()) {
      std::memcpy(into, utf8.data(), utf8.size());
      return static_cast<std::ptrdiff_t>(utf8.size());
    }
    const std::ptrdiff_t got = read_input(source, utf16 + utf16_length, kUtf16Bytes - utf16_length);
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

// The first bytes, its opening; a workbook is no script, and ends the program.
std::ptrdiff_t read_first(char* into, std::size_t size) {
  Script_Opening opening = given_opening;
  if (!opening_given && !read_opening(source, opening)) return -1;
  if (is_workbook(opening)) refuse_workbook(source_name);
  std::size_t length = std::min(opening.length, size);
  std::memcpy(into, opening.bytes, length);
  const bool had_bytes = length > 0;
  length = take_mark(into, length);
  if (length > 0 || !had_bytes) return static_cast<std::ptrdiff_t>(length);
  return read_script(into, size);  // a mark alone, so far
}

// Reads on into `into` until its line has ended, or `size` is reached; the
// length then.
std::size_t read_to_line_end(char* into, std::size_t length, std::size_t from, std::size_t size) {
  while (std::memchr(into + from, '\n', length - from) == nullptr && length < size) {
    const std::ptrdiff_t got = read_input(source, into + length, size - length);
    if (got <= 0) break;  // the next read meets the same end
    length += static_cast<std::size_t>(got);
  }
  return length;
}

// A line that no line end closes, judged on its whole characters: one cut
// short at its end, by the end of input or of the room to read it, is left out.
std::string_view whole_characters(std::string_view line, Console_Encoding encoding) {
  for (std::size_t cut = 1; cut < kMaxCharacterBytes && cut <= line.size(); ++cut) {
    if (check_character(encoding, line.substr(line.size() - cut)) == Character_Check::kIncomplete) {
      return line.substr(0, line.size() - cut);
    }
  }
  return line;
}

// What a script's deciding line says it is in, by the rule in script_text.h.
Console_Encoding encoding_of_line(std::string_view line, bool closed, Console_Encoding console) {
  const auto whole = [&](Console_Encoding encoding) {
    return closed ? line : whole_characters(line, encoding);
  };
  if (console != Console_Encoding::kUtf8) {
    return reads_as_utf8_chinese(whole(Console_Encoding::kUtf8)) ? Console_Encoding::kUtf8
                                                                 : console;
  }
  const bool gb18030 = !is_whole_text(Console_Encoding::kUtf8, whole(Console_Encoding::kUtf8)) &&
                       is_whole_text(Console_Encoding::kGb18030, whole(Console_Encoding::kGb18030));
  return gb18030 ? Console_Encoding::kGb18030 : Console_Encoding::kUtf8;
}

// The line of the first byte of 0x80 or more decides; the bytes before it are
// ASCII, which decides nothing. The rest of that line is read first, beyond
// the room of this read where it must.
std::size_t decide_by_first_line(char* into, std::size_t length, std::size_t size) {
  const char* const high = std::find_if(
      into, into + length, [](char byte) { return static_cast<unsigned char>(byte) >= 0x80; });
  if (high == into + length) return length;
  decided = true;
  const auto from = static_cast<std::size_t>(high - into);
  length = read_to_line_end(into, length, from, size);
  const std::string_view rest(into + from, length - from);
  std::string line(rest.substr(0, rest.find('\n')));
  if (line.size() == rest.size()) {  // no line end within the room of this read
    held_length = read_to_line_end(held, 0, 0, kHeldBytes);
    line.append(held, held_length);
  }
  const std::size_t line_end = line.find('\n');
  text_encoding =
      encoding_of_line(std::string_view(line).substr(0, line_end),
                       line_end != std::string::npos || line.size() < rest.size(), text_encoding);
  return length;
}

}  // namespace

bool read_opening(int descriptor, Script_Opening& opening) {
  opening.length = 0;
  while (may_grow_into({opening.bytes, opening.length}, kMarks) ||
         may_grow_into({opening.bytes, opening.length}, kWorkbookSignatures)) {
    const std::ptrdiff_t got = read_input(descriptor, opening.bytes + opening.length,
                                          sizeof opening.bytes - opening.length);
    if (got < 0) return false;
    if (got == 0) break;
    opening.length += static_cast<std::size_t>(got);
  }
  return true;
}

bool is_workbook(const Script_Opening& opening) {
  const std::string_view first(opening.bytes, opening.length);
  return std::any_of(std::begin(kWorkbookSignatures), std::end(kWorkbookSignatures),
                     [&](std::string_view signature) { return first.starts_with(signature); });
}

void start_script(Console_Encoding console, int descriptor, const Script_Opening* opening,
                  const char* name) {
  source = descriptor;
  source_name = name;
  opening_given = opening != nullptr;
  if (opening_given) given_opening = *opening;
  form = Form::kStart;
  text_encoding = console;
  decided = false;
  utf16_length = 0;
  held_length = 0;
  held_given = 0;
}

std::ptrdiff_t read_script(char* into, std::size_t size) {
  if (script_from_utf16()) return read_utf16(into, size);
  if (held_given < held_length) {
    const std::size_t part = std::min(size, held_length - held_given);
    std::memcpy(into, held + held_given, part);
    held_given += part;
    return static_cast<std::ptrdiff_t>(part);
  }
  const std::ptrdiff_t got =
      form == Form::kStart ? read_first(into, size) : read_input(source, into, size);
  if (got <= 0 || decided) return got;
  return static_cast<std::ptrdiff_t>(
      decide_by_first_line(into, static_cast<std::size_t>(got), size));
}

Console_Encoding script_encoding() { return text_encoding; }

bool script_from_utf16() { return form == Form::kUtf16Little || form == Form::kUtf16Big; }
