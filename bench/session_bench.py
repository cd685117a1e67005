#!/usr/bin/env python3
"""The release goals side by side, in one run:
- whole session: 99 entries over the five exams, then 20,000 student and class
  queries, read by the program from a file, its output read from a pipe by
  this process, against `cat` sending the same output bytes from a file into
  the same kind of pipe (the I/O floor); program and floor alone, runs taking
  turns;
- the program's peak memory in that session;
- start-up with empty input, against a plain C program that prints the same
  menu and exits;
- the executable's size."""

import os
import random
import statistics
import subprocess
import sys
import tempfile
import time

ENTRIES = 99
QUERIES = 20_000
RUNS = 7
STARTUP_RUNS = 2000
GOAL_RATIO = 1.2
GOAL_PEAK_KIB = 2 * 1024
GOAL_STARTUP_RATIO = 1.1
GOAL_EXECUTABLE_KIB = 512
LOCALE = "C.UTF-8"


def make_script(rng):
    parts = []
    for i in range(ENTRIES):
        scores = " ".join(str(rng.randint(0, 100)) for _ in range(3))
        parts.append(f"1 {i % 5} {1000 + i} 学生{i}\n{rng.randint(0, 119)} {scores}\n")
    for q in range(QUERIES):
        exam = rng.randrange(5)
        if q % 2 == 0:
            parts.append(f"2 {exam} {1000 + rng.randrange(ENTRIES + 10)}\n")
        else:
            parts.append(f"3 {exam} {rng.randrange(120)}\n")
    parts.append("5")
    return "".join(parts).encode()


def timed_pipeline(feeder, consumer, consumer_stdout=None):
    """Runs `feeder | consumer | cat >/dev/null`, or `feeder | consumer >consumer_stdout`;
    returns (seconds, what consumer wrote on stderr)."""
    start = time.perf_counter()
    feed = subprocess.Popen(feeder, stdout=subprocess.PIPE)
    env = dict(os.environ, LC_ALL=LOCALE)
    work = subprocess.Popen(consumer, stdin=feed.stdout,
                            stdout=consumer_stdout or subprocess.PIPE,
                            stderr=subprocess.PIPE, env=env)
    feed.stdout.close()
    drain = None
    if consumer_stdout is None:
        drain = subprocess.Popen(["cat"], stdin=work.stdout, stdout=subprocess.DEVNULL)
        work.stdout.close()
    errors = work.stderr.read()
    work.wait()
    if drain:
        drain.wait()
    feed.wait()
    elapsed = time.perf_counter() - start
    if work.returncode != 0:
        sys.exit(f"{consumer[0]} ended with status {work.returncode}")
    return elapsed, errors.decode()


def timed_run(command, input_path):
    """Runs `command < input_path`, reading what it writes from a pipe; returns
    the seconds until it has ended and all its output is read."""
    env = dict(os.environ, LC_ALL=LOCALE)
    with open(input_path, "rb") as source:
        start = time.perf_counter()
        run = subprocess.Popen(command, stdin=source, stdout=subprocess.PIPE,
                               stderr=subprocess.DEVNULL, env=env)
        descriptor = run.stdout.fileno()
        while os.read(descriptor, 1 << 16):
            pass
        run.wait()
        elapsed = time.perf_counter() - start
    run.stdout.close()
    if run.returncode != 0:
        sys.exit(f"{command[0]} ended with status {run.returncode}")
    return elapsed


def startup_times(startup_time, program, yardstick):
    env = dict(os.environ, LC_ALL=LOCALE)
    out = subprocess.run([startup_time, str(STARTUP_RUNS), program, yardstick], env=env,
                         check=True, capture_output=True, text=True).stdout.split()
    return float(out[0]), float(out[1])


def main():
    program, peak_memory, startup_time, yardstick = sys.argv[1:5]
    with tempfile.TemporaryDirectory() as scratch:
        script_path = os.path.join(scratch, "session.txt")
        output_path = os.path.join(scratch, "output.txt")
        script_bytes = make_script(random.Random(2026))
        input_bytes = len(script_bytes)
        with open(script_path, "wb") as script:
            script.write(script_bytes)
        with open(output_path, "wb") as output:
            timed_pipeline(["cat", script_path], [program], output)
        output_bytes = os.path.getsize(output_path)

        session_times, floor_times = [], []
        for _ in range(RUNS):
            session_times.append(timed_run([program], script_path))
            floor_times.append(timed_run(["cat"], output_path))
        # Measured apart, so the launcher costs the timings nothing.
        _, peak_text = timed_pipeline(["cat", script_path], [peak_memory, program])

    program_start, yardstick_start = startup_times(startup_time, program, yardstick)
    session = statistics.median(session_times)
    floor = statistics.median(floor_times)
    ratio = session / floor
    peak = int(peak_text)
    print(f"session: {ENTRIES} entries and {QUERIES} queries, "
          f"{input_bytes} "
          f"input bytes, {output_bytes} output bytes (median of {RUNS} runs, input from a file, "
          f"output read from a pipe)")
    print(f"  session wall time   {session * 1000:8.2f} ms")
    print(f"  cat into a pipe     {floor * 1000:8.2f} ms")
    print(f"  ratio               {ratio:8.2f}  (goal at most {GOAL_RATIO})")
    print(f"  peak memory         {peak:8d} KiB (goal at most {GOAL_PEAK_KIB} KiB)")
    start_ratio = program_start / yardstick_start
    print(f"start-up with empty input (mean of {STARTUP_RUNS} runs each, taking turns)")
    print(f"  program             {program_start:8.1f} us")
    print(f"  plain C yardstick   {yardstick_start:8.1f} us")
    print(f"  ratio               {start_ratio:8.2f}  (goal at most {GOAL_STARTUP_RATIO})")
    size_kib = os.path.getsize(program) / 1024
    print(f"executable            {size_kib:8.1f} KiB (goal at most {GOAL_EXECUTABLE_KIB} KiB)")
    met = (ratio <= GOAL_RATIO and peak <= GOAL_PEAK_KIB and start_ratio <= GOAL_STARTUP_RATIO
           and size_kib <= GOAL_EXECUTABLE_KIB)
    print("  goals met" if met else "  GOALS NOT MET")


if __name__ == "__main__":
    main()
