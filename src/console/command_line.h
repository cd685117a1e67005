// The program's arguments: --help and --version answer and end the program;
// any other argument is refused.
#pragma once

// Returns when there are no arguments; otherwise ends the program, with
// status 0 after --help or --version and 2 after anything else.
void take_command_line(int argc, const char* const* argv);
