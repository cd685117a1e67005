#include "console/command_line.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "console/input_source.h"
#include "console/output.h"
#include "console/platform/platform.h"
#include "console/program.h"
#include "console/script_text.h"
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

bool is_option(const char* argument, const char* long_name, const char* short_name) {
  return std::strcmp(argument, long_name) == 0 || std::strcmp(argument, short_name) == 0;
}

// --help or --version, each alone: the answer, and the end.
[[noreturn]] void answer(const char* option) {
  start_program();
  if (is_option(option, "--help", "-h")) {
    put_text(text(Text::kUsage));
    put_text(text(Text::kHelp));
    if (has_man_pages()) put_text(text(Text::kHelpManual));
  } else {
    put_text("exam_scores " EXAM_SCORES_VERSION "\n");
  }
  finish_program();
}

std::vector<Input_File> files;

// The files named, after the options; an option that is none, or an empty
// name, is refused.
void collect_files(int argc, const char* const* argv) {
  bool options_ended = false;
  for (int i = 1; i < argc; ++i) {
    const char* argument = argv[i];
    if (!options_ended && std::strcmp(argument, "--") == 0) {
      options_ended = true;
      continue;
    }
    const bool option = !options_ended && argument[0] == '-' && argument[1] != '\0';
    if (option || argument[0] == '\0') refuse(argument);
    files.push_back({argument, -1, {}});
  }
}

// Every file opened, then checked, before anything is read or written.
void open_files() {
  for (Input_File& file : files) {
    file.descriptor = open_input_file(file.name);
    if (file.descriptor < 0) fail_file(file.name);
  }
  for (Input_File& file : files) {
    if (!read_opening(file.descriptor, file.opening)) fail_file(file.name);
    if (is_workbook(file.opening)) refuse_workbook(file.name);
  }
}

}  // namespace

void take_command_line(int argc, const char* const* argv) {
  if (argc > 1 && (is_option(argv[1], "--help", "-h") || is_option(argv[1], "--version", "-V"))) {
    if (argc > 2) refuse(argv[2]);
    answer(argv[1]);
  }
  collect_files(argc, argv);
  open_files();
}

const std::vector<Input_File>& files_given() { return files; }
