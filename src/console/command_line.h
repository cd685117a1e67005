// The program's arguments: --help and --version answer and end the program;
// files are opened for the menu to read first; any other option is refused.
#pragma once

#include <vector>

#include "console/input_source.h"

// Returns with the files named opened and checked; otherwise ends the
// program: with status 0 after --help or --version, 1 for a file that cannot
// be opened or read or is a spreadsheet workbook, and 2 after an argument
// refused.
void take_command_line(int argc, const char* const* argv);

// The files named, in their order, to be read before standard input.
const std::vector<Input_File>& files_given();
