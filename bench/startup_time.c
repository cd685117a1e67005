/* Start-up time of two programs, run in turn RUNS times each with standard
 * input and output on /dev/null: prints the mean wall time of each in
 * microseconds, one per line. Taking turns spreads the machine's noise evenly
 * over both. */
#include <fcntl.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <time.h>

extern char** environ;

static double seconds_now(void) {
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return (double)now.tv_sec + (double)now.tv_nsec / 1e9;
}

int main(int argc, char** argv) {
  if (argc != 4) {
    fputs("usage: startup_time RUNS PROGRAM YARDSTICK\n", stderr);
    return 2;
  }
  const int runs = atoi(argv[1]);
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
  double total[2] = {0, 0};
  for (int run = 0; run < runs; ++run) {
    for (int which = 0; which < 2; ++which) {
      char* command[] = {argv[2 + which], NULL};
      const double start = seconds_now();
      pid_t child = 0;
      int status = 0;
      if (posix_spawn(&child, command[0], &files, NULL, command, environ) != 0 ||
          waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        fprintf(stderr, "startup_time: %s failed\n", command[0]);
        return 1;
      }
      total[which] += seconds_now() - start;
    }
  }
  printf("%.1f\n%.1f\n", total[0] / runs * 1e6, total[1] / runs * 1e6);
  return 0;
}
