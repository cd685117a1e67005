// What makes one character of the console's encoding, and how many columns a
// terminal gives it.
#pragma once

#include <cstddef>
#include <string_view>

#include "console/terminal/console_encoding.h"

inline constexpr std::size_t kMaxCharacterBytes = 4;

inline bool in_range(unsigned char byte, unsigned char lowest, unsigned char highest) {
  return byte >= lowest && byte <= highest;
}

enum class Character_Check { kComplete, kIncomplete, kInvalid };

// Whether `bytes` are one whole character (kComplete), the start of one
// (kIncomplete), or no character of the encoding at all (kInvalid). UTF-8
// as the standard has it (no overlong forms, no surrogates); GBK as ASCII or a
// lead byte 0x81..0xFE with a trail byte 0x40..0xFE other than 0x7F; GB18030
// as GBK, and four bytes 0x81..0xFE, 0x30..0x39, 0x81..0xFE, 0x30..0x39.
Character_Check check_character(Console_Encoding encoding, std::string_view bytes);

// The length of the character at the start of valid text; at least 1.
std::size_t character_length(Console_Encoding encoding, std::string_view text);

// The columns a terminal gives one whole character: 0 for combining marks and
// other zero-width ones, 2 for East Asian wide and fullwidth ones, else 1.
int character_columns(Console_Encoding encoding, std::string_view character);

// Whether `character` is one whole character that is a C1 control, U+0080 to
// U+009F; bytes that form no whole character are none.
bool is_c1_control(Console_Encoding encoding, std::string_view character);

// The ASCII form of one whole character where it is a full-width digit, plus,
// minus or full stop (as a Chinese input method types them), or the
// ideographic space: '0' for ０, ' ' for U+3000; 0 for any other.
char ascii_of_full_width(Console_Encoding encoding, std::string_view character);

// Whether `text` is whole characters of `encoding` and nothing else.
bool is_whole_text(Console_Encoding encoding, std::string_view text);

// Whether a line of a script without a mark reads as Chinese in UTF-8: valid
// UTF-8 whose every other character is a CJK ideograph, a full-width form or
// U+00B7. GBK text is seldom valid UTF-8, and then hardly ever such (肖梅 is
// "Ф÷").
bool reads_as_utf8_chinese(std::string_view line);

// How many bytes make the next character: all of it when whole, those that
// begin one when the input ends first, 1 when the first byte begins none, 0
// at the end. `byte_at(n)` is the byte n places ahead, negative at the end.
template <class Byte_At>
std::size_t next_character_length(Console_Encoding encoding, Byte_At byte_at) {
  char bytes[kMaxCharacterBytes];
  std::size_t length = 0;
  while (length < kMaxCharacterBytes) {
    const int byte = byte_at(length);
    if (byte < 0) break;
    bytes[length] = static_cast<char>(byte);
    const Character_Check check = check_character(encoding, {bytes, length + 1});
    if (check == Character_Check::kInvalid) return length > 0 ? length : 1;
    ++length;
    if (check == Character_Check::kComplete) break;
  }
  return length;
}

// The bytes that make one key at the menu: a four-byte GB18030 character is
// one key, and any other character gives one key a byte.
template <class Byte_At>
std::size_t menu_key_length(Console_Encoding encoding, Byte_At byte_at) {
  const bool four_bytes = encoding == Console_Encoding::kGb18030 &&
                          next_character_length(encoding, byte_at) == kMaxCharacterBytes;
  return four_bytes ? kMaxCharacterBytes : 1;
}
