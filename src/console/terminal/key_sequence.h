// Escape sequences as terminals send them for keys that have no character of
// their own: arrows, Home, Delete, function keys, and Alt with a key.
#pragma once

#include <cstddef>
#include <string_view>

#include "console/terminal/terminal_port.h"

inline constexpr std::size_t kKeptSequenceBytes = 8;

enum class Sequence_Part {
  kIntroducer,
  kCsiStart,
  kCsiParameters,
  kCsiIntermediates,
  kSs3,
  kLinuxConsoleKey,
  kComplete
};

// One sequence taken byte by byte, ESC first; its first bytes are kept so that
// the key can be told.
struct Escape_Sequence {
  unsigned char kept[kKeptSequenceBytes] = {kEscape};
  // Bytes taken, ESC included, counted up to one past the kept ones.
  std::size_t length = 1;
  Sequence_Part part = Sequence_Part::kIntroducer;
  // Ended by a control byte (Enter, another ESC, ...), a key of its own.
  bool cut_short = false;
};

// Takes the byte after those taken so far; true once the sequence is whole.
// The grammar: ESC [ parameters (0x30..0x3F) intermediates (0x20..0x2F) and a
// final byte (0x40..0x7E); ESC O and one byte; ESC [ [ and one byte (the Linux
// console's F1 to F5); ESC and any other one byte. A control byte ends the
// sequence unfinished and is not taken; any other byte that breaks the grammar
// ends the sequence and belongs to it.
bool add_to_sequence(Escape_Sequence& sequence, unsigned char byte);

// Whether the sequence taken is exactly `bytes` (ESC included).
bool sequence_is(const Escape_Sequence& sequence, std::string_view bytes);
