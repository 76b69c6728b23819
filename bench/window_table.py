"""The window's output beside lumenark-cli (bench/run --window): a command run from its
menu item in an editor window offscreen, timed until the window has drawn its text
scrolled to the end, beside lumenark-cli writing the same text, and beside the same
text put into a bare text document of Qt's plain text control (what the window cannot
do faster). Each side runs three times in turn; the medians are shown, with the peak
resident size. Then how soon Stop answers while the largest table streams in and while
Decompile prints a formula of 10 MB, and Undo and Redo of the largest table from the
Edit menu with the memory kept afterwards. Times on the clock, and processor times (user and system), which a
machine busy with other work changes less. The window's text is checked against
lumenark-cli's, byte for byte.

    bench/run --window [--old PATH]

--old PATH adds a column for another build's window_output_bench (an older build of
the program, say), run in the same turns.
"""
import os
import statistics
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BENCH = os.path.join(ROOT, "build", "bin", "window_output_bench")
CLI = os.path.join(ROOT, "build", "bin", "lumenark-cli")
RUNS = 3
TIMEOUT = 600


def pairs(letters, inner="&", outer="|"):
    """A&B|C&D|... over the first letters (with an odd count, the last one alone)."""
    names = [chr(ord("A") + i) for i in range(letters)]
    groups = [inner.join(names[i:i + 2]) for i in range(0, letters, 2)]
    if outer == "&":
        groups = [f"({group})" if len(group) > 1 else group for group in groups]
    return outer.join(groups)


CASES = [
    # label, lumenark-cli command, Details, formula
    ("truth table, 17 letters", "truthtable", 4, pairs(17)),
    ("truth table, 20 letters", "truthtable", 4, pairs(20)),
    ("DNF of (A|B)&..&(S|T), Details 1", "dnf", 1, pairs(20, "|", "&")),
]


def cli_run(command, details, formula, out_path):
    """(seconds, peak KB, processor seconds) of lumenark-cli writing the document to out_path."""
    with open(out_path, "wb") as out:
        result = subprocess.run(["/usr/bin/time", "-f", "%e %M %U %S", CLI, "--crlf", "--details", str(details),
                                 "-e", formula, command], stdout=out, stderr=subprocess.PIPE, text=True,
                                timeout=TIMEOUT)
    seconds, kilobytes, user, system = result.stderr.strip().splitlines()[-1].split()
    return float(seconds), int(kilobytes), float(user) + float(system)


def window_run(bench, command, details, formula, *options):
    """The fields of window_output_bench's output line, as numbers."""
    result = subprocess.run([bench, *options, command, str(details), formula], capture_output=True, text=True,
                            timeout=TIMEOUT)
    for line in result.stdout.splitlines():
        if line.startswith("output\t"):
            return [float(field) for field in line.split("\t")[1:]]
    raise RuntimeError(f"{bench}: no output line\n{result.stderr[-400:]}")


def undo_run(bench, command, details, formula):
    """The undo, redo and typed lines of window_output_bench --undo, by name, as numbers."""
    result = subprocess.run([bench, "--undo", command, str(details), formula], capture_output=True, text=True,
                            timeout=TIMEOUT)
    steps = {}
    for line in result.stdout.splitlines():
        name, *fields = line.split("\t")
        steps.setdefault(name, []).append([float(field) for field in fields])
    return steps


def formula_of(case):
    return case[3]


def megabyte_formula(megabytes):
    """(x&~y>z)|... of about megabytes, with letters from a fixed pseudo-random sequence."""
    letters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
    state, parts, size = 1, [], 0
    while size < megabytes * 1000 * 1000:
        picked = []
        for _ in range(3):
            state = (state * 1103515245 + 12345) % 2**32
            picked.append(letters[(state >> 16) % 52])
        part = f"({picked[0]}&~{picked[1]}>{picked[2]})"
        parts.append(part)
        size += len(part) + 1
    return "|".join(parts)


def document_run(path):
    """(seconds, peak KB, processor seconds) of the bare text document taking the file."""
    result = subprocess.run([BENCH, "--document", path], capture_output=True, text=True, timeout=TIMEOUT)
    fields = result.stdout.split()
    return float(fields[1]), int(fields[2]), float(fields[3])


def fmt_mb(kilobytes):
    return f"{kilobytes / 1024:.0f} MB"


def main():
    old = sys.argv[sys.argv.index("--old") + 1] if "--old" in sys.argv else None
    env_note = " (QT_QPA_PLATFORM=offscreen)" if not os.environ.get("DISPLAY") else ""
    print(f"Window output{env_note}: medians of {RUNS} runs in turn")
    print()
    header = ["case", "text", "window", "lumenark-cli", "window / cli", "processor: window", "cli", "window / cli",
              "Qt document alone (processor)", "processor: window / document"]
    if old:
        header += ["old window", "old / new", "processor: old window"]
    header += ["peak: window", "peak: cli", "longest wait for input", "text grew on screen", "same text"]
    print(" | ".join(header))
    print("|".join(["---"] * len(header)))
    with tempfile.TemporaryDirectory() as scratch:
        cli_path = os.path.join(scratch, "cli.txt")
        window_path = os.path.join(scratch, "window.txt")
        for label, command, details, formula in CASES:
            windows, clis, documents, olds = [], [], [], []
            for run in range(RUNS):
                clis.append(cli_run(command, details, formula, cli_path))
                options = ["--save", window_path] if run == 0 else []
                windows.append(window_run(BENCH, command, details, formula, *options))
                documents.append(document_run(cli_path))
                if old:
                    olds.append(window_run(old, command, details, formula))
            with open(cli_path, "rb") as a, open(window_path, "rb") as b:
                same = a.read() == b.read()
            window = statistics.median(w[0] for w in windows)
            cli = statistics.median(c[0] for c in clis)
            window_cpu = statistics.median(w[9] for w in windows)
            cli_cpu = statistics.median(c[2] for c in clis)
            document = statistics.median(d[0] for d in documents)
            document_cpu = statistics.median(d[2] for d in documents)
            size = os.path.getsize(cli_path)
            row = [label, f"{size / 1e6:.1f} MB", f"{window:.2f} s", f"{cli:.2f} s", f"{window / max(cli, 0.01):.1f}",
                   f"{window_cpu:.2f} s", f"{cli_cpu:.2f} s", f"{window_cpu / max(cli_cpu, 0.01):.1f}",
                   f"{document:.2f} s ({document_cpu:.2f} s)", f"{window_cpu / document_cpu:.2f}"]
            if old:
                old_window = statistics.median(o[0] for o in olds)
                old_cpu = statistics.median(o[9] for o in olds)
                full = any(o[4] for o in olds)
                shown = f"{old_window:.2f} s" + (f", text full at {olds[0][5] / 1e6:.1f} MB" if full else "")
                row += [shown, "" if full else f"{old_window / window:.1f}", f"{old_cpu:.2f} s"]
            row += [fmt_mb(statistics.median(w[8] for w in windows)), fmt_mb(statistics.median(c[1] for c in clis)),
                    f"{statistics.median(w[2] for w in windows):.0f} ms",
                    f"{statistics.median(w[7] for w in windows):.0f} times", "yes" if same else "NO"]
            print(" | ".join(row), flush=True)
        # Stop while the largest table streams in: the time from the click to the end.
        label, command, details, formula = CASES[1]
        answers = [window_run(BENCH, command, details, formula, "--stop-after", "1")[3] for _ in range(RUNS)]
        print()
        print(f"Stop clicked 1 s into the {label}: the command ended {statistics.median(answers):.0f} ms later "
              f"(runs: {', '.join(f'{a:.0f}' for a in answers)} ms)")
        # Stop while Decompile prints a formula of 10 MB, whose line of megabytes stays
        # on the screen above the output.
        formula_path = os.path.join(scratch, "formula.txt")
        with open(formula_path, "w") as out:
            out.write(megabyte_formula(10))
        answers = [window_run(BENCH, "decompile", 4, "@" + formula_path, "--stop-after", "0.3")[3]
                   for _ in range(RUNS)]
        print(f"Stop clicked 0.3 s into Decompile of a 10 MB formula: the command ended "
              f"{statistics.median(answers):.0f} ms later (runs: {', '.join(f'{a:.0f}' for a in answers)} ms)")
        # Undo and Redo of the largest table from the Edit menu, and the memory afterwards.
        steps = [undo_run(BENCH, command, details, formula_of(CASES[1])) for _ in range(RUNS)]
        undo = statistics.median(s["undo"][0][0] for s in steps)
        redo = statistics.median(s["redo"][0][0] for s in steps)
        waits = statistics.median(max(s["undo"][0][1], s["redo"][0][1]) for s in steps)
        print(f"Undo of the {label}: {undo * 1000:.0f} ms, Redo {redo * 1000:.0f} ms (longest wait for input "
              f"{waits:.0f} ms); resident after Undo {fmt_mb(statistics.median(s['undo'][0][3] for s in steps))}, "
              f"after Redo {fmt_mb(statistics.median(s['redo'][0][3] for s in steps))}, after typing once Undo had "
              f"taken the table away {fmt_mb(statistics.median(s['typed'][0][0] for s in steps))}")


if __name__ == "__main__":
    main()
