// Runs the built program with the given bytes on standard input (a pipe) and
// collects what it writes.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

struct Program_Run {
  std::string out;
  std::string err;
  int exit_status = -1;  // -1 unless it exited
  int signal = 0;        // the signal that ended it, if one did
  bool timed_out = false;
};

// How the program is connected. Its input pipe may be left non-blocking, and
// the input written only after a while; so may its output pipe, read only
// after a while; or standard input or output may be a file instead of a pipe.
struct Run_Setup {
  bool nonblocking = false;
  std::chrono::milliseconds delay{0};
  bool nonblocking_output = false;
  std::chrono::milliseconds output_delay{0};
  const char* input_path = nullptr;
  const char* output_path = nullptr;
  std::vector<std::string> arguments{};
  bool output_closed = false;          // by its reader, before the program writes
  std::size_t pause_after = SIZE_MAX;  // input bytes written before a pause
  std::chrono::milliseconds pause{0};
};

// `environment` is the whole environment, as NAME=value strings.
Program_Run run_program(const std::string& input, const std::vector<std::string>& environment = {},
                        std::chrono::milliseconds limit = std::chrono::seconds(20),
                        const Run_Setup& setup = {});

// The path of the program under test.
const char* program_path();

// Compares two byte strings; on a difference, shows where it starts and the
// bytes around it instead of both whole strings.
#define EXPECT_SAME_BYTES(actual, expected) EXPECT_PRED_FORMAT2(::same_bytes, actual, expected)

::testing::AssertionResult same_bytes(const char* actual_expr, const char* expected_expr,
                                      const std::string& actual, const std::string& expected);

// Whether the program under test is the Windows executable, run under wine.
bool testing_windows_executable();

// `text` with the line ends of the program under test: "\r\n" for the Windows
// executable, "\n" elsewhere.
std::string with_line_ends(const std::string& text);

// A session case: its input and the exact output it must produce, ending with
// status 0 and nothing on standard error.
struct Session {
  const char* what;
  std::string input;
  std::string output;
};

void expect_clean_session(const std::string& input, const std::string& output);
