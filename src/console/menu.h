// The main menu loop and the data-entry dialogue.
#pragma once

// Runs the menu over each file named on the command line, its dialogue not
// shown and a summary after it, then over standard input, until item 5 or the
// end of input; then ends the process with status 0 once everything is
// written, or with status 1 when output or input fails. Never returns.
[[noreturn]] void Data_Reception();

// Seams for the fuzz target and the in-process tests only.
namespace test_seams {

// One session of the menu loop on the input last reset and standard output,
// from the first menu to item 5 (true) or the end of input (false); returns
// then. The tables keep what was entered.
bool run_menu();

}  // namespace test_seams
