/* Runs a command with this process's standard input and output and prints its
 * peak resident memory in KiB to standard error. The peak the kernel reports
 * includes the forked copy of the launcher before exec, so the launcher is a
 * small static C program, far below what it measures. */
#include <stdio.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char** argv) {
  if (argc < 2) {
    fputs("usage: peak_memory COMMAND [ARG...]\n", stderr);
    return 2;
  }
  const pid_t child = fork();
  if (child == 0) {
    execvp(argv[1], argv + 1);
    _exit(127);
  }
  int status = 0;
  struct rusage usage = {0};
  if (child < 0 || wait4(child, &status, 0, &usage) != child) return 2;
  fprintf(stderr, "%ld\n", usage.ru_maxrss);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}
