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
  if (input_is_terminal() && !input_takes_keys()) return;
  const bool printable = key >= kFirstPrintable && key <= kLastPrintable;
  if (printable || (key == ' ' && input_takes_keys())) put_char(static_cast<char>(key));
}

// The next key from the terminal itself, what was written shown first.
int terminal_key() {
  flush_output();
  const int key = read_console_key(text(Text::kMenuPrompt), console_encoding_in_use());
  if (key == kConsoleFailed) fail_reading();
  return key == kConsoleEnded ? kEndOfInput : key;
}

}  // namespace

int read_key() {
  const int key = input_takes_keys() ? terminal_key() : next_menu_key();
  if (key != kEndOfInput) echo(key);
  return key;
}
