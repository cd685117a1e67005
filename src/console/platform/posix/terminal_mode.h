// The POSIX terminal's rules, apart from the terminal itself.
#pragma once

#include <sys/types.h>
#include <termios.h>

// The mode the program reads keys in, made from the mode found: no line
// editing, no echo, no extensions (Ctrl-O, Ctrl-V), Enter as "\r"; signals
// from the keyboard stay.
termios key_mode_from(const termios& found);

// Whether a process of group `own_group` holds a terminal whose foreground
// group is `foreground` (tcgetpgrp's result, failing with `error_number`). One
// that is not the controlling terminal has no foreground: it counts as held.
bool terminal_is_held(pid_t foreground, int error_number, pid_t own_group);

// Whether a terminal of type `term` (the TERM variable, null when unset) can
// move its cursor and be driven key by key.
bool terminal_moves_cursor(const char* term);
