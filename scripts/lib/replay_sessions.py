#!/usr/bin/env python3
"""Replays every NAME.session of a folder with a given program and compares what it prints
and the trace it writes with NAME.out, NAME.err and the golden trace replay_NAME.txt, as
tests/cli/replay_portable_test.cpp does natively (the folder's README.md says how).

Usage: replay_sessions.py SESSIONS GOLDEN FIGURES [--windows] PROGRAM...
  (for example: replay_sessions.py tests/data/replay tests/data/golden figures --windows wine64 ostrel.exe)
--windows is for the Windows build under Wine: the paths given to the program start with the
drive that maps the Unix root, and what README.md ("Session files") says differs there is left
out of the comparison: the trace's step lines ("# N step", noted when a step's messages are
posted, so before the calls of earlier steps) and OutputDebugString lines, and the warning
for a gesture left open. The calls and their order are the same.
A session that holds Shift or Ctrl cannot play on a build that reads the real keyboard: the
program warns so on standard error, and that session is skipped.
Prints one line per session that differs, with the difference; exits 1 if any did.
"""
import os
import subprocess
import sys
import tempfile

CANNOT_HOLD = "this build cannot hold Shift or Ctrl"
LEFT_OPEN = "warning: a gesture is still open after this line"


def lines(text):
    return text.replace("\r", "").splitlines()


def read_lines(path):
    if not os.path.exists(path):
        return []
    with open(path, encoding="utf-8") as f:
        return lines(f.read())


def matches(got, want):
    """Whether got matches want, where a wanted "..." stands for any lines and a wanted line
    ending in "..." for one line that starts with the text before it."""
    if not want:
        return not got
    line = want[0]
    if line == "...":
        return any(matches(got[g:], want[1:]) for g in range(len(got) + 1))
    if not got:
        return False
    same = got[0].startswith(line[:-3]) if len(line) > 3 and line.endswith("...") else got[0] == line
    return same and matches(got[1:], want[1:])


def main(argv):
    if len(argv) < 4:
        sys.exit(__doc__)
    sessions, golden, figures, program = argv[0], argv[1], argv[2], argv[3:]
    windows = program[0] == "--windows"
    if windows:
        program = program[1:]
    drive = "Z:" if windows else ""
    figures = os.path.abspath(figures)
    # The sessions play from their folder: the program's own path must not depend on it.
    program = [os.path.abspath(arg) if os.path.exists(arg) else arg for arg in program]
    played = skipped = bad = 0
    for entry in sorted(os.listdir(sessions)):
        name, ext = os.path.splitext(entry)
        if ext != ".session":
            continue
        with tempfile.TemporaryDirectory() as work:
            trace = drive + os.path.join(work, "t.trace")
            run = subprocess.run(program + ["replay", entry, "--trace", trace, "--folder", drive + figures],
                                 cwd=sessions, stdin=subprocess.DEVNULL, capture_output=True,
                                 encoding="utf-8", errors="replace")
            err = lines(run.stderr)
            if any(CANNOT_HOLD in line for line in err):
                skipped += 1
                continue
            played += 1
            out = lines(run.stdout)
            got_trace = read_lines(os.path.join(work, "t.trace"))
        problems = []
        if run.returncode != 0:
            problems.append("exit %d" % run.returncode)
        if not out or out[-1] != "wrote " + trace:
            problems.append("no line 'wrote %s' at the end of standard output" % trace)
        if not matches(out[:-1], read_lines(os.path.join(sessions, name + ".out"))):
            problems.append("standard output:\n      " + "\n      ".join(out))
        want_err = read_lines(os.path.join(sessions, name + ".err"))
        if windows:
            want_err = [line for line in want_err if LEFT_OPEN not in line]
        if not matches(err, want_err):
            problems.append("standard error:\n      " + "\n      ".join(err))
        want_trace = read_lines(os.path.join(golden, "replay_" + name + ".txt"))
        if windows:
            calls = lambda trace: [l for l in trace if not l.startswith(("# ", "OutputDebugString "))]
            got_trace, want_trace = calls(got_trace), calls(want_trace)
        for i in range(max(len(got_trace), len(want_trace))):
            got = got_trace[i] if i < len(got_trace) else "(end)"
            want = want_trace[i] if i < len(want_trace) else "(end)"
            if got != want:
                where = "trace line %d%s" % (i + 1, " (step lines left out)" if windows else "")
                problems.append('%s: got "%s", expected "%s"' % (where, got, want))
                break
        if problems:
            bad += 1
            print("%s: differs" % entry)
            for problem in problems:
                print("    " + problem)
    print("%d sessions played, %d skipped (they hold keys), %d differ" % (played, skipped, bad))
    return 0 if played > 0 and bad == 0 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
