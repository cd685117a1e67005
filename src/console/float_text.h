// Floating-point numbers read the way strtof reads them, from input of any
// length, in bounded memory.
#pragma once

#include <cstddef>

inline bool is_digit(int byte) { return byte >= '0' && byte <= '9'; }

// The bytes to read from: peek_at(n) is the byte n places ahead, not taken,
// or a negative value past the end; advance(n) takes n bytes. Lookahead never
// goes further than kFloatLookahead places.
struct Byte_Stream {
  int (*peek_at)(std::size_t offset);
  void (*advance)(std::size_t count);
};

inline constexpr std::size_t kFloatLookahead = 72;

enum class Float_Read { kNumber, kNoNumber };

// Takes the longest prefix that strtof would take as a number (sign, decimal
// digits and point, exponent; hexadecimal form with its binary exponent; inf,
// infinity, nan and nan(...)) and gives the float strtof gives for the same
// characters. Takes nothing when no number starts there. A nan(...) whose
// inside is longer than the lookahead is taken as "nan" alone.
Float_Read read_float(const Byte_Stream& stream, float& value);
