#include "console/float_text.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace {

// Enough significant digits to round any decimal to the nearest float
// exactly: the longest float halfway point has fewer than 120 of them. Digits
// past these count only as "something more", which is all rounding needs.
constexpr std::size_t kKeptDecimalDigits = 160;
constexpr std::size_t kKeptHexDigits = 16;  // 64 bits, against a float's 24
// Far beyond any float, and far from overflowing the arithmetic.
constexpr std::int64_t kExponentLimit = 1'000'000'000;
constexpr std::size_t kNanPayloadLimit = kFloatLookahead - 8;

bool is_hex_digit(int byte) {
  return is_digit(byte) || (byte >= 'a' && byte <= 'f') || (byte >= 'A' && byte <= 'F');
}

int lowercase(int byte) { return byte >= 'A' && byte <= 'Z' ? byte - 'A' + 'a' : byte; }

std::int64_t clamp_exponent(std::int64_t exponent) {
  if (exponent > kExponentLimit) return kExponentLimit;
  if (exponent < -kExponentLimit) return -kExponentLimit;
  return exponent;
}

class Reader {
 public:
  explicit Reader(const Byte_Stream& stream) : stream_(stream) {}

  int peek(std::size_t offset = 0) const { return stream_.peek_at(offset); }
  int take() {
    const int byte = peek();
    stream_.advance(1);
    return byte;
  }
  void skip(std::size_t count) { stream_.advance(count); }

  // Whether the next bytes spell `word`, in any case.
  bool spells(const char* word, std::size_t from = 0) const {
    for (std::size_t i = 0; word[i] != '\0'; ++i) {
      if (lowercase(peek(from + i)) != word[i]) return false;
    }
    return true;
  }

 private:
  const Byte_Stream& stream_;
};

// The significant digits of a mantissa, as many as are kept, and where the
// point stands: the value is 0.DIGITS times base^point_shift.
struct Mantissa {
  char digits[kKeptDecimalDigits + 2];
  std::size_t kept = 0;
  bool more_beyond = false;  // a non-zero digit past the kept ones
  std::int64_t point_shift = 0;
};

void add_digit(Mantissa& mantissa, char digit, std::size_t limit, bool before_point) {
  const bool significant = mantissa.kept > 0 || digit != '0';
  if (!significant) {
    if (!before_point) mantissa.point_shift = clamp_exponent(mantissa.point_shift - 1);
    return;
  }
  if (mantissa.kept < limit) {
    mantissa.digits[mantissa.kept++] = digit;
  } else if (digit != '0') {
    mantissa.more_beyond = true;
  }
  if (before_point) mantissa.point_shift = clamp_exponent(mantissa.point_shift + 1);
}

void read_mantissa(Reader& reader, Mantissa& mantissa, bool (*is_mantissa_digit)(int),
                   std::size_t limit) {
  while (is_mantissa_digit(reader.peek())) {
    add_digit(mantissa, static_cast<char>(reader.take()), limit, true);
  }
  if (reader.peek() != '.') return;
  reader.skip(1);
  while (is_mantissa_digit(reader.peek())) {
    add_digit(mantissa, static_cast<char>(reader.take()), limit, false);
  }
}

// An exponent is taken only when a digit follows its letter and sign.
std::int64_t read_exponent(Reader& reader, int letter) {
  if (lowercase(reader.peek()) != letter) return 0;
  std::size_t digits_at = 1;
  if (reader.peek(1) == '+' || reader.peek(1) == '-') digits_at = 2;
  if (!is_digit(reader.peek(digits_at))) return 0;
  const bool negative = reader.peek(1) == '-';
  reader.skip(digits_at);
  std::int64_t exponent = 0;
  while (is_digit(reader.peek())) exponent = clamp_exponent(exponent * 10 + (reader.take() - '0'));
  return negative ? -exponent : exponent;
}

// strtof on a short text of the same value: "-0.DIGITS[1]e<exponent>" or
// "-0x0.DIGITS[1]p<exponent>".
float value_of(bool negative, bool hex, const Mantissa& mantissa, std::int64_t exponent) {
  char text[kKeptDecimalDigits + 48];
  std::size_t length = 0;
  const auto put = [&](const char* part) {
    for (std::size_t i = 0; part[i] != '\0'; ++i) text[length++] = part[i];
  };
  put(negative ? "-" : "");
  put(hex ? "0x0." : "0.");
  for (std::size_t i = 0; i < mantissa.kept; ++i) text[length++] = mantissa.digits[i];
  if (mantissa.kept == 0) text[length++] = '0';
  if (mantissa.more_beyond) text[length++] = '1';
  std::snprintf(text + length, sizeof text - length, "%c%lld", hex ? 'p' : 'e',
                static_cast<long long>(exponent));
  return std::strtof(text, nullptr);
}

bool is_nan_payload(int byte) {
  return is_digit(byte) || (lowercase(byte) >= 'a' && lowercase(byte) <= 'z') || byte == '_';
}

// The length of the "nan" at `at`, with the "(...)" after it when a whole one
// follows within the lookahead.
std::size_t nan_length(Reader& reader, std::size_t at) {
  const std::size_t length = at + 3;
  if (reader.peek(length) != '(') return length;
  std::size_t inside = 0;
  while (inside < kNanPayloadLimit && is_nan_payload(reader.peek(length + 1 + inside))) ++inside;
  return reader.peek(length + 1 + inside) == ')' ? length + inside + 2 : length;
}

Float_Read read_word_form(Reader& reader, bool negative, std::size_t sign_length, float& value) {
  if (reader.spells("inf", sign_length)) {
    reader.skip(sign_length + (reader.spells("infinity", sign_length) ? 8 : 3));
    value =
        negative ? -std::numeric_limits<float>::infinity() : std::numeric_limits<float>::infinity();
    return Float_Read::kNumber;
  }
  if (!reader.spells("nan", sign_length)) return Float_Read::kNoNumber;
  reader.skip(nan_length(reader, sign_length));
  value = std::copysign(std::numeric_limits<float>::quiet_NaN(), negative ? -1.0F : 1.0F);
  return Float_Read::kNumber;
}

}  // namespace

Float_Read read_float(const Byte_Stream& stream, float& value) {
  Reader reader(stream);
  const bool negative = reader.peek() == '-';
  const std::size_t sign_length = negative || reader.peek() == '+' ? 1 : 0;
  const int first = reader.peek(sign_length);
  const bool hex =
      first == '0' && lowercase(reader.peek(sign_length + 1)) == 'x' &&
      (is_hex_digit(reader.peek(sign_length + 2)) ||
       (reader.peek(sign_length + 2) == '.' && is_hex_digit(reader.peek(sign_length + 3))));
  const bool decimal = is_digit(first) || (first == '.' && is_digit(reader.peek(sign_length + 1)));
  if (!hex && !decimal) return read_word_form(reader, negative, sign_length, value);

  reader.skip(sign_length + (hex ? 2 : 0));
  Mantissa mantissa;
  std::int64_t exponent = 0;
  if (hex) {
    read_mantissa(reader, mantissa, is_hex_digit, kKeptHexDigits);
    // Each hex digit is four bits.
    exponent = clamp_exponent(mantissa.point_shift * 4 + read_exponent(reader, 'p'));
  } else {
    read_mantissa(reader, mantissa, is_digit, kKeptDecimalDigits);
    exponent = clamp_exponent(mantissa.point_shift + read_exponent(reader, 'e'));
  }
  value = value_of(negative, hex, mantissa, exponent);
  return Float_Read::kNumber;
}
