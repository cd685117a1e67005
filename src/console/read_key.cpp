#include "console/read_key.h"

#include "console/input.h"
#include "console/output.h"
#include "console/platform/platform.h"
#include "console/program.h"
#include "console/texts.h"

namespace {

constexpr int kFirstPrintable = 0x21;  // a space is echoed only on a terminal
constexpr int kLastPrintable = 0x7e;

// A terminal that sends whole lines has shown the key itself.
void echo(int key) {
  const Input_Kind kind = input_kind_read();
  if (kind == Input_Kind::kLines) return;
  const bool printable = key >= kFirstPrintable && key <= kLastPrintable;
  const char echoed = static_cast<char>(key);
  if (printable || (key == ' ' && kind == Input_Kind::kKeys)) put_dialogue({&echoed, 1});
}

// The next key from the terminal itself, what was written shown first.
int terminal_key() {
  flush_output_or_fail();
  const int key = read_console_key(text(Text::kMenuPrompt), console_encoding_in_use());
  if (key == kConsoleFailed) fail_reading();
  return key;
}

}  // namespace

int read_key() {
  const int key = input_kind_read() == Input_Kind::kKeys ? terminal_key() : next_menu_key();
  if (key != kEndOfInput) echo(key);
  return key;
}
