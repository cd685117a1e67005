#include "console/terminal/characters.h"

#include <algorithm>
#include <cstdint>

#include "console/terminal/character_tables.h"

namespace {

unsigned char byte_at(std::string_view bytes, std::size_t index) {
  return static_cast<unsigned char>(bytes[index]);
}

std::size_t utf8_length_from_lead(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (in_range(lead, 0xc2, 0xdf)) return 2;
  if (in_range(lead, 0xe0, 0xef)) return 3;
  if (in_range(lead, 0xf0, 0xf4)) return 4;
  return 0;
}

// The second byte is narrowed by some leads, to rule out overlong forms,
// surrogates and code points beyond U+10FFFF.
bool valid_utf8_second(unsigned char lead, unsigned char second) {
  switch (lead) {
    case 0xe0: return in_range(second, 0xa0, 0xbf);
    case 0xed: return in_range(second, 0x80, 0x9f);
    case 0xf0: return in_range(second, 0x90, 0xbf);
    case 0xf4: return in_range(second, 0x80, 0x8f);
    default: return in_range(second, 0x80, 0xbf);
  }
}

Character_Check check_utf8(std::string_view bytes) {
  const unsigned char lead = byte_at(bytes, 0);
  const std::size_t length = utf8_length_from_lead(lead);
  if (length == 0 || bytes.size() > length) return Character_Check::kInvalid;
  for (std::size_t i = 1; i < bytes.size(); ++i) {
    const bool valid = i == 1 ? valid_utf8_second(lead, byte_at(bytes, i))
                              : in_range(byte_at(bytes, i), 0x80, 0xbf);
    if (!valid) return Character_Check::kInvalid;
  }
  return bytes.size() == length ? Character_Check::kComplete : Character_Check::kIncomplete;
}

Character_Check check_gbk(std::string_view bytes) {
  const unsigned char lead = byte_at(bytes, 0);
  if (lead < 0x80)
    return bytes.size() == 1 ? Character_Check::kComplete : Character_Check::kInvalid;
  if (!in_range(lead, 0x81, 0xfe) || bytes.size() > 2) return Character_Check::kInvalid;
  if (bytes.size() == 1) return Character_Check::kIncomplete;
  const unsigned char trail = byte_at(bytes, 1);
  return in_range(trail, 0x40, 0xfe) && trail != 0x7f ? Character_Check::kComplete
                                                      : Character_Check::kInvalid;
}

Character_Check check_gb18030(std::string_view bytes) {
  if (bytes.size() < 2 || !in_range(byte_at(bytes, 1), 0x30, 0x39)) return check_gbk(bytes);
  if (bytes.size() > 4) return Character_Check::kInvalid;
  for (std::size_t i = 0; i < bytes.size(); ++i) {  // 81..FE, 30..39, 81..FE, 30..39
    const unsigned char byte = byte_at(bytes, i);
    if (i % 2 == 0 ? !in_range(byte, 0x81, 0xfe) : !in_range(byte, 0x30, 0x39)) {
      return Character_Check::kInvalid;
    }
  }
  return bytes.size() == 4 ? Character_Check::kComplete : Character_Check::kIncomplete;
}

std::uint32_t utf8_code_point(std::string_view character) {
  static constexpr unsigned char kLeadMasks[] = {0, 0x7f, 0x1f, 0x0f, 0x07};
  std::uint32_t code_point = byte_at(character, 0) & kLeadMasks[character.size()];
  for (std::size_t i = 1; i < character.size(); ++i) {
    code_point = (code_point << 6) | (byte_at(character, i) & 0x3fU);
  }
  return code_point;
}

constexpr std::uint32_t kFirstSupplementary = 0x10000;
// The number of 90 30 81 30, where the four-byte characters beyond the Basic
// Multilingual Plane begin, one after the other.
constexpr std::uint32_t kFirstSupplementaryIndex = 189000;
constexpr std::uint32_t kNoCodePoint = 0xffffffff;  // in no table: one column

std::uint32_t gb18030_code_point(std::string_view character) {
  // Each byte counts in its own base: 126 leads, 10 digits, 126, 10.
  std::uint32_t index = byte_at(character, 0) - 0x81U;
  index = index * 10 + (byte_at(character, 1) - 0x30U);
  index = index * 126 + (byte_at(character, 2) - 0x81U);
  index = index * 10 + (byte_at(character, 3) - 0x30U);
  if (index >= kFirstSupplementaryIndex) {
    return kFirstSupplementary + (index - kFirstSupplementaryIndex);
  }
  const Gb18030_Segment* const end = kGb18030Segments + kGb18030SegmentCount;
  const Gb18030_Segment* const after = std::upper_bound(
      kGb18030Segments, end, index,
      [](std::uint32_t wanted, const Gb18030_Segment& segment) { return wanted < segment.index; });
  const Gb18030_Segment& segment = after[-1];  // the first segment starts at 0
  const std::uint32_t code_point = segment.code_point + (index - segment.index);
  return after == end && code_point > 0xffff ? kNoCodePoint : code_point;
}

bool in_ranges(std::uint32_t value, const Code_Range* ranges, std::size_t count) {
  const Code_Range* const end = ranges + count;
  const Code_Range* const after = std::upper_bound(
      ranges, end, value,
      [](std::uint32_t wanted, const Code_Range& range) { return wanted < range.first; });
  return after != ranges && value <= after[-1].last;
}

int code_point_columns(std::uint32_t code_point) {
  if (in_ranges(code_point, kZeroWidthRanges, kZeroWidthRangeCount)) return 0;
  return in_ranges(code_point, kWideRanges, kWideRangeCount) ? 2 : 1;
}

}  // namespace

Character_Check check_character(Console_Encoding encoding, std::string_view bytes) {
  if (bytes.empty()) return Character_Check::kIncomplete;
  switch (encoding) {
    case Console_Encoding::kGbk: return check_gbk(bytes);
    case Console_Encoding::kGb18030: return check_gb18030(bytes);
    case Console_Encoding::kUtf8: break;
  }
  return check_utf8(bytes);
}

std::size_t character_length(Console_Encoding encoding, std::string_view text) {
  const unsigned char lead = byte_at(text, 0);
  std::size_t length = 1;
  if (encoding == Console_Encoding::kUtf8) {
    length = utf8_length_from_lead(lead);
  } else if (lead >= 0x81) {
    const bool four_bytes = encoding == Console_Encoding::kGb18030 && text.size() > 1 &&
                            in_range(byte_at(text, 1), 0x30, 0x39);
    length = four_bytes ? 4 : 2;
  }
  if (length == 0 || length > text.size()) return 1;
  return length;
}

bool is_c1_control(Console_Encoding encoding, std::string_view character) {
  // Bytes that are no whole character are no control either: they stay as they are.
  if (check_character(encoding, character) != Character_Check::kComplete) return false;
  std::uint32_t code_point = kNoCodePoint;
  if (encoding == Console_Encoding::kUtf8 && character.size() == 2) {
    code_point = utf8_code_point(character);
  } else if (encoding == Console_Encoding::kGb18030 && character.size() == 4) {
    code_point = gb18030_code_point(character);
  }
  return code_point >= 0x80 && code_point <= 0x9f;
}

char ascii_of_full_width(Console_Encoding encoding, std::string_view character) {
  const bool utf8 = encoding == Console_Encoding::kUtf8;
  if (character == (utf8 ? "\xE3\x80\x80" : "\xA1\xA1")) return ' ';
  // U+FF01 to U+FF5E, and GBK's A3A1 to A3FE, stand in ASCII's order from '!'.
  const std::string_view lead = utf8 ? "\xEF\xBC" : "\xA3";
  if (character.size() != lead.size() + 1 || !character.starts_with(lead)) return 0;
  const int first = utf8 ? 0x81 : 0xA1;  // the last byte of "！"
  const int ascii = byte_at(character, lead.size()) - first + '!';
  const bool number =
      (ascii >= '0' && ascii <= '9') || ascii == '+' || ascii == '-' || ascii == '.';
  return number ? static_cast<char>(ascii) : '\0';
}

bool is_whole_text(Console_Encoding encoding, std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = character_length(encoding, text.substr(at));
    if (check_character(encoding, text.substr(at, length)) != Character_Check::kComplete) {
      return false;
    }
    at += length;
  }
  return true;
}

bool reads_as_utf8_chinese(std::string_view line) {
  constexpr Code_Range kChinese[] = {
      {0xb7, 0xb7}, {0x2e80, 0x9fff}, {0xf900, 0xfaff}, {0xff00, 0xffef}, {0x20000, 0x3ffff}};
  for (std::size_t at = 0; at < line.size();) {
    const std::size_t length = character_length(Console_Encoding::kUtf8, line.substr(at));
    const std::string_view character = line.substr(at, length);
    if (check_character(Console_Encoding::kUtf8, character) != Character_Check::kComplete) {
      return false;
    }
    if (length > 1 && !in_ranges(utf8_code_point(character), kChinese, std::size(kChinese))) {
      return false;
    }
    at += length;
  }
  return true;
}

int character_columns(Console_Encoding encoding, std::string_view character) {
  if (character.size() < 2) return 1;
  if (encoding == Console_Encoding::kUtf8) return code_point_columns(utf8_code_point(character));
  if (character.size() == 2) {
    const std::uint32_t code = std::uint32_t{byte_at(character, 0)} << 8 | byte_at(character, 1);
    return in_ranges(code, kGbkNarrowRanges, kGbkNarrowRangeCount) ? 1 : 2;
  }
  return code_point_columns(gb18030_code_point(character));
}
