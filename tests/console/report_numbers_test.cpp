// The report numbers are written byte for byte as printf's "%.1f".
#include "console/report_numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>

namespace {

void expect_as_printf(float value) {
  char expected[kNumberChars];
  std::snprintf(expected, sizeof expected, "%.1f", static_cast<double>(value));
  char written[kNumberChars];
  const std::size_t length = format_one_decimal(value, written);
  ASSERT_EQ(std::string(written, length), expected) << "bits of the float differ at " << value;
}

TEST(ReportNumbers, ScoresAndHalvesAsPrintf) {
  // Every score in hundredths, so every x.x5 (a half in decimal, not in binary).
  for (int hundredths = -20000; hundredths <= 40000; ++hundredths) {
    expect_as_printf(static_cast<float>(hundredths) / 100.0F);
  }
  // Exact binary halves, which printf rounds to even.
  for (int sixteenths = -4000; sixteenths <= 4000; ++sixteenths) {
    expect_as_printf(static_cast<float>(sixteenths) / 16.0F);
  }
}

TEST(ReportNumbers, EdgesAsPrintf) {
  constexpr float kInf = std::numeric_limits<float>::infinity();
  for (float value :
       {0.0F, -0.0F, 0.05F, 0.15F, 0.25F, -0.25F, 0.35F, 1e-45F, -1e-45F, 16777217.0F,
        3.4028235e38F, -3.4028235e38F, 1e20F, 123456.75F, kInf, -kInf,
        std::numeric_limits<float>::quiet_NaN(), -std::numeric_limits<float>::quiet_NaN()}) {
    expect_as_printf(value);
  }
}

TEST(ReportNumbers, RandomFloatsAsPrintf) {
  std::mt19937 random(2026);
  for (int i = 0; i < 200000; ++i) {
    const auto bits = static_cast<std::uint32_t>(random());
    float value = 0;
    std::memcpy(&value, &bits, sizeof value);
    expect_as_printf(value);
    if (HasFailure()) return;
  }
}

}  // namespace
