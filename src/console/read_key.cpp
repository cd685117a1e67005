#include "console/read_key.h"

#include "console/input.h"
#include "console/output.h"
#include "console/platform.h"

namespace {

constexpr int kFirstPrintable = 0x21;  // a space is echoed only on a terminal
constexpr int kLastPrintable = 0x7e;

void echo(int key) {
  const bool printable = key >= kFirstPrintable && key <= kLastPrintable;
  if (printable || (key == ' ' && input_is_terminal())) put_char(static_cast<char>(key));
}

}  // namespace

int read_key() {
  const int key = input_is_terminal() ? read_console_key() : next_nonblank_byte();
  if (key != kEndOfInput) echo(key);
  return key;
}
