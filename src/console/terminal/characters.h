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
// other zero-width characters, 2 for East Asian wide and fullwidth ones, 1
// otherwise.
int character_columns(Console_Encoding encoding, std::string_view character);

// The bytes that make one key at the menu: a four-byte GB18030 character is
// one key, and any other character gives one key a byte. `byte_at(n)` is the
// byte n places from the key's first, waited for; negative at the end.
template <class Byte_At>
std::size_t menu_key_length(Console_Encoding encoding, Byte_At byte_at) {
  constexpr std::size_t kFourBytes = 4;
  if (encoding != Console_Encoding::kGb18030) return 1;
  char bytes[kMaxCharacterBytes];
  for (std::size_t length = 1; length <= kMaxCharacterBytes; ++length) {
    const int byte = byte_at(length - 1);
    if (byte < 0) break;
    bytes[length - 1] = static_cast<char>(byte);
    const Character_Check check = check_character(encoding, {bytes, length});
    if (check != Character_Check::kIncomplete) {
      return check == Character_Check::kComplete && length == kFourBytes ? kFourBytes : 1;
    }
  }
  return 1;
}
