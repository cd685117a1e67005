#!/usr/bin/env python3
"""Whole-session benchmark: 99 entries over the five exams, then 20,000 student
and class queries, piped through the program with its output going to
/dev/null. Compares the wall time with `cat` passing the same output bytes
through a pipe (the I/O floor) and reports the program's peak memory."""

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
GOAL_RATIO = 3.0
GOAL_PEAK_KIB = 4 * 1024


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


def timed_pipeline(feeder, consumer, consumer_stdout):
    """Runs `feeder | consumer`; returns (seconds, what consumer wrote on stderr)."""
    start = time.perf_counter()
    feed = subprocess.Popen(feeder, stdout=subprocess.PIPE)
    env = dict(os.environ, LC_ALL="C.UTF-8")
    work = subprocess.Popen(consumer, stdin=feed.stdout, stdout=consumer_stdout,
                            stderr=subprocess.PIPE, env=env)
    feed.stdout.close()
    _, errors = work.communicate()
    feed.wait()
    elapsed = time.perf_counter() - start
    if work.returncode != 0:
        sys.exit(f"{consumer[0]} ended with status {work.returncode}")
    return elapsed, errors.decode()


def main():
    program, peak_memory = sys.argv[1], sys.argv[2]
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
        with open(os.devnull, "wb") as null:
            for _ in range(RUNS):
                seconds, _ = timed_pipeline(["cat", script_path], [program], null)
                session_times.append(seconds)
                floor_seconds, _ = timed_pipeline(["cat", output_path], ["cat"], null)
                floor_times.append(floor_seconds)
            # Measured apart, so the launcher costs the timings nothing.
            _, peak_text = timed_pipeline(["cat", script_path], [peak_memory, program], null)

    session = statistics.median(session_times)
    floor = statistics.median(floor_times)
    ratio = session / floor
    peak = int(peak_text)
    print(f"session: {ENTRIES} entries and {QUERIES} queries, "
          f"{input_bytes} "
          f"input bytes, {output_bytes} output bytes (median of {RUNS} runs)")
    print(f"  session wall time   {session * 1000:8.2f} ms")
    print(f"  cat floor           {floor * 1000:8.2f} ms")
    print(f"  ratio               {ratio:8.2f}  (goal at most {GOAL_RATIO:.0f})")
    print(f"  peak memory         {peak:8d} KiB (goal at most {GOAL_PEAK_KIB} KiB)")
    met = ratio <= GOAL_RATIO and peak <= GOAL_PEAK_KIB
    print("  goals met" if met else "  GOALS NOT MET")


if __name__ == "__main__":
    main()
