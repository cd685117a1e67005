// Random sessions of mixed bytes: the program must always come to the end of
// its input and return, quietly and in time. The sessions run in this
// process, over the seam the fuzz target uses, as a pipe or file feeds them.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

#include "console/input_source.h"
#include "console/menu.h"
#include "console/output.h"
#include "score_tables_helpers.h"

namespace {

constexpr int kSessionsPerShard = 100;
constexpr int kShards = 6;

class Session_Maker {
 public:
  explicit Session_Maker(std::uint32_t seed) : random_(seed) {}

  std::string make() {
    std::string session;
    switch (pick(4)) {
      case 0:  // bytes of every kind, no structure at all
        for (int i = pick(400); i > 0; --i) session += random_byte();
        break;
      case 1:  // enough plausible entries to fill the table
        for (int i = 0; i < 100 + pick(20); ++i) session += plausible_entry();
        [[fallthrough]];
      default:  // menu items with answers good and bad
        for (int i = pick(60); i > 0; --i) session += item();
        break;
    }
    if (pick(4) == 0) session += '5';
    return session;
  }

 private:
  int pick(int below) { return std::uniform_int_distribution<int>(0, below - 1)(random_); }

  char random_byte() { return static_cast<char>(pick(256)); }

  std::string plausible_entry() {
    return "1 " + std::to_string(pick(5)) + " " + std::to_string(pick(1000)) + " name\n" +
           std::to_string(pick(120)) + " " + std::to_string(pick(101)) + " " +
           std::to_string(pick(101)) + " " + std::to_string(pick(101)) + "\n";
  }

  std::string item() {
    static const char* const kKeys[] = {"1", "1", "1", "2", "2", "3", "3", "4", "x", "\x04", "\n"};
    std::string out = kKeys[pick(sizeof kKeys / sizeof kKeys[0])];
    for (int i = pick(9); i > 0; --i) out += answer() + separator();
    return out;
  }

  std::string separator() {
    static const char* const kSeparators[] = {"\n", " ", "\r\n", "\t", "", "\n\n"};
    return kSeparators[pick(sizeof kSeparators / sizeof kSeparators[0])];
  }

  std::string answer() {
    static constexpr std::string_view kTokens[] = {"0",
                                                   "1",
                                                   "4",
                                                   "5",
                                                   "-1",
                                                   "119",
                                                   "120",
                                                   "99",
                                                   "+7",
                                                   "-",
                                                   "+",
                                                   "2147483647",
                                                   "-2147483648",
                                                   "2147483648",
                                                   "99999999999999999999999",
                                                   "80.5",
                                                   "1e39",
                                                   "-1e39",
                                                   "nan",
                                                   "inf",
                                                   "-infinity",
                                                   "0x1p3",
                                                   "1e",
                                                   ".",
                                                   "3.4028235e38",
                                                   "1e-50",
                                                   "abc",
                                                   "\xd5\xc5\xc8\xfd",
                                                   "\xe5\xbc\xa0\xe4\xb8\x89",
                                                   "",
                                                   "12 Bob",
                                                   "80 90 70",
                                                   std::string_view("\0", 1),
                                                   "\xff\xfe",
                                                   "(",
                                                   "nan(123)"};
    constexpr int kCount = sizeof kTokens / sizeof kTokens[0];
    switch (pick(10)) {
      case 0: return std::string(static_cast<std::size_t>(pick(300)), 'n');  // about the name limit
      case 1: return long_line();
      case 2: {
        std::string bytes;
        for (int i = pick(20); i > 0; --i) bytes += random_byte();
        return bytes;
      }
      default: return std::string(kTokens[pick(kCount)]);
    }
  }

  // Longer than the program's input buffer, sometimes a run of digits.
  std::string long_line() {
    const auto length = static_cast<std::size_t>(1000 + pick(80000));
    return std::string(length, pick(2) == 0 ? '7' : 'q');
  }

  std::mt19937 random_;
};

std::string printable(const std::string& bytes) {
  std::string shown;
  for (const char character : bytes) {
    const auto byte = static_cast<unsigned char>(character);
    if (byte >= 0x20 && byte < 0x7f && byte != '\\') {
      shown += static_cast<char>(byte);
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
      shown += escaped;
    }
  }
  return shown;
}

// One session with `session` as standard input and standard output on
// /dev/null, from empty tables. Standard error stays the test's own: the only
// things that could write there (a failure's message, a sanitizer's report)
// also end the process, so a session that returns has written nothing there.
// A session that does not end in time ends the whole test run by SIGALRM.
void run_in_process(const std::string& session, unsigned seconds_allowed) {
  static const int input = memfd_create("session", 0);
  static const int discarded = open("/dev/null", O_WRONLY);
  ASSERT_GE(input, 0);
  ASSERT_GE(discarded, 0);
  ASSERT_EQ(ftruncate(input, 0), 0);
  ASSERT_EQ(pwrite(input, session.data(), session.size(), 0), static_cast<ssize_t>(session.size()));
  ASSERT_EQ(lseek(input, 0, SEEK_SET), 0);
  std::fflush(stdout);
  const int saved_input = dup(STDIN_FILENO);
  const int saved_output = dup(STDOUT_FILENO);
  dup2(input, STDIN_FILENO);
  dup2(discarded, STDOUT_FILENO);
  clear_score_tables();
  input_reset();
  alarm(seconds_allowed);
  run_menu();
  alarm(0);
  ASSERT_TRUE(flush_output());
  dup2(saved_input, STDIN_FILENO);
  dup2(saved_output, STDOUT_FILENO);
  close(saved_input);
  close(saved_output);
}

class Stress : public ::testing::TestWithParam<int> {};

TEST_P(Stress, RandomSessionsEndCleanly) {
  const int shard = GetParam();
  for (int i = 0; i < kSessionsPerShard; ++i) {
    const auto seed = static_cast<std::uint32_t>(shard * kSessionsPerShard + i + 1);
    const std::string session = Session_Maker(seed).make();
    // Kept while it runs: after a crash or a hang it is there to replay.
    const std::string replay = "stress_session_" + std::to_string(seed) + ".txt";
    std::ofstream(replay, std::ios::binary) << session;
    // Generous for a sanitizer build; only a hang runs past it.
    run_in_process(session, static_cast<unsigned>(10 + session.size() / 10000));
    if (HasFailure()) {
      ADD_FAILURE() << "seed " << seed << ", session saved to " << replay << ": "
                    << printable(session.substr(0, 2000));
      return;
    }
    std::remove(replay.c_str());
  }
}

INSTANTIATE_TEST_SUITE_P(Shards, Stress, ::testing::Range(0, kShards));

}  // namespace
