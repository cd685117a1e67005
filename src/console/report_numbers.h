// The scores of the reports, written as "%.1f" writes them. std::to_chars
// writes the same bytes, but its tables for floats grow the executable by two
// thirds and the session's peak memory beyond 2 MiB.
#pragma once

#include <cstddef>

inline constexpr std::size_t kNumberChars = 64;  // the widest float, -3.4e38, takes 42

// Writes into `out` what "%.1f" writes for the value widened to double, and
// returns its length: the exact binary value rounded to tenths, ties to even;
// "-0.0", "inf", "-nan" as well.
std::size_t format_one_decimal(float value, char (&out)[kNumberChars]);
