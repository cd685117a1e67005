// Characters of each console encoding: where one ends, and how many columns a
// terminal gives it.
#include "console/terminal/characters.h"

#include <gtest/gtest.h>

#include <string>

#include "case_names.h"

namespace {

constexpr int kNotWhole = -1;

struct Character_Case {
  const char* what;
  Console_Encoding encoding;
  std::string bytes;
  Character_Check check;
  int columns = kNotWhole;
};

class Characters : public ::testing::TestWithParam<Character_Case> {};

TEST_P(Characters, AreToldAndMeasured) {
  const Character_Case& character = GetParam();
  EXPECT_EQ(check_character(character.encoding, character.bytes), character.check);
  if (character.columns == kNotWhole) return;
  EXPECT_EQ(character_length(character.encoding, character.bytes + "x"), character.bytes.size());
  EXPECT_EQ(character_columns(character.encoding, character.bytes), character.columns);
}

constexpr auto kUtf8 = Console_Encoding::kUtf8;
constexpr auto kGbk = Console_Encoding::kGbk;
constexpr auto kGb18030 = Console_Encoding::kGb18030;
constexpr auto kWhole = Character_Check::kComplete;
constexpr auto kBegun = Character_Check::kIncomplete;
constexpr auto kNone = Character_Check::kInvalid;

INSTANTIATE_TEST_SUITE_P(
    Encodings, Characters,
    ::testing::Values(
        Character_Case{"utf8 letter", kUtf8, "e", kWhole, 1},
        Character_Case{"utf8 combining acute", kUtf8, "\u0301", kWhole, 0},
        Character_Case{"utf8 enclosing circle", kUtf8, "\u20dd", kWhole, 0},
        Character_Case{"utf8 zero width space", kUtf8, "\u200b", kWhole, 0},
        Character_Case{"utf8 zero width joiner", kUtf8, "\u200d", kWhole, 0},
        Character_Case{"utf8 soft hyphen is shown", kUtf8, "\u00ad", kWhole, 1},
        Character_Case{"utf8 ideograph", kUtf8, "\u4e00", kWhole, 2},
        Character_Case{"utf8 ideographic space", kUtf8, "\u3000", kWhole, 2},
        Character_Case{"utf8 supplementary ideograph", kUtf8, "\U00020bb7", kWhole, 2},
        Character_Case{"utf8 wide reading mark", kUtf8, "\U00016ff0", kWhole, 2},
        Character_Case{"utf8 thermometer is narrow", kUtf8, "\U0001f321", kWhole, 1},
        Character_Case{"utf8 cut short", kUtf8, "\xe4\xb8", kBegun},
        Character_Case{"utf8 overlong", kUtf8, "\xc0\x80", kNone},
        Character_Case{"gbk ideograph", kGbk, "\xc0\xee", kWhole, 2},
        Character_Case{"gbk middle dot is narrow", kGbk, "\xa1\xa4", kWhole, 1},
        Character_Case{"gbk greek letter is narrow", kGbk, "\xa6\xa1", kWhole, 1},
        Character_Case{"gbk has no four bytes", kGbk, "\x95\x34", kNone},
        Character_Case{"gb18030 pair", kGb18030, "\xc0\xee", kWhole, 2},
        Character_Case{"gb18030 supplementary", kGb18030, "\x95\x34\xb2\x35", kWhole, 2},
        Character_Case{"gb18030 cjk extension a", kGb18030, "\x81\x39\xee\x39", kWhole, 2},
        Character_Case{"gb18030 hangul", kGb18030, "\x82\x37\xcf\x35", kWhole, 2},
        Character_Case{"gb18030 combining acute", kGb18030, "\x81\x30\xbc\x37", kWhole, 0},
        Character_Case{"gb18030 beyond unicode", kGb18030, "\xfe\x39\xfe\x39", kWhole, 1},
        Character_Case{"gb18030 two of four", kGb18030, "\x95\x34", kBegun},
        Character_Case{"gb18030 three of four", kGb18030, "\x95\x34\xb2", kBegun},
        Character_Case{"gb18030 third not a lead", kGb18030, "\x95\x34\x35", kNone},
        Character_Case{"gb18030 fourth not a digit", kGb18030, "\x95\x34\xb2\xb2", kNone},
        Character_Case{"gb18030 lead 0x80", kGb18030, "\x80\x30", kNone}),
    readable_case_name{});

}  // namespace
