// Scores are read as strtof reads them, at any length: the same value and the
// same characters taken, checked against strtof itself.
#include "console/float_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace {

std::string streamed;
std::size_t streamed_at = 0;

int peek_streamed(std::size_t offset) {
  EXPECT_LE(offset, kFloatLookahead);
  const std::size_t at = streamed_at + offset;
  return at < streamed.size() ? static_cast<unsigned char>(streamed[at]) : -1;
}

void advance_streamed(std::size_t count) { streamed_at += count; }

void expect_as_strtof(const std::string& text) {
  char* end = nullptr;
  const float expected = std::strtof(text.c_str(), &end);
  const auto expected_taken = static_cast<std::size_t>(end - text.c_str());

  streamed = text;
  streamed_at = 0;
  float value = 0;
  const Float_Read read = read_float({peek_streamed, advance_streamed}, value);
  const std::string shown = text.size() > 80 ? text.substr(0, 80) + "..." : text;
  ASSERT_EQ(read == Float_Read::kNumber, expected_taken > 0) << shown;
  EXPECT_EQ(streamed_at, expected_taken) << shown;
  if (read != Float_Read::kNumber) return;
  if (std::isnan(expected)) {
    EXPECT_TRUE(std::isnan(value)) << shown;
  } else {
    EXPECT_EQ(std::memcmp(&value, &expected, sizeof value), 0)
        << shown << ": " << value << " != " << expected;
  }
}

TEST(FloatText, ChosenForms) {
  for (const char* text : {"80",
                           "80.5",
                           "-0",
                           "+7",
                           ".5",
                           "5.",
                           ".",
                           "-",
                           "+",
                           "-.e1",
                           "1e",
                           "1e+",
                           "1e-5x",
                           "1E39",
                           "-1e39",
                           "1e-50",
                           "1e-46",
                           "3.4028235e38",
                           "3.4028236e38",
                           "16777217",
                           "16777219",
                           "0x",
                           "0x.",
                           "0x.8",
                           "0x1p3",
                           "0x1.8P-2",
                           "0X1p",
                           "0x1p+",
                           "0xg",
                           "0x1.fffffeP127",
                           "0x1.ffffffP127",
                           "inf",
                           "-INFINITY",
                           "infinit",
                           "nan",
                           "nan(123)",
                           "NaN(a_b",
                           "nan()",
                           "i",
                           "n",
                           "abc",
                           "80x",
                           "1..2",
                           "1e5e5",
                           "0x1e5",
                           "00012",
                           "1.00000005960464477539062501",
                           "1.000000059604644775390625",
                           "1.0000000596046447753906249999999"}) {
    expect_as_strtof(text);
  }
}

TEST(FloatText, AnyLength) {
  const std::string zeros(3000, '0');
  const std::string nines(3000, '9');
  for (const std::string& text :
       {zeros + "80", "0." + zeros + "1e3010", nines, "1" + zeros + "e-3000", "0x" + zeros + "1p3",
        "1.000000059604644775390625" + zeros + "1", "1.000000059604644775390625" + zeros,
        "0x1.000001" + zeros + "1p0", "1e" + zeros + "9", "1e-" + nines, "0." + zeros + "e99999",
        "80" + std::string(1100, 'q')}) {
    expect_as_strtof(text);
  }
  // Only a nan(...) longer than the lookahead differs: "nan" alone is taken.
  streamed = "nan(" + std::string(200, 'a') + ")";
  streamed_at = 0;
  float value = 0;
  EXPECT_EQ(read_float({peek_streamed, advance_streamed}, value), Float_Read::kNumber);
  EXPECT_EQ(streamed_at, 3U);
  EXPECT_TRUE(std::isnan(value));
}

TEST(FloatText, RandomTexts) {
  std::mt19937 random(7);
  const std::string alphabet = "0123456789000.eE+-xXpPaAfFiInNtTyY()_ 5";
  for (int i = 0; i < 20000; ++i) {
    std::string text;
    const int length = std::uniform_int_distribution<int>(1, 24)(random);
    for (int j = 0; j < length; ++j) {
      text += alphabet[std::uniform_int_distribution<std::size_t>(0, alphabet.size() - 1)(random)];
    }
    if (text[0] == ' ') continue;  // strtof would skip it; the reader's caller does
    expect_as_strtof(text);
    if (HasFailure()) return;
  }
}

}  // namespace
