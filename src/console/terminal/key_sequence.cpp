#include "console/terminal/key_sequence.h"

#include "console/terminal/characters.h"

namespace {

bool is_csi_parameter(unsigned char byte) { return in_range(byte, 0x30, 0x3f); }
bool is_csi_intermediate(unsigned char byte) { return in_range(byte, 0x20, 0x2f); }

Sequence_Part next_part(Sequence_Part part, unsigned char byte) {
  switch (part) {
    case Sequence_Part::kIntroducer:
      if (byte == '[') return Sequence_Part::kCsiStart;
      if (byte == 'O') return Sequence_Part::kSs3;
      return Sequence_Part::kComplete;  // Alt and a key
    case Sequence_Part::kCsiStart:
      if (byte == '[') return Sequence_Part::kLinuxConsoleKey;
      [[fallthrough]];
    case Sequence_Part::kCsiParameters:
      if (is_csi_parameter(byte)) return Sequence_Part::kCsiParameters;
      [[fallthrough]];
    case Sequence_Part::kCsiIntermediates:
      if (is_csi_intermediate(byte)) return Sequence_Part::kCsiIntermediates;
      return Sequence_Part::kComplete;  // the final byte, or one that breaks the grammar
    case Sequence_Part::kSs3:
    case Sequence_Part::kLinuxConsoleKey:
    case Sequence_Part::kComplete: break;
  }
  return Sequence_Part::kComplete;
}

bool is_control(unsigned char byte) { return byte < 0x20 || byte == 0x7f; }

}  // namespace

bool add_to_sequence(Escape_Sequence& sequence, unsigned char byte) {
  if (sequence.part == Sequence_Part::kComplete) return true;
  if (is_control(byte)) {
    sequence.part = Sequence_Part::kComplete;
    sequence.cut_short = true;
    return true;
  }
  if (sequence.length < kKeptSequenceBytes) sequence.kept[sequence.length] = byte;
  if (sequence.length < kKeptSequenceBytes + 1) ++sequence.length;  // no overflow, however long
  sequence.part = next_part(sequence.part, byte);
  return sequence.part == Sequence_Part::kComplete;
}

bool sequence_is(const Escape_Sequence& sequence, std::string_view bytes) {
  if (sequence.length != bytes.size() || sequence.length > kKeptSequenceBytes) return false;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (sequence.kept[i] != static_cast<unsigned char>(bytes[i])) return false;
  }
  return true;
}
