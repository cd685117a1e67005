// libFuzzer target: the fuzzer's bytes are a whole session on standard input.
// Each input runs the menu loop from a fresh start (empty tables, nothing
// buffered) until item 5 or the end of input; output goes to /dev/null.
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "console/input_source.h"
#include "console/menu.h"
#include "console/output.h"
#include "console/script_text.h"
#include "console/texts.h"
#include "score_tables_helpers.h"

namespace {

int session_fd = -1;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  session_fd = memfd_create("session", 0);
  const int null_fd = open("/dev/null", O_WRONLY);
  if (session_fd < 0 || null_fd < 0 || dup2(null_fd, STDOUT_FILENO) < 0) std::abort();
  close(null_fd);
  // GBK texts exercise the converted formats as well.
  use_console_encoding(Console_Encoding::kGbk);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A workbook's signature ends the program at its first bytes, as it should.
  Script_Opening opening;
  opening.length = std::min(size, sizeof opening.bytes);
  std::memcpy(opening.bytes, data, opening.length);
  if (is_workbook(opening)) return 0;
  if (ftruncate(session_fd, 0) != 0 ||
      pwrite(session_fd, data, size, 0) != static_cast<ssize_t>(size) ||
      lseek(session_fd, 0, SEEK_SET) != 0 || dup2(session_fd, STDIN_FILENO) < 0) {
    std::abort();
  }
  clear_score_tables();
  input_reset();
  run_menu();
  if (!flush_output()) std::abort();
  return 0;
}
