#include "console/command_line.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "console/output.h"
#include "console/platform/platform.h"
#include "console/program.h"
#include "console/texts.h"

#ifndef EXAM_SCORES_VERSION
#define EXAM_SCORES_VERSION "unknown"
#endif

namespace {

constexpr int kUsageStatus = 2;

[[noreturn]] void refuse(const char* argument) {
  // Nothing has been written to standard output yet: standard error alone.
  const std::string_view refusal = text(Text::kUnknownArgument);
  const std::string_view usage = text(Text::kUsage);
  std::fprintf(stderr, "%.*s%s\n%.*s", static_cast<int>(refusal.size()), refusal.data(), argument,
               static_cast<int>(usage.size()), usage.data());
  std::exit(kUsageStatus);
}

}  // namespace

void take_command_line(int argc, const char* const* argv) {
  if (argc <= 1) return;
  start_program();
  const bool help = std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0;
  const bool version = std::strcmp(argv[1], "--version") == 0 || std::strcmp(argv[1], "-V") == 0;
  if (!help && !version) refuse(argv[1]);
  if (argc > 2) refuse(argv[2]);
  if (help) {
    put_text(text(Text::kUsage));
    put_text(text(Text::kHelp));
    if (has_man_pages()) put_text(text(Text::kHelpManual));
  } else {
    put_text("exam_scores " EXAM_SCORES_VERSION "\n");
  }
  finish_program();
}
