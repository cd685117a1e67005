#include "console/read_key.h"

#include "console/input.h"
#include "console/output.h"
#include "console/platform.h"
#include "console/texts.h"

namespace {

constexpr int kFirstPrintable = 0x21;  // a space is echoed only on a terminal
constexpr int kLastPrintable = 0x7e;

void echo(int key) {
  const bool printable = key >= kFirstPrintable && key <= kLastPrintable;
  if (printable || (key == ' ' && input_is_terminal())) put_char(static_cast<char>(key));
}

// The next key from the terminal itself, what was written shown first.
int terminal_key() {
  flush_output();
  const int key = read_console_key(text(Text::kMenuPrompt));
  if (key == kConsoleFailed) fail_reading();
  return key == kConsoleEnded ? kEndOfInput : key;
}

}  // namespace

int read_key() {
  const int key = input_is_terminal() ? terminal_key() : next_menu_key();
  if (key != kEndOfInput) echo(key);
  return key;
}
