#include "console/report_numbers.h"

#include <cstdint>
#include <cstring>

namespace {

// Writes the decimal digits of `magnitude` at `out`; returns their count.
std::size_t put_digits(std::uint64_t magnitude, char* out) {
  char reversed[20];
  std::size_t count = 0;
  do {
    reversed[count++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  for (std::size_t i = 0; i < count; ++i) out[i] = reversed[count - 1 - i];
  return count;
}

// m * 2^shift for a float at or above 2^24, which is a whole number of up to
// 39 digits: kept in base 10^9 limbs, least significant first.
std::size_t put_large_whole(std::uint32_t mantissa, int shift, char* out) {
  constexpr std::uint32_t kLimbBase = 1'000'000'000;
  std::uint32_t limbs[5] = {mantissa % kLimbBase, mantissa / kLimbBase};
  std::size_t used = 2;
  for (int i = 0; i < shift; ++i) {
    std::uint32_t carry = 0;
    for (std::size_t limb = 0; limb < used; ++limb) {
      const std::uint64_t doubled = std::uint64_t{limbs[limb]} * 2 + carry;
      limbs[limb] = static_cast<std::uint32_t>(doubled % kLimbBase);
      carry = static_cast<std::uint32_t>(doubled / kLimbBase);
    }
    if (carry != 0) limbs[used++] = carry;
  }
  while (used > 1 && limbs[used - 1] == 0) --used;
  std::size_t length = put_digits(limbs[used - 1], out);
  for (std::size_t limb = used - 1; limb-- > 0;) {
    char nine[9];
    const std::size_t count = put_digits(limbs[limb], nine);
    std::memset(out + length, '0', 9 - count);  // inner limbs keep their zeros
    std::memcpy(out + length + 9 - count, nine, count);
    length += 9;
  }
  return length;
}

// The value's tenths, rounded to nearest with ties to even, as printf rounds
// the exact binary value: mantissa * 2^-places * 10.
std::uint64_t rounded_tenths(std::uint32_t mantissa, int places) {
  // Below 2^-29 of a tenth's half nothing is left to round up.
  if (places >= 30) return 0;
  const std::uint64_t scaled = std::uint64_t{mantissa} * 10;
  std::uint64_t tenths = scaled >> places;
  const std::uint64_t rest = scaled & ((std::uint64_t{1} << places) - 1);
  const std::uint64_t half = std::uint64_t{1} << (places - 1);
  if (rest > half || (rest == half && tenths % 2 == 1)) ++tenths;
  return tenths;
}

std::size_t put_word(const char* word, char* out) {
  const std::size_t length = std::strlen(word);
  std::memcpy(out, word, length);
  return length;
}

}  // namespace

std::size_t format_one_decimal(float value, char (&out)[kNumberChars]) {
  std::uint32_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  const std::uint32_t biased_exponent = (bits >> 23) & 0xffU;
  const std::uint32_t fraction = bits & 0x7fffffU;
  std::size_t length = 0;
  if ((bits >> 31) != 0) out[length++] = '-';  // -0.0 and -nan too, as printf writes them
  if (biased_exponent == 0xff)
    return length + put_word(fraction == 0 ? "inf" : "nan", out + length);

  // The value is mantissa * 2^exponent exactly.
  const std::uint32_t mantissa = biased_exponent == 0 ? fraction : (fraction | 0x800000U);
  const int exponent = biased_exponent == 0 ? -149 : static_cast<int>(biased_exponent) - 150;
  if (exponent >= 0) {
    length += put_large_whole(mantissa, exponent, out + length);
    return length + put_word(".0", out + length);
  }
  const std::uint64_t tenths = rounded_tenths(mantissa, -exponent);
  length += put_digits(tenths / 10, out + length);
  out[length++] = '.';
  out[length++] = static_cast<char>('0' + tenths % 10);
  return length;
}
