// A real terminal for tests: tmux, driven by keys typed or pasted and judged
// by the screen a person would see.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <string>
#include <thread>
#include <utility>

inline constexpr auto kScreenPatience = std::chrono::seconds(20);  // guards against hangs only

// A word quoted for the shell.
inline std::string quoted(const std::string& word) {
  std::string out = "'";
  for (char ch : word) out += ch == '\'' ? std::string("'\\''") : std::string(1, ch);
  return out + "'";
}

namespace screen_detail {
inline std::string hex_words(const std::string& bytes) {
  std::string out;
  char word[4];
  for (const char byte : bytes) {
    std::snprintf(word, sizeof word, " %02x", static_cast<unsigned char>(byte));
    out += word;
  }
  return out;
}
}  // namespace screen_detail

// One tmux server of its own with one window running `command`; after the
// command the window stays, showing "[status N]".
class Screen {
 public:
  Screen(const std::string& command, int columns = 80, int rows = 30)
      : socket_("exam_scores_test_" + std::to_string(getpid()) + "_" + std::to_string(++count_)) {
    const std::string shell_command = command + "; echo \"[status $?]\"; exec sleep 600";
    // History enough for a whole pasted session, set before the window exists.
    tmux("start-server \\; set-option -g history-limit 100000 \\; new-session -d -x " +
         std::to_string(columns) + " -y " + std::to_string(rows) + " " + quoted(shell_command));
  }
  ~Screen() { tmux("kill-server"); }
  Screen(const Screen&) = delete;
  Screen& operator=(const Screen&) = delete;

  // As typed: the bytes go to the terminal in order, key by key.
  void type(const std::string& bytes) { tmux("send-keys -H" + screen_detail::hex_words(bytes)); }

  // As pasted: the whole text in one write, line breaks as Enter ("\r"), or
  // as they stand in `text`.
  void paste(const std::string& text, bool line_ends_as_they_stand = false) {
    FILE* buffer = popen(("tmux -L " + socket_ + " load-buffer -").c_str(), "w");
    ASSERT_NE(buffer, nullptr);
    std::fwrite(text.data(), 1, text.size(), buffer);
    pclose(buffer);
    tmux(line_ends_as_they_stand ? "paste-buffer -d -r" : "paste-buffer -d");
  }

  // Every row, history included, without the blank rows at the end; rows that
  // the terminal wrapped are one when `joined`.
  std::string rows(bool joined = false) {
    std::string shown = tmux(joined ? "capture-pane -p -J -S -" : "capture-pane -p -S -");
    while (!shown.empty() && shown.back() == '\n') shown.pop_back();
    return shown + "\n";
  }

  std::string last_row() {
    std::string shown = rows();
    shown.pop_back();
    return shown.substr(shown.rfind('\n') + 1);
  }

  // Waits until the screen shows `text` (`times` times, or more).
  bool shows(const std::string& text, std::size_t times = 1) {
    const auto deadline = std::chrono::steady_clock::now() + kScreenPatience;
    for (;;) {
      if (count_of(rows(), text) >= times) return true;
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }

  bool last_row_is(const std::string& text) {
    const auto deadline = std::chrono::steady_clock::now() + kScreenPatience;
    while (last_row() != text) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
  }

  // Waits until the program has taken the terminal out of its line mode, so
  // that keys typed from now on reach it rather than the terminal's own echo.
  bool takes_keys() {
    const std::string tty = tmux("display -p '#{pane_tty}'");
    const int fd = open(tty.substr(0, tty.find('\n')).c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return false;
    const auto deadline = std::chrono::steady_clock::now() + kScreenPatience;
    termios mode{};
    while (tcgetattr(fd, &mode) == 0 && (mode.c_lflag & ICANON) != 0 &&
           std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    close(fd);
    return (mode.c_lflag & ICANON) == 0;
  }

  // Column and row of the cursor on the visible screen.
  std::pair<int, int> cursor() {
    int column = -1, row = -1;
    std::sscanf(tmux("display -p '#{cursor_x} #{cursor_y}'").c_str(), "%d %d", &column, &row);
    return {column, row};
  }

  static std::size_t count_of(const std::string& in, const std::string& text) {
    std::size_t count = 0;
    for (auto at = in.find(text); at != std::string::npos; at = in.find(text, at + text.size()))
      ++count;
    return count;
  }

 private:
  std::string tmux(const std::string& arguments) {
    const std::string command = "tmux -L " + socket_ + " -f /dev/null " + arguments + " 2>&1";
    FILE* out = popen(command.c_str(), "r");
    if (out == nullptr) return {};
    std::string text;
    char chunk[4096];
    for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, out)) > 0;)
      text.append(chunk, got);
    pclose(out);
    return text;
  }

  static inline int count_ = 0;
  std::string socket_;
};
