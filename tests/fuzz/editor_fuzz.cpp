// libFuzzer target: the fuzzer's bytes are a line typed on a terminal. The
// first bytes choose the encoding, the width, the room left and the text on
// the row before the line; the rest are keys, with 0xFF and a byte for a
// change of width and 0xFE to show what was typed so far (a paste shows it
// only at its end). After every step the line holds whole characters, the
// cursor stands at the start of one, and the screen shows the row's text and
// the line with the cursor in its place.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "editor_checks.h"

namespace {

constexpr std::uint8_t kResize = 0xff;
constexpr std::uint8_t kShow = 0xfe;

// Each in UTF-8 and in GBK (which GB18030 reads as well).
constexpr std::string_view kPrompts[][2] = {
    {"", ""},
    {"P: ", "P: "},
    {"请输入学生姓名：", "\xc7\xeb\xca\xe4\xc8\xeb\xd1\xa7\xc9\xfa\xd0\xd5\xc3\xfb\xa3\xba"},
    {"请输入学生姓名：请输入学生班级：12 ",
     "\xc7\xeb\xca\xe4\xc8\xeb\xd1\xa7\xc9\xfa\xd0\xd5\xc3\xfb\xa3\xba"
     "\xc7\xeb\xca\xe4\xc8\xeb\xd1\xa7\xc9\xfa\xb0\xe0\xbc\xb6\xa3\xba"
     "12 "},
};

int columns_from(std::uint8_t byte) { return 1 + byte % 90; }

void check(const Editor_Run& run) {
  const std::string fault = editor_fault(run);
  if (fault.empty()) return;
  std::fprintf(stderr, "%s\n", fault.c_str());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  static constexpr Console_Encoding kEncodings[] = {Console_Encoding::kUtf8, Console_Encoding::kGbk,
                                                    Console_Encoding::kGb18030};
  const Console_Encoding encoding = kEncodings[data[0] % 3];
  const int columns = columns_from(data[1]);
  const std::size_t capacity = 1 + data[2] % 64;  // small, so that the limit is met
  const std::string_view prompt =
      kPrompts[data[3] % std::size(kPrompts)][encoding == Console_Encoding::kUtf8 ? 0 : 1];
  Editor_Run run(encoding, columns, prompt, capacity);
  check(run);
  std::string pasted;
  for (std::size_t at = 4; at < size && run.step == Edit_Step::kEditing; ++at) {
    const std::uint8_t byte = data[at];
    if (byte == kShow || byte == kResize) {
      run.type(pasted, /*shown_at_end=*/true);
      pasted.clear();
      check(run);
      if (byte == kResize && at + 1 < size && run.step == Edit_Step::kEditing) {
        run.resize(columns_from(data[++at]));
      }
      check(run);
      continue;
    }
    pasted += static_cast<char>(byte);
  }
  if (run.step == Edit_Step::kEditing) run.type(pasted, /*shown_at_end=*/true);
  check(run);
  return 0;
}
