// The decisions about the terminal's mode: key mode, who holds the terminal,
// and which terminals can be driven key by key.
#include "console/platform/posix/terminal_mode.h"

#include <gtest/gtest.h>
#include <termios.h>

#include <cerrno>

#include "case_names.h"

namespace {

TEST(KeyMode, ClearsLineModeEchoExtensionsAndCrAsNewlineOnly) {
  termios found{};
  found.c_iflag = ICRNL | IXON | BRKINT;
  found.c_oflag = OPOST | ONLCR;
  found.c_lflag = ICANON | ECHO | ECHOE | ISIG | IEXTEN;
  found.c_cc[VEOF] = 0x04;
  found.c_cc[VMIN] = 0;
  const termios key = key_mode_from(found);
  EXPECT_EQ(key.c_iflag, static_cast<tcflag_t>(IXON | BRKINT));
  EXPECT_EQ(key.c_oflag, found.c_oflag);
  EXPECT_EQ(key.c_lflag, static_cast<tcflag_t>(ECHOE | ISIG)) << "IEXTEN: Ctrl-O, Ctrl-V";
  EXPECT_EQ(key.c_cc[VEOF], 0x04);
  EXPECT_EQ(key.c_cc[VMIN], 1);
  EXPECT_EQ(key.c_cc[VTIME], 0);
  found.c_lflag &= ~static_cast<tcflag_t>(ISIG);
  EXPECT_NE(key_mode_from(found).c_lflag & ISIG, 0U) << "Ctrl-C and Ctrl-Z always signal";
}

struct Holding_Case {
  const char* what;
  pid_t foreground;
  int error_number;
  bool held;
};

class TerminalHeld : public ::testing::TestWithParam<Holding_Case> {};

TEST_P(TerminalHeld, OnlyInTheForegroundOrWithoutOne) {
  const Holding_Case& row = GetParam();
  EXPECT_EQ(terminal_is_held(row.foreground, row.error_number, 100), row.held);
}

INSTANTIATE_TEST_SUITE_P(Groups, TerminalHeld,
                         ::testing::Values(Holding_Case{"foreground", 100, 0, true},
                                           Holding_Case{"background", 200, 0, false},
                                           Holding_Case{"not the controlling terminal", -1, ENOTTY,
                                                        true},
                                           Holding_Case{"bad descriptor", -1, EBADF, false}),
                         readable_case_name{});

TEST(TerminalType, ThoseThatCannotMoveTheCursorAreNotDriven) {
  for (const char* unable : {static_cast<const char*>(nullptr), "", "dumb", "emacs", "cons25"}) {
    EXPECT_FALSE(terminal_moves_cursor(unable)) << (unable != nullptr ? unable : "unset");
  }
  for (const char* able :
       {"xterm", "xterm-256color", "screen", "tmux-256color", "linux", "vt100"}) {
    EXPECT_TRUE(terminal_moves_cursor(able)) << able;
  }
}

}  // namespace
