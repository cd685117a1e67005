#include "console/report_numbers.h"

#include <charconv>

std::size_t format_int(int value, char (&out)[kNumberChars]) {
  return static_cast<std::size_t>(std::to_chars(out, out + kNumberChars, value).ptr - out);
}

std::size_t format_one_decimal(float value, char (&out)[kNumberChars]) {
  const std::to_chars_result result = std::to_chars(
      out, out + kNumberChars, static_cast<double>(value), std::chars_format::fixed, 1);
  return static_cast<std::size_t>(result.ptr - out);
}
