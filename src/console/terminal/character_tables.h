// Tables about characters that no rule gives: which are drawn zero columns
// wide and which two, which two-byte GBK characters one column wide, and where
// GB18030's four-byte characters lie in Unicode. Made by
// tools/character_tables.py from one Unicode version, which the tables name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>

struct Code_Range {
  std::uint32_t first;
  std::uint32_t last;
};

// Combining marks (Mn, Me), format characters (Cf) and joining Hangul jamo, in order.
extern const Code_Range kZeroWidthRanges[];
extern const std::size_t kZeroWidthRangeCount;

// Assigned characters of East Asian Width W or F, and the blocks whose
// unassigned code points are wide, in order.
extern const Code_Range kWideRanges[];
extern const std::size_t kWideRangeCount;

// Two-byte GBK codes (lead << 8 | trail) of characters that are not East Asian
// wide, in order.
extern const Code_Range kGbkNarrowRanges[];
extern const std::size_t kGbkNarrowRangeCount;

// Four-byte GB18030 characters are numbered in order from 81 30 81 30 on; each
// segment starts at `index` with `code_point`, and the numbers run on together
// up to the next segment. Beyond the last, the Basic Multilingual Plane ends.
struct Gb18030_Segment {
  std::uint32_t index;
  std::uint32_t code_point;
};
extern const Gb18030_Segment kGb18030Segments[];
extern const std::size_t kGb18030SegmentCount;
