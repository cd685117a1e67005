// The terminal on standard input, held in key mode for the whole run: taken
// when the program first has the foreground, given back for Ctrl-Z and taken
// again by the waiting loop, given back at every end (the seam's
// end_console(), async-signal-safe), every ending signal included. No signal
// handler runs inside another, none waits, and none takes the terminal: the
// mode kept to give back is always the terminal's own.
#pragma once

#include <signal.h>
#include <sys/types.h>
#include <termios.h>

#include "console/platform/platform.h"

// The mode the program reads keys in, made from the mode found: no line
// editing, no echo, Enter as "\r"; signals from the keyboard stay.
termios key_mode_from(const termios& found);

// Whether a process of group `own_group` holds a terminal whose foreground
// group is `foreground` (tcgetpgrp's result, failing with `error_number`). One
// that is not the controlling terminal has no foreground: it counts as held.
bool terminal_is_held(pid_t foreground, int error_number, pid_t own_group);

// Whether a terminal of type `term` (the TERM variable, null when unset) can
// move its cursor and be driven key by key.
bool terminal_moves_cursor(const char* term);

// Installs the signal handling for the run and takes the terminal if the
// program is in the foreground; everything goes back at exit. An ending
// signal writes its line breaks on `rows_fd`. False when standard input is
// not a terminal.
bool start_terminal(int rows_fd);

// Before each wait for a key: in the background the program stops, as reading
// would stop it; holding the terminal but not in key mode (continued, or a
// stop the kernel discarded), it takes the terminal again.
void ready_terminal_for_reading();

// The mode found when the terminal was last taken.
const termios& mode_found();

// Signals seen since the last call; `resumed` only when the program holds the
// terminal.
Terminal_Events take_terminal_events();

// The signal mask for a wait for input, the only time when the signals the
// waiting loop acts on arrive. Null before start_terminal().
const sigset_t* signals_open_while_waiting();
