// The numbers of the reports, written as "%d" and "%.1f" write them, without
// the generic printf path: a session of queries spends half the CPU time it
// would spend in snprintf.
#pragma once

#include <cstddef>

inline constexpr std::size_t kNumberChars = 64;  // the widest float, -3.4e38, takes 42

// Each writes the text into `out` and returns its length.
std::size_t format_int(int value, char (&out)[kNumberChars]);

// As "%.1f" writes the value widened to double: the exact binary value rounded
// to tenths, ties to even; "-0.0", "inf", "-nan" as well.
std::size_t format_one_decimal(float value, char (&out)[kNumberChars]);
