// The program under a pseudo-terminal: keys without Enter, echo, and the
// terminal's mode after every way out.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "case_names.h"
#include "expected_texts.h"
#include "gbk.h"
#include "program_runner.h"

using namespace expected;

namespace {

constexpr auto kPatience = std::chrono::seconds(20);  // guards against hangs only

// Who leads the session on the pseudo-terminal.
enum class Leader {
  kProgram,     // the program itself
  kJobControl,  // a process that puts the program in a group of its own in the
                // foreground and waits for it, as a shell would, so that the
                // group is not orphaned and stop signals really stop it
  kShell,       // an interactive bash with job control; the test types commands
  kProgramWithoutControllingTerminal,  // the program, in a session of its own
                                       // that has no controlling terminal
};

// The program, or a shell, on the slave side of a new pseudo-terminal, in a
// session of its own.
class Terminal_Session {
 public:
  explicit Terminal_Session(Leader leader = Leader::kProgram, bool nonblocking = false,
                            const char* locale = "LC_ALL=C.UTF-8",
                            const char* terminal = "TERM=xterm")
      : locale_(locale), terminal_(terminal) {
    if (openpty(&master_, &slave_, nullptr, nullptr, nullptr) != 0) std::abort();
    // As another program may leave it: for everyone who shares the terminal.
    if (nonblocking) fcntl(slave_, F_SETFL, O_NONBLOCK);
    int pid_pipe[2];
    if (pipe(pid_pipe) != 0) std::abort();
    leader_ = fork();
    if (leader_ == 0) {
      close(pid_pipe[0]);
      setsid();
      if (leader == Leader::kProgramWithoutControllingTerminal) exec_program();
      ioctl(slave_, TIOCSCTTY, 0);
      if (leader == Leader::kShell) exec_shell();
      if (leader == Leader::kProgram) exec_program();
      const pid_t program = fork();
      if (program == 0) {
        setpgid(0, 0);
        exec_program();
      }
      setpgid(program, program);
      if (write(pid_pipe[1], &program, sizeof program) != sizeof program) _exit(126);
      signal(SIGTTOU, SIG_IGN);
      tcsetpgrp(slave_, program);
      int status = 0;
      while (waitpid(program, &status, 0) < 0) {
      }
      _exit(WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
    }
    close(pid_pipe[1]);
    if (leader == Leader::kProgram || leader == Leader::kProgramWithoutControllingTerminal) {
      program_ = leader_;
    }
    if (leader == Leader::kJobControl &&
        read(pid_pipe[0], &program_, sizeof program_) != sizeof program_) {
      program_ = -1;
    }
    close(pid_pipe[0]);
  }

  ~Terminal_Session() {
    if (leader_ > 0 && !reaped_) {
      if (program_ > 0) kill(program_, SIGKILL);
      kill(leader_, SIGKILL);
      waitpid(leader_, nullptr, 0);
    }
    close(master_);
    close(slave_);
  }

  // The program's pid; -1 when a shell started it.
  pid_t program() const { return program_; }

  // Only ever the process the test started: never a group, never 0 or -1.
  void signal_program(int signal_number) {
    ASSERT_GT(program_, 0);
    kill(program_, signal_number);
  }

  void send(const std::string& bytes) {
    ASSERT_EQ(write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }

  // Reads until `text` has appeared since the last wait; true if it did.
  bool wait_for(const std::string& text) {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    for (;;) {
      const auto found = seen_.find(text, consumed_);
      if (found != std::string::npos) {
        consumed_ = found + text.size();
        return true;
      }
      if (std::chrono::steady_clock::now() > deadline || read_some() < 0) return false;
    }
  }

  // Everything shown so far, line breaks as "\n".
  const std::string& seen() const { return seen_; }

  termios mode() const {
    termios now{};
    tcgetattr(slave_, &now);
    return now;
  }

  bool set_mode(const termios& mode) { return tcsetattr(slave_, TCSANOW, &mode) == 0; }

  bool cooked() const {
    constexpr tcflag_t kLineMode = ICANON | ECHO | IEXTEN;
    return (mode().c_lflag & kLineMode) == kLineMode;
  }
  bool in_key_mode() const { return (mode().c_lflag & (ICANON | ECHO | IEXTEN)) == 0; }

  // The raw wait status of the process started (or of the session leader,
  // which passes on the program's exit status, or 128 + its signal).
  int finish() {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    int status = 0;
    while (waitpid(leader_, &status, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > deadline) {
        ADD_FAILURE() << "the program did not end";
        return -1;
      }
      read_some();
    }
    reaped_ = true;
    while (read_some() > 0) {  // what it wrote last may still be on its way
    }
    return status;
  }

 private:
  void use_terminal_for_standard_files() {
    const rlimit no_core{0, 0};
    setrlimit(RLIMIT_CORE, &no_core);
    dup2(slave_, STDIN_FILENO);
    dup2(slave_, STDOUT_FILENO);
    dup2(slave_, STDERR_FILENO);
    close(master_);
    close(slave_);
  }

  [[noreturn]] void exec_program() {
    use_terminal_for_standard_files();
    signal(SIGPIPE, SIG_DFL);  // as a shell starts it, whatever this process ignores
    char* argv[] = {const_cast<char*>(program_path()), nullptr};
    std::string locale = locale_;
    std::string terminal = terminal_;
    char* env[] = {locale.data(), terminal.data(), nullptr};
    execve(program_path(), argv, env);
    _exit(127);
  }

  [[noreturn]] void exec_shell() {
    use_terminal_for_standard_files();
    char shell[] = "/bin/bash";
    char no_rc[] = "--norc";
    char no_profile[] = "--noprofile";
    char interactive[] = "-i";
    char* argv[] = {shell, no_rc, no_profile, interactive, nullptr};
    char locale[] = "LC_ALL=C.UTF-8";
    char prompt[] = "PS1=$ ";
    char terminal[] = "TERM=dumb";
    char path[] = "PATH=/usr/bin:/bin";
    char* env[] = {locale, prompt, terminal, path, nullptr};
    execve(shell, argv, env);
    _exit(127);
  }

  // Bytes read, 0 when nothing came for a while, -1 when nothing more can.
  ssize_t read_some() {
    pollfd watched{master_, POLLIN, 0};
    if (poll(&watched, 1, 50) <= 0) return 0;
    char chunk[4096];
    const ssize_t got = read(master_, chunk, sizeof chunk);
    if (got <= 0) return -1;
    for (ssize_t i = 0; i < got; ++i)
      if (chunk[i] != '\r') seen_ += chunk[i];
    return got;
  }

  std::string locale_;
  std::string terminal_;
  int master_ = -1;
  int slave_ = -1;
  pid_t leader_ = -1;
  pid_t program_ = -1;
  bool reaped_ = false;
  std::string seen_;
  std::size_t consumed_ = 0;
};

bool exited_with(int status, int code) { return WIFEXITED(status) && WEXITSTATUS(status) == code; }

bool eventually(const std::function<bool()>& condition) {
  const auto deadline = std::chrono::steady_clock::now() + kPatience;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

char process_state(pid_t pid) {
  FILE* stat = std::fopen(("/proc/" + std::to_string(pid) + "/stat").c_str(), "r");
  if (stat == nullptr) return '?';
  char state = '?';
  if (std::fscanf(stat, "%*d %*s %c", &state) != 1) state = '?';
  std::fclose(stat);
  return state;
}

// The system call the process is blocked in, as /proc numbers it; -1 if none.
long blocking_system_call(pid_t pid) {
  FILE* calls = std::fopen(("/proc/" + std::to_string(pid) + "/syscall").c_str(), "r");
  if (calls == nullptr) return -1;
  long number = -1;
  if (std::fscanf(calls, "%ld", &number) != 1) number = -1;
  std::fclose(calls);
  return number;
}

TEST(Terminal, KeyIsTakenWithoutEnterAndEchoed) {
  Terminal_Session session;
  ASSERT_TRUE(session.wait_for(kMenu));
  EXPECT_TRUE(session.in_key_mode());
  session.send("4");
  ASSERT_TRUE(session.wait_for("4\n" + kNotYet + kMenu));
  session.send(" ");
  ASSERT_TRUE(session.wait_for(" \n" + kMenu));
  session.send("5");
  EXPECT_TRUE(exited_with(session.finish(), 0));
  EXPECT_TRUE(session.cooked());
  EXPECT_EQ(session.seen(), kMenu + "4\n" + kNotYet + kMenu + " \n" + kMenu + "5\n");
}

TEST(Terminal, LineBreakAfterTheLastScoreIsNotAKey) {
  Terminal_Session session;
  ASSERT_TRUE(session.wait_for(kMenu));
  session.send("1");
  for (const auto& [prompt, answer] : {std::pair{kExam, "0\n"},
                                       {kNumber, "12\n"},
                                       {kName, "Bob\n"},
                                       {kClass, "7\n"},
                                       {kChinese, "80\n"},
                                       {kMath, "90\n"},
                                       {kEnglish, "70 \n"}}) {
    ASSERT_TRUE(session.wait_for(prompt));
    EXPECT_TRUE(session.in_key_mode()) << "dialogue lines are typed in key mode too: " << prompt;
    session.send(answer);
  }
  ASSERT_TRUE(session.wait_for(kMenu));
  session.send("2");
  ASSERT_TRUE(session.wait_for(kExam));
  session.send("0 12\n");
  ASSERT_TRUE(session.wait_for(kMenu));
  session.send("5");
  EXPECT_TRUE(exited_with(session.finish(), 0));
  const std::string after_entry = session.seen().substr(session.seen().find(kEnglish));
  EXPECT_EQ(after_entry, kEnglish + "70 \n" + kMenu + "2\n" + kExam + "0 12\n" + kNumber +
                             student_report("Bob", 0, 80, 90, 70, 240, 1) + kMenu + "5\n");
}

TEST(Terminal, KeysTypedAheadAreKept) {
  Terminal_Session session;
  ASSERT_TRUE(session.wait_for(kMenu));
  session.send("1");
  ASSERT_TRUE(session.wait_for(kExam));
  session.send("0\n12\nBob\n7\n80\n90\n70\n45");
  ASSERT_TRUE(session.wait_for(kNotYet));
  EXPECT_TRUE(exited_with(session.finish(), 0));
}

TEST(Terminal, CtrlDAtTheMenuEndsWithStatus0) {
  Terminal_Session session;
  ASSERT_TRUE(session.wait_for(kMenu));
  session.send("\x04");
  EXPECT_TRUE(exited_with(session.finish(), 0));
  EXPECT_TRUE(session.cooked());
  EXPECT_EQ(session.seen(), kMenu);
}

TEST(Terminal, CtrlDInADialogueEndsWithStatus0) {
  Terminal_Session session;
  ASSERT_TRUE(session.wait_for(kMenu));
  session.send("2");
  ASSERT_TRUE(session.wait_for(kExam));
  session.send("\x04");
  EXPECT_TRUE(exited_with(session.finish(), 0));
  EXPECT_TRUE(session.cooked());
}

// Output that the terminal cannot take while Ctrl-S holds it waits for
// Ctrl-Q, also when the terminal was left non-blocking.
TEST(Terminal, OutputHeldByCtrlSWaitsForCtrlQ) {
  Terminal_Session session(Leader::kProgram, /*nonblocking=*/true);
  ASSERT_TRUE(session.wait_for(kMenu));
  session.send("\x13");  // Ctrl-S
  session.send("4");
  // Held: blocked in its write, or in the wait for the terminal to take more.
  EXPECT_TRUE(eventually([&] {
    const long call = blocking_system_call(session.program());
    return call == SYS_write || call == SYS_pselect6;
  }));
  session.send("\x11");  // Ctrl-Q
  ASSERT_TRUE(session.wait_for("4\n" + kNotYet + kMenu));
  session.send("5");
  EXPECT_TRUE(exited_with(session.finish(), 0));
  EXPECT_TRUE(session.cooked());
}

// A terminal that is not the controlling one is held all the same: keys
// without Enter, answers echoed once.
TEST(Terminal, NotTheControllingTerminalIsHeldToo) {
  Terminal_Session session(Leader::kProgramWithoutControllingTerminal);
  ASSERT_TRUE(session.wait_for(kMenu));
  EXPECT_TRUE(session.in_key_mode());
  session.send("2");
  ASSERT_TRUE(session.wait_for(kExam));
  session.send("0\r");
  ASSERT_TRUE(session.wait_for(kNumber));
  session.send("12\r5");
  EXPECT_TRUE(exited_with(session.finish(), 0));
  EXPECT_TRUE(session.cooked());
  EXPECT_EQ(session.seen(), menu_key("2") + kExam + "0\n" + kNumber + "12\n" +
                                student_report("", 0, 0, 0, 0, 0, 0) + menu_key("5"));
}

// A terminal that cannot move its cursor sends whole lines and echoes them
// itself: the program leaves its mode alone, writes no escape sequence and
// echoes nothing, and reads it line by line, the leftovers of an item's last
// line dropped as at other terminals.
TEST(Terminal, DumbTerminalIsReadLikeAPipe) {
  Terminal_Session session(Leader::kProgram, false, "LC_ALL=C.UTF-8", "TERM=dumb");
  ASSERT_TRUE(session.wait_for(kMenu));
  EXPECT_TRUE(session.cooked());
  session.send("4\n");
  ASSERT_TRUE(session.wait_for("4\n\n" + kNotYet + kMenu));
  session.send("2\n");
  ASSERT_TRUE(session.wait_for(kExam));
  session.send("\n");
  ASSERT_TRUE(session.wait_for("\n" + kExam));
  session.send("0 12 5\n");
  ASSERT_TRUE(session.wait_for(kMenu));
  session.send("5\n");
  EXPECT_TRUE(exited_with(session.finish(), 0));
  EXPECT_TRUE(session.cooked());
  EXPECT_EQ(session.seen().find('\x1b'), std::string::npos) << session.seen();
  EXPECT_EQ(session.seen(), kMenu + "4\n\n" + kNotYet + kMenu + "2\n\n" + kExam + "\n" + kExam +
                                "0 12 5\n" + kNumber + student_report("", 0, 0, 0, 0, 0, 0) +
                                kLeftover + kMenu + "5\n\n");
}

// On a GB18030 terminal a four-byte character is one key at the menu and one
// character in a line.
TEST(Terminal, Gb18030FourByteCharacterIsOneKeyAndOneCharacter) {
  const std::string jiyi = "\x95\x34\xb2\x35";  // U+20BB7
  const std::string li = "\xc0\xee";            // 李
  Terminal_Session session(Leader::kProgram, false, "LC_ALL=zh_CN.GB18030");
  ASSERT_TRUE(session.wait_for(to_gbk(kMenu)));
  session.send(jiyi);
  ASSERT_TRUE(session.wait_for("\n" + to_gbk(kMenu)));
  session.send("1");
  ASSERT_TRUE(session.wait_for(to_gbk(kExam)));
  session.send("0 12 ab" + jiyi + li + "\x1b[D\x7f\r7 80 90 70\r");
  ASSERT_TRUE(session.wait_for(to_gbk(kMenu)));
  session.send("2");
  ASSERT_TRUE(session.wait_for(to_gbk(kExam)));
  session.send("0 12\r");
  ASSERT_TRUE(session.wait_for(to_gbk(kMenu)));
  session.send("5");
  EXPECT_TRUE(exited_with(session.finish(), 0));
  EXPECT_NE(session.seen().find("ab" + li + to_gbk("同学在第0次的考试中")), std::string::npos)
      << session.seen();
  std::size_t menus = 0;
  for (auto at = session.seen().find(to_gbk(kMenu)); at != std::string::npos;
       at = session.seen().find(to_gbk(kMenu), at + 1)) {
    ++menus;
  }
  EXPECT_EQ(menus, 4U) << "the character at the menu is one key";
}

// What is left on the line of an item's last answer is dropped with a notice
// after the item's output; the next item's answers land where they are typed.
TEST(Terminal, LeftoversOfAnItemsLastLineAreDropped) {
  Terminal_Session session;
  ASSERT_TRUE(session.wait_for(kMenu));
  session.send("1");
  ASSERT_TRUE(session.wait_for(kExam));
  session.send("0 12 Bob\r7\r80 90 70 3\r");
  ASSERT_TRUE(session.wait_for(kEnglish + kLeftover + kMenu));
  session.send("2");
  ASSERT_TRUE(session.wait_for(kExam));
  session.send("0 12 5\r");
  ASSERT_TRUE(session.wait_for(student_report("Bob", 0, 80, 90, 70, 240, 1) + kLeftover + kMenu));
  session.send("5");
  EXPECT_TRUE(exited_with(session.finish(), 0));
}

// Rows copied from a spreadsheet and pasted at the menu: one entry a row.
TEST(Terminal, SpreadsheetRowsPastedAtTheMenu) {
  Terminal_Session session;
  ASSERT_TRUE(session.wait_for(kMenu));
  session.send("1\t0\t12\t李雷\t7\t80\t90\t70\r1\t0\t13\t韩梅梅\t7\t90\t90\t90\r3");
  ASSERT_TRUE(session.wait_for(kExam));
  session.send("0 7\r2");
  ASSERT_TRUE(session.wait_for(kExam));
  session.send("0 12\r5");
  EXPECT_TRUE(exited_with(session.finish(), 0));
  EXPECT_NE(session.seen().find(kExam + " 0 12 李雷 7 80 90 70\n"), std::string::npos)
      << session.seen();  // each tab shown as a space
  EXPECT_NE(session.seen().find("7班在第0的考试中\n语文平均分为：85.0\n数学平均分为：90.0\n"),
            std::string::npos)
      << session.seen();
  EXPECT_NE(session.seen().find(student_report("李雷", 0, 80, 90, 70, 240, 2)), std::string::npos);
}

// A sequence left unfinished in a line ends after a pause, and what is typed
// after it is text: Alt+[, then the scores.
TEST(Terminal, UnfinishedSequenceInALineDoesNotEatTyping) {
  Terminal_Session session;
  ASSERT_TRUE(session.wait_for(kMenu));
  session.send("1");
  ASSERT_TRUE(session.wait_for(kExam));
  session.send("0 12 Bob\r7\r\x1b[");
  ASSERT_TRUE(session.wait_for(kChinese));
  std::this_thread::sleep_for(std::chrono::milliseconds(700));  // the pause is the case
  session.send("80 90 70\r2");
  ASSERT_TRUE(session.wait_for(kExam));
  session.send("0 12\r");
  ASSERT_TRUE(session.wait_for(student_report("Bob", 0, 80, 90, 70, 240, 1)));
  session.send("5");
  EXPECT_TRUE(exited_with(session.finish(), 0));
}

TEST(Terminal, EndOfInputKeyIsTheTerminals) {
  Terminal_Session session;
  termios mode = session.mode();
  mode.c_cc[VEOF] = 0x18;  // Ctrl-X
  ASSERT_TRUE(session.set_mode(mode));
  ASSERT_TRUE(session.wait_for(kMenu));
  session.send("\x04");
  ASSERT_TRUE(session.wait_for("\n" + kMenu));
  session.send("\x18");
  EXPECT_TRUE(exited_with(session.finish(), 0));
  EXPECT_EQ(session.seen(), kMenu + "\n" + kMenu);
}

struct Ending {
  const char* what;
  const char* keys;  // typed at the menu, or nullptr to send `signal` directly
  int signal;
  bool in_a_line = false;      // while a dialogue line is typed, not at the menu
  bool output_paused = false;  // by Ctrl-S first
};

class EndingSignal : public ::testing::TestWithParam<Ending> {};

TEST_P(EndingSignal, TerminalModeComesBack) {
  const Ending& ending = GetParam();
  Terminal_Session session;
  ASSERT_TRUE(session.wait_for(kMenu));
  if (ending.in_a_line) {
    session.send("1");
    ASSERT_TRUE(session.wait_for(kExam));
    session.send("0\r12\rBo");
    ASSERT_TRUE(session.wait_for(kName + "Bo"));
  }
  ASSERT_FALSE(session.cooked());
  if (ending.output_paused) {
    session.send("\x13");
    session.send("4");  // its output waits
    ASSERT_TRUE(eventually([&] {
      const long call = blocking_system_call(session.program());
      return call == SYS_write || call == SYS_pselect6;
    }));
  }
  if (ending.keys != nullptr) {
    session.send(ending.keys);
  } else {
    session.signal_program(ending.signal);
  }
  const auto sent = std::chrono::steady_clock::now();
  const int status = session.finish();
  EXPECT_LT(std::chrono::steady_clock::now() - sent, std::chrono::seconds(2)) << "ends at once";
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == ending.signal) << status;
  EXPECT_TRUE(session.cooked());
}

INSTANTIATE_TEST_SUITE_P(
    Signals, EndingSignal,
    ::testing::Values(Ending{"CtrlC", "\x03", SIGINT}, Ending{"CtrlBackslash", "\x1c", SIGQUIT},
                      Ending{"SIGTERM", nullptr, SIGTERM}, Ending{"SIGHUP", nullptr, SIGHUP},
                      Ending{"SIGPIPE", nullptr, SIGPIPE}, Ending{"SIGUSR1", nullptr, SIGUSR1},
                      Ending{"SIGABRT", nullptr, SIGABRT},
                      Ending{"CtrlC in a line", "\x03", SIGINT, true},
                      Ending{"SIGTERM in a line", nullptr, SIGTERM, true},
                      Ending{"SIGSEGV in a line", nullptr, SIGSEGV, true},
                      Ending{"SIGTERM with output paused", nullptr, SIGTERM, true, true}),
    readable_case_name{});

// Stops sent as fast as can be, where the kernel discards them: at the menu
// for a while before 5 is pressed, or from just before 5 until the end. Every
// time status 0 and the terminal in its own mode.
struct Stop_Storm {
  const char* what;
  int trials;
  bool until_the_end;
};

class StopStorm : public ::testing::TestWithParam<Stop_Storm> {};

TEST_P(StopStorm, LeavesTheTerminalAsItWas) {
  for (int trial = 0; trial < GetParam().trials; ++trial) {
    Terminal_Session session;
    ASSERT_TRUE(session.wait_for(kMenu));
    const pid_t program = session.program();
    const auto storm_ends = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
    const bool until_the_end = GetParam().until_the_end;
    std::thread storm([&] {
      while (until_the_end ? process_state(program) != 'Z' && process_state(program) != '?'
                           : std::chrono::steady_clock::now() < storm_ends) {
        kill(program, SIGTSTP);
      }
    });
    if (!until_the_end) storm.join();
    session.send("5");
    if (until_the_end) storm.join();
    EXPECT_TRUE(exited_with(session.finish(), 0)) << "trial " << trial;
    EXPECT_TRUE(session.cooked() && (session.mode().c_iflag & ICRNL) != 0) << "trial " << trial;
  }
}

INSTANTIATE_TEST_SUITE_P(Stops, StopStorm,
                         ::testing::Values(Stop_Storm{"at the menu", 5, false},
                                           Stop_Storm{"until the end", 20, true}),
                         readable_case_name{});

TEST(Terminal, CtrlZRestoresAndContinueTakesKeysAgain) {
  Terminal_Session session(Leader::kJobControl);
  ASSERT_TRUE(session.wait_for(kMenu));
  const pid_t program = session.program();
  ASSERT_GT(program, 0);
  ASSERT_FALSE(session.cooked());
  session.send("\x1a");
  EXPECT_TRUE(eventually([&] { return process_state(program) == 'T'; }));
  EXPECT_TRUE(session.cooked());
  kill(program, SIGCONT);
  EXPECT_TRUE(eventually([&] { return !session.cooked(); }));
  session.send("4");
  ASSERT_TRUE(session.wait_for("4\n" + kNotYet + kMenu));
  session.send("5");
  EXPECT_TRUE(exited_with(session.finish(), 0));
  EXPECT_TRUE(session.cooked());
}

// A stop the program cannot catch, as kill -STOP sends (or one a wrapper's
// shell acted on first): on continuing, key mode comes back where the mode
// was changed meanwhile, and that mode is the one given back at the end.
struct Mode_While_Stopped {
  const char* what;
  bool changed;  // as a shell taking the terminal back would
};

class ContinueAfterStop : public ::testing::TestWithParam<Mode_While_Stopped> {};

TEST_P(ContinueAfterStop, TakesKeysAgainAndEndsInTheRightMode) {
  Terminal_Session session;
  const termios found = session.mode();
  ASSERT_TRUE(session.wait_for(kMenu));
  const pid_t program = session.program();
  kill(program, SIGSTOP);
  ASSERT_TRUE(eventually([&] { return process_state(program) == 'T'; }));
  termios meanwhile = found;
  meanwhile.c_cc[VKILL] = 0x0b;  // a mode of its own, to tell it by
  if (GetParam().changed) ASSERT_TRUE(session.set_mode(meanwhile));
  kill(program, SIGCONT);
  session.send("4");  // without Enter, echoed once
  ASSERT_TRUE(session.wait_for("4\n" + kNotYet + kMenu)) << session.seen();
  session.send("5");
  EXPECT_TRUE(exited_with(session.finish(), 0));
  EXPECT_EQ(session.mode().c_cc[VKILL], (GetParam().changed ? meanwhile : found).c_cc[VKILL]);
  EXPECT_TRUE(session.cooked());
}

INSTANTIATE_TEST_SUITE_P(Stops, ContinueAfterStop,
                         ::testing::Values(Mode_While_Stopped{"mode changed", true},
                                           Mode_While_Stopped{"mode left alone", false}),
                         readable_case_name{});

// A file named on the command line is read first; then the menu takes its
// key from the terminal, without Enter.
TEST(Terminal, FileFirstThenQuestionsTyped) {
  const std::string path = ::testing::TempDir() + "typed_after.tsv";
  std::ofstream(path) << "1\t0\t12\tBob\t7\t80\t90\t70\n";
  Terminal_Session shell(Leader::kShell);
  ASSERT_TRUE(shell.wait_for("$ "));
  shell.send("TERM=xterm " + std::string(program_path()) + " " + path + "; echo status $?\n");
  ASSERT_TRUE(shell.wait_for("typed_after.tsv：已录入1条，0行有误。\n" + kMenu));
  shell.send("2");
  ASSERT_TRUE(shell.wait_for("2\n" + kExam));
  shell.send("0 12\r");
  ASSERT_TRUE(shell.wait_for(student_report("Bob", 0, 80, 90, 70, 240, 1) + kMenu));
  shell.send("5");
  EXPECT_TRUE(shell.wait_for("status 0"));
  shell.send("exit\n");
  EXPECT_TRUE(exited_with(shell.finish(), 0));
}

struct Background_Job {
  const char* what;
  const char* start;  // typed at the shell after the program's path
  bool suspend_and_bg;
};

class BackgroundJob : public ::testing::TestWithParam<Background_Job> {};

// Stopped in the background, the program still ends on `kill %1`.
TEST_P(BackgroundJob, EndsOnKill) {
  Terminal_Session shell(Leader::kShell);
  ASSERT_TRUE(shell.wait_for("$ "));
  shell.send("TERM=xterm " + std::string(program_path()) + GetParam().start + "\n");
  ASSERT_TRUE(shell.wait_for(kMenu));
  if (GetParam().suspend_and_bg) {
    shell.send("\x1a");
    ASSERT_TRUE(shell.wait_for("$ "));
    shell.send("bg\n");
  }
  // Once it waits for the terminal in the background, it is stopped.
  shell.send(
      "p=$!; until grep -q '^State:.T' /proc/$p/status; do sleep 0.05; done; "
      "kill %1; while kill -0 $p 2>/dev/null; do sleep 0.05; done; jobs\n");
  EXPECT_TRUE(shell.wait_for("Terminated")) << shell.seen();  // by SIGTERM, not stopped
  shell.send("exit\n");
  EXPECT_TRUE(exited_with(shell.finish(), 0));
}

INSTANTIATE_TEST_SUITE_P(Shell, BackgroundJob,
                         ::testing::Values(Background_Job{"stopped then bg", "", true},
                                           Background_Job{"started with &", " &", false}),
                         readable_case_name{});

}  // namespace
