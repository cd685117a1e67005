#include "console/output.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "console/platform.h"

namespace {

constexpr const char* kProgramName = "exam_scores";
constexpr std::size_t kBufferBytes = std::size_t{64} * 1024;

char buffer[kBufferBytes];
std::size_t buffered = 0;
std::string row;

void note_on_row(std::string_view text) {
  const std::size_t line_break = text.rfind('\n');
  if (line_break == std::string_view::npos) {
    row.append(text);
  } else {
    row.assign(text.substr(line_break + 1));
  }
}

// Nothing is added to a pipe or a file: what they get stays as it is.
void end_row_on_terminal() {
  if (!row.empty() && standard_output_is_terminal()) put_text("\n");
}

[[noreturn]] void fail(const char* what, int error_number) {
  end_console();
  end_row_on_terminal();
  try_flush_output();  // the line break, if it can still be written
  // Standard error is unbuffered: the line goes out at once, whatever became of
  // standard output.
  std::fprintf(stderr, "%s: %s: %s\n", kProgramName, what, std::strerror(error_number));
  std::exit(EXIT_FAILURE);  // what the platform set up for the run is put back
}

void put_bytes(const char* bytes, std::size_t size) {
  // A text that does not fit goes out whole in the next write, not split
  // between two: a console decodes each write on its own.
  if (buffered + size > kBufferBytes) flush_output();
  for (;;) {
    const std::size_t part = std::min(size, kBufferBytes - buffered);
    std::memcpy(buffer + buffered, bytes, part);
    buffered += part;
    bytes += part;
    size -= part;
    if (size == 0) return;
    flush_output();
  }
}

}  // namespace

std::string_view text_on_row() { return row; }

void row_ended() { row.clear(); }

void put_text(std::string_view text) {
  note_on_row(text);
  const std::string_view end = line_end();
  if (end == "\n") {
    put_bytes(text.data(), text.size());
    return;
  }
  for (std::size_t line_break = text.find('\n'); line_break != std::string_view::npos;
       line_break = text.find('\n')) {
    put_bytes(text.data(), line_break);
    put_bytes(end.data(), end.size());
    text.remove_prefix(line_break + 1);
  }
  put_bytes(text.data(), text.size());
}

void put_char(char character) {
  if (character == '\n' || buffered == kBufferBytes) {
    put_text({&character, 1});
    return;
  }
  row += character;
  buffer[buffered++] = character;
}

bool try_flush_output() {
  if (buffered == 0) return true;
  const bool written = write_standard_output({buffer, buffered});
  buffered = 0;
  return written;
}

void fail_writing() {
  // The reader has gone (the pipe's SIGPIPE ignored, or Windows): nobody is
  // left to tell, and a reader that quits early is no error of ours.
  if (errno == EPIPE) {
    end_console();
    std::exit(EXIT_FAILURE);
  }
  fail("write error", errno != 0 ? errno : EIO);
}

void flush_output() {
  if (!try_flush_output()) fail_writing();
}

void fail_reading() { fail("read error", errno != 0 ? errno : EIO); }

void finish_output() {
  end_console();
  end_row_on_terminal();
  flush_output();
  std::exit(EXIT_SUCCESS);
}
