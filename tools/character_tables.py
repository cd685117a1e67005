#!/usr/bin/env python3
"""Writes src/console/terminal/character_tables.cpp: the characters a terminal draws
zero columns wide and two columns wide, the two-byte GBK characters it draws
one column wide, and
how GB18030's four-byte characters of the Basic Multilingual Plane map to
Unicode. Made from Python's own Unicode data and GB18030 codec; run it again
when they are newer, and format what it wrote:
    python3 tools/character_tables.py > src/console/terminal/character_tables.cpp
    clang-format -i src/console/terminal/character_tables.cpp
"""
import unicodedata

# Format characters that terminals still show: U+00AD and the marks that
# prefix Arabic and other numbers.
SHOWN_FORMAT = {0xAD, 0x600, 0x601, 0x602, 0x603, 0x604, 0x605, 0x6DD, 0x70F, 0x890, 0x891,
                0x8E2, 0x110BD, 0x110CD}
# Hangul vowels and final consonants, which join the syllable before them.
JOINING_JAMO = [(0x1160, 0x11FF), (0xD7B0, 0xD7FF)]


def is_zero_width(code_point):
    if any(first <= code_point <= last for first, last in JOINING_JAMO):
        return True
    category = unicodedata.category(chr(code_point))
    return category in ('Mn', 'Me', 'Cf') and code_point not in SHOWN_FORMAT


def ranges(values):
    found = []
    for value in values:
        if found and found[-1][1] + 1 == value:
            found[-1][1] = value
        else:
            found.append([value, value])
    return found


# Blocks whose unassigned code points are wide too, as the East Asian Width
# data has it.
WIDE_BY_DEFAULT = [(0x3400, 0x4DBF), (0x4E00, 0x9FFF), (0xF900, 0xFAFF), (0x20000, 0x2FFFD),
                   (0x30000, 0x3FFFD)]


def is_wide(character):
    code_point = ord(character)
    if any(first <= code_point <= last for first, last in WIDE_BY_DEFAULT):
        return True
    # Python answers "F" for every unassigned code point: only assigned ones count.
    return (unicodedata.category(character) != 'Cn'
            and unicodedata.east_asian_width(character) in ('W', 'F'))


def gbk_pairs():
    for lead in range(0x81, 0xFF):
        for trail in range(0x40, 0xFF):
            try:
                yield lead << 8 | trail, bytes([lead, trail]).decode('gbk')
            except UnicodeDecodeError:
                pass


def four_bytes(linear):
    return bytes([0x81 + linear // 12600, 0x30 + linear // 1260 % 10,
                  0x81 + linear // 10 % 126, 0x30 + linear % 10])


BMP_FOUR_BYTE_COUNT = 39420  # 0x81308130 up to 0x8431A439


def gb18030_segments():
    segments = []
    previous = None
    for linear in range(BMP_FOUR_BYTE_COUNT):
        code_point = ord(four_bytes(linear).decode('gb18030'))
        if previous is None or code_point != previous + 1:
            segments.append((linear, code_point))
        previous = code_point
    return segments


def table(rows, per_line):
    lines = []
    for start in range(0, len(rows), per_line):
        lines.append('    ' + ' '.join(rows[start:start + per_line]))
    return '\n'.join(lines)


def main():
    zero = ranges(c for c in range(0x110000)
                  if not 0xD800 <= c <= 0xDFFF and is_zero_width(c))
    wide = ranges(c for c in range(0x110000) if not 0xD800 <= c <= 0xDFFF and is_wide(chr(c)))
    narrow = ranges(code for code, character in gbk_pairs() if not is_wide(character))
    segments = gb18030_segments()
    print(f'''// Made by tools/character_tables.py from Unicode {unicodedata.unidata_version}; do not edit.
#include "console/terminal/character_tables.h"

const Code_Range kZeroWidthRanges[] = {{
{table([f'{{0x{a:x}, 0x{b:x}}},' for a, b in zero], 5)}
}};
const std::size_t kZeroWidthRangeCount = std::size(kZeroWidthRanges);

const Code_Range kWideRanges[] = {{
{table([f'{{0x{a:x}, 0x{b:x}}},' for a, b in wide], 5)}
}};
const std::size_t kWideRangeCount = std::size(kWideRanges);

const Code_Range kGbkNarrowRanges[] = {{
{table([f'{{0x{a:x}, 0x{b:x}}},' for a, b in narrow], 5)}
}};
const std::size_t kGbkNarrowRangeCount = std::size(kGbkNarrowRanges);

const Gb18030_Segment kGb18030Segments[] = {{
{table([f'{{{a}, 0x{b:x}}},' for a, b in segments], 6)}
}};
const std::size_t kGb18030SegmentCount = std::size(kGb18030Segments);''')


main()
