// The main menu loop and the data-entry dialogue.
#pragma once

// Runs the menu over each file named on the command line, its dialogue not
// shown and a summary after it, then over standard input, until item 5 or the
// end of input; then ends the process with status 0 once everything is
// written, or with status 1 when output or input fails. Never returns.
[[noreturn]] void Data_Reception();

// The menu loop on the input last reset, from the first menu to item 5 (true)
// or the end of input (false). The tables keep what was entered.
bool run_menu();
