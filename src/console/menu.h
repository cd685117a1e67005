// The main menu loop and the data-entry dialogue.
#pragma once

// Runs the menu until item 5 or the end of input, then ends the process with
// status 0 once everything is written, or with status 1 when output or input
// fails. Never returns.
[[noreturn]] void Data_Reception();

// Seams for the fuzz target and the in-process tests only.
namespace test_seams {

// One session of the menu loop on standard input and output, from the first
// menu to item 5 or the end of input; returns then. The tables keep what was
// entered.
void run_menu();

}  // namespace test_seams
