// The terminal on standard input, held in key mode for the whole run: taken
// when the program first has the foreground, given back for Ctrl-Z and taken
// again on continuing, given back at every end, every ending signal included.
// Between reads, typed and pasted bytes wait in the kernel untouched.
#pragma once

#include <signal.h>
#include <sys/types.h>
#include <termios.h>

// The mode the program reads keys in, made from the mode found: no line
// editing, no echo, Enter as "\r"; signals from the keyboard stay.
termios key_mode_from(const termios& found);

// Whether a process of group `own_group` holds a terminal whose foreground
// group is `foreground` (tcgetpgrp's result; when it failed, with
// `error_number`). A terminal that is not the process's controlling one has
// no foreground to give or take: it counts as held.
bool terminal_is_held(pid_t foreground, int error_number, pid_t own_group);

// Whether a terminal of type `term` (the TERM variable, null when unset) can
// move its cursor and be driven key by key; line editors keep a list of the
// ones that cannot.
bool terminal_moves_cursor(const char* term);

// Installs the signal handling for the run and takes the terminal if the
// program is in the foreground; everything goes back at exit. False, and
// nothing done, when standard input is not a terminal.
bool start_terminal();

// Whether the program holds the terminal now (in the foreground, or on a
// terminal that is not its controlling one).
bool holds_terminal();

// Takes the terminal into key mode, the mode to give back read afresh, when
// the program holds it and has not taken it yet. Async-signal-safe.
void take_terminal();

// The program waits for input from a terminal it does not hold: it stops, as
// reading would stop it, and takes the terminal when continued.
void stop_for_terminal_input();

// The mode found when the terminal was last taken: its own keys for erasing
// and for the end of input.
const termios& mode_found();

// Signals seen since the last call: continued (the prompt belongs on screen
// again) and resized.
struct Terminal_Events {
  bool resumed = false;
  bool resized = false;
};
Terminal_Events take_terminal_events();

// How many line breaks an ending signal writes, on the terminal the program
// shows its rows on, so that what the shell writes next stands on a row of its
// own: 0 while the cursor is at the start of an empty row, else enough to take
// it below everything the program has on screen. Set beforehand, so that the
// handler only writes.
void set_line_breaks_for_ending(int count);

// The program has begun to end: the terminal goes back to its own mode, and
// from now on nothing takes it again (stops, continuing and resizing do
// nothing).
void end_terminal();

// The signal mask for a wait for input: the signals whose events the waiting
// loop acts on arrive during the wait and at no other time. Null before
// start_terminal().
const sigset_t* signals_open_while_waiting();
