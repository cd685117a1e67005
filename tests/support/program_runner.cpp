#include "program_runner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

const char* program_path() { return EXAM_SCORES_PATH; }

namespace {

void close_if_open(int& fd) {
  if (fd >= 0) close(fd);
  fd = -1;
}

}  // namespace

Program_Run run_program(const std::string& input, const std::vector<std::string>& environment,
                        std::chrono::milliseconds limit, const Run_Setup& setup) {
  int to_child[2], from_child[2], errors_from_child[2];
  if (pipe(to_child) != 0 || pipe(from_child) != 0 || pipe(errors_from_child) != 0) std::abort();
  if (setup.nonblocking) fcntl(to_child[0], F_SETFL, O_NONBLOCK);
  if (setup.nonblocking_output) fcntl(from_child[1], F_SETFL, O_NONBLOCK);

  std::vector<char*> env;
  for (const std::string& setting : environment) env.push_back(const_cast<char*>(setting.c_str()));
  env.push_back(nullptr);

  const pid_t child = fork();
  if (child == 0) {
    dup2(to_child[0], STDIN_FILENO);
    dup2(from_child[1], STDOUT_FILENO);
    if (setup.input_path != nullptr) dup2(open(setup.input_path, O_RDONLY), STDIN_FILENO);
    if (setup.output_path != nullptr) dup2(open(setup.output_path, O_WRONLY), STDOUT_FILENO);
    dup2(errors_from_child[1], STDERR_FILENO);
    for (int fd : {to_child[0], to_child[1], from_child[0], from_child[1], errors_from_child[0],
                   errors_from_child[1]})
      close(fd);
    std::vector<char*> argv{const_cast<char*>(program_path())};
    for (const std::string& argument : setup.arguments) {
      argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    signal(SIGPIPE, SIG_DFL);  // as a shell starts it, whatever this process ignores
    execve(program_path(), argv.data(), env.data());
    _exit(127);
  }
  close(to_child[0]);
  close(from_child[1]);
  close(errors_from_child[1]);
  int input_fd = to_child[1];
  int output_fd = from_child[0];
  if (setup.output_closed) close_if_open(output_fd);
  int error_fd = errors_from_child[0];
  fcntl(input_fd, F_SETFL, O_NONBLOCK);
  // The program may end without reading everything.
  signal(SIGPIPE, SIG_IGN);

  Program_Run run;
  std::size_t written = 0;
  if (input.empty()) close_if_open(input_fd);
  const auto started = std::chrono::steady_clock::now();
  const auto deadline = started + limit;
  auto input_from = started + setup.delay;
  const auto output_from = started + setup.output_delay;
  char chunk[65536];
  while (output_fd >= 0 || error_fd >= 0) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      run.timed_out = true;
      kill(child, SIGKILL);
      break;
    }
    auto wait = left;
    const auto due = [&](std::chrono::steady_clock::time_point from) {
      const auto now = std::chrono::steady_clock::now();
      if (now >= from) return true;
      wait = std::min(wait, std::chrono::duration_cast<std::chrono::milliseconds>(from - now) +
                                std::chrono::milliseconds(1));
      return false;
    };
    const bool input_due = due(input_from);
    const bool output_due = due(output_from);
    pollfd watched[3] = {{output_due ? output_fd : -1, POLLIN, 0},
                         {error_fd, POLLIN, 0},
                         {input_due ? input_fd : -1, POLLOUT, 0}};
    if (poll(watched, 3, static_cast<int>(wait.count())) < 0 && errno != EINTR) std::abort();
    for (int i = 0; i < 2; ++i) {
      if (watched[i].fd < 0 || watched[i].revents == 0) continue;
      const ssize_t got = read(watched[i].fd, chunk, sizeof chunk);
      if (got > 0) {
        (i == 0 ? run.out : run.err).append(chunk, static_cast<std::size_t>(got));
      } else if (got == 0 || errno != EINTR) {
        close_if_open(i == 0 ? output_fd : error_fd);
      }
    }
    if (input_fd >= 0 && watched[2].revents != 0) {
      const std::size_t until = written < setup.pause_after ? setup.pause_after : input.size();
      const ssize_t put =
          write(input_fd, input.data() + written, std::min(until, input.size()) - written);
      if (put > 0) written += static_cast<std::size_t>(put);
      if (put > 0 && written == setup.pause_after)
        input_from = std::chrono::steady_clock::now() + setup.pause;
      if ((put < 0 && errno != EAGAIN && errno != EINTR) || written == input.size())
        close_if_open(input_fd);
    }
  }
  close_if_open(input_fd);
  close_if_open(output_fd);
  close_if_open(error_fd);
  int status = 0;
  waitpid(child, &status, 0);
  if (WIFEXITED(status)) run.exit_status = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) run.signal = WTERMSIG(status);
  return run;
}

::testing::AssertionResult same_bytes(const char* actual_expr, const char* expected_expr,
                                      const std::string& actual, const std::string& expected) {
  if (actual == expected) return ::testing::AssertionSuccess();
  std::size_t at = 0;
  while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) ++at;
  constexpr std::size_t kContext = 60;
  const std::size_t from = at > kContext ? at - kContext : 0;
  return ::testing::AssertionFailure()
         << actual_expr << " and " << expected_expr << " differ at byte " << at << " (sizes "
         << actual.size() << " and " << expected.size()
         << ")\n  actual:   " << ::testing::PrintToString(actual.substr(from, 2 * kContext))
         << "\n  expected: " << ::testing::PrintToString(expected.substr(from, 2 * kContext));
}

bool testing_windows_executable() { return EXAM_SCORES_CRLF_LINE_ENDS != 0; }

std::string with_line_ends(const std::string& text) {
  if (!testing_windows_executable()) return text;
  const std::string line_end = "\r\n";
  std::string converted;
  for (char ch : text) {
    if (ch == '\n') {
      converted += line_end;
    } else {
      converted += ch;
    }
  }
  return converted;
}

void expect_clean_session(const std::string& input, const std::string& output) {
  const Program_Run run = run_program(input, {"LC_ALL=C.UTF-8"});
  EXPECT_SAME_BYTES(run.out, with_line_ends(output));
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.exit_status, 0);
  EXPECT_FALSE(run.timed_out);
}
