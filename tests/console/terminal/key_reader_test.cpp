// Keys and lines from a scripted terminal: bytes, pauses and signals in, the
// keys and lines the reader gives out.
#include "console/terminal/key_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "case_names.h"

namespace {

constexpr char kPause = '\xff';    // nothing comes for as long as a timed wait lasts
constexpr char kResumed = '\xfe';  // continued after a stop

std::string script;
std::size_t script_at = 0;
std::string shown;

Byte_Read scripted_byte(unsigned char& byte, int milliseconds, Terminal_Events& events) {
  for (; script_at < script.size(); ++script_at) {
    const char next = script[script_at];
    if (next == kResumed) {
      ++script_at;
      events.resumed = true;
      return Byte_Read::kSignalled;
    }
    if (next != kPause) break;
    if (milliseconds >= 0) {
      ++script_at;
      return Byte_Read::kTimedOut;
    }
  }
  if (script_at == script.size()) return Byte_Read::kEnded;
  byte = static_cast<unsigned char>(script[script_at++]);
  return Byte_Read::kByte;
}

const Terminal_Port kScripted{scripted_byte, [] { return false; },
                              [](std::string_view bytes) { shown += bytes; }, [] { return 80; },
                              [] {
                                return Editing_Keys{0x7f, 0x04};
                              }};

struct Reader_Case {
  const char* what;
  bool menu;  // keys for the menu, else lines
  std::string typed;
  std::vector<std::string> read;  // each key or line, "END" for the end
  Console_Encoding encoding = Console_Encoding::kUtf8;
  std::string shown_again = "";  // drawn again on resuming
};

class KeyReader : public ::testing::TestWithParam<Reader_Case> {};

TEST_P(KeyReader, GivesKeysAndLines) {
  const Reader_Case& row = GetParam();
  script = row.typed;
  script_at = 0;
  shown.clear();
  std::vector<std::string> read;
  while (read.empty() || read.back() != "END") {
    if (row.menu) {
      const int key = read_terminal_key(kScripted, "P: ", row.encoding);
      read.push_back(key == kEndOfInput ? "END"
                     : key == kEscape   ? "ESC"
                                        : std::string(1, static_cast<char>(key)));
    } else {
      char line[4096];
      const std::ptrdiff_t length =
          read_terminal_line(kScripted, {line, sizeof line, "P: ", row.encoding, [](int) {}});
      read.push_back(length <= 0 ? "END" : std::string(line, static_cast<std::size_t>(length)));
    }
  }
  read.pop_back();
  EXPECT_EQ(read, row.read);
  if (!row.shown_again.empty()) EXPECT_NE(shown.find(row.shown_again), std::string::npos) << shown;
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyReader,
    ::testing::Values(
        Reader_Case{"PageUp is one key", true, "\x1b[5~4", {"ESC", "4"}},
        Reader_Case{"function key of the Linux console", true, "\x1b[[A4", {"ESC", "4"}},
        Reader_Case{"Esc alone after a pause",
                    true,
                    "\x1b\xff"
                    "4",
                    {"ESC", "4"}},
        Reader_Case{"PageUp late after its Esc", true, "\x1b\xff[5~4", {"ESC", "4"}},
        Reader_Case{"the menu waits for a begun sequence", true, "\x1bO\xffP4", {"ESC", "4"}},
        Reader_Case{"Esc then O in a line", false, "\x1b\xffO\r", {"O\n"}},
        Reader_Case{"Esc [ cut short by Enter", true, "\x1b[\r4", {"ESC", "\r", "4"}},
        Reader_Case{"end of file key",
                    true,
                    "4\x04"
                    "5",
                    {"4"}},
        Reader_Case{"four GB18030 bytes are one key",
                    true,
                    "\x95\x34\xb2\x35"
                    "4",
                    {"\x95", "4"},
                    Console_Encoding::kGb18030},
        Reader_Case{"a GBK pair is a key a byte",
                    true,
                    "\xc0\xee",
                    {"\xc0", "\xee"},
                    Console_Encoding::kGb18030},
        Reader_Case{"resumed at the menu",
                    true,
                    "\xfe"
                    "4",
                    {"4"},
                    Console_Encoding::kUtf8,
                    "P: "},
        Reader_Case{"CR LF is one Enter", false, "80\r\n90\r", {"80\n", "90\n"}},
        Reader_Case{"Alt [ then a pause leaves the typing",
                    false,
                    "\x1b[\xff"
                    "80\r",
                    {"80\n"}},
        Reader_Case{"end of file key on an empty line",
                    false,
                    "80\r\x04"
                    "90\r",
                    {"80\n"}},
        Reader_Case{"hung up mid-line", false, "8", {"8"}},
        Reader_Case{"resumed in a line",
                    false,
                    "8\xfe"
                    "0\r",
                    {"80\n"},
                    Console_Encoding::kUtf8,
                    "\x1b[JP: 8"}),
    readable_case_name{});

}  // namespace
