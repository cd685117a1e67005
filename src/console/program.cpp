#include "console/program.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "console/output.h"
#include "console/platform/platform.h"
#include "console/texts.h"

namespace {

constexpr const char* kProgramName = "exam_scores";

// Every end goes through here: from now on the console is as it was found,
// and nothing takes it again.
[[noreturn]] void end_program(int status) {
  end_console();
  std::exit(status);  // what the platform set up for the run is put back
}

// Before a failure's line on standard error, which is unbuffered: the line
// goes out at once, whatever became of standard output.
void leave_console() {
  end_console();
  end_row_on_terminal();
  (void)flush_output();  // the line break, if it can still be written
}

[[noreturn]] void fail(const char* what, int error_number) {
  leave_console();
  std::fprintf(stderr, "%s: %s: %s\n", kProgramName, what, std::strerror(error_number));
  end_program(EXIT_FAILURE);
}

}  // namespace

// Text in a code page iconv cannot make would come out garbled: the run ends
// before it begins.
void start_program() {
  start_output();
  start_console(output_is_terminal());
  const Console_Encoding encoding = choose_console_encoding(output_is_terminal());
  if (use_console_encoding(encoding)) return;
  leave_console();
  std::fprintf(stderr,
               "%s: this system cannot convert text to %s, the locale's encoding: use a "
               "UTF-8 locale instead, such as LC_ALL=C.UTF-8\n",
               kProgramName, encoding == Console_Encoding::kGb18030 ? "GB18030" : "GBK");
  end_program(EXIT_FAILURE);
}

void finish_program() {
  end_console();
  end_row_on_terminal();
  flush_output_or_fail();
  end_program(EXIT_SUCCESS);
}

void flush_output_or_fail() {
  if (flush_output()) return;
  // The reader has gone (the pipe's SIGPIPE ignored, or Windows): nobody is
  // left to tell, and a reader that quits early is no error of ours.
  if (errno == EPIPE) end_program(EXIT_FAILURE);
  fail("write error", errno != 0 ? errno : EIO);
}

void fail_reading() { fail("read error", errno != 0 ? errno : EIO); }

void fail_file(const char* name) { fail(name, errno != 0 ? errno : EIO); }

void refuse_workbook(const char* name) {
  leave_console();
  std::fprintf(stderr,
               "%s: %s is a spreadsheet workbook, not text: save it as CSV or as tab-separated "
               "text\n",
               kProgramName, name);
  end_program(EXIT_FAILURE);
}
