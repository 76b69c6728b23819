"""Runs the workloads at growing sizes and prints one table (see bench/run)."""
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(__file__))
import workloads as w  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
ENGINE = os.path.join(ROOT, "build", "bin", "engine_bench")
WINDOW = os.path.join(ROOT, "build", "bin", "window_bench")
PEER = os.path.join(ROOT, "bench", "sympy_peer.py")
LIMIT = 60  # seconds: past it a side is marked "timeout"
QUICK = "--quick" in sys.argv
STOP_AT = 1.0 if QUICK else 10.0  # a workload grows until our run takes about this long


FAILED = "failed"  # a side that ended with an error: reported as such, never as slow


def run(command):
    """Output of command, None when it passed the time limit, FAILED when it failed."""
    try:
        result = subprocess.run(command, capture_output=True, text=True, timeout=LIMIT)
    except subprocess.TimeoutExpired:
        return None
    if result.returncode != 0:
        print(f"{' '.join(command)}: exit status {result.returncode}", result.stderr[-400:], file=sys.stderr, flush=True)
        return FAILED
    return result.stdout.split()


def ours(operation, path):
    out = run([ENGINE, "run", operation, path])
    return out if out in (None, FAILED) else (float(out[0]), float(out[1]), int(out[2]))


def peer(operation, path):
    out = run([sys.executable, PEER, operation, path])
    return out if out in (None, FAILED) else float(out[0])


def fmt_time(seconds):
    if seconds in (None, FAILED):
        return "timeout" if seconds is None else FAILED
    return f"{seconds * 1000:.2f} ms" if seconds < 1 else f"{seconds:.2f} s"


ROWS = []


def row(*cells):
    ROWS.append(cells)
    print(" | ".join(str(c) for c in cells), flush=True)


def workload(name, operation, generator, sizes, with_peer, seeds=(1,)):
    """Runs one workload at growing sizes until our time passes STOP_AT or our side stops
    (timeout or failure). With several seeds, each size is the sum over one formula per
    seed. A side that timed out or failed at one size is not run at larger ones."""
    theirs_stopped = None if with_peer else "-"
    for size in sizes:
        mine, theirs = [0.0, 0.0, 0], 0.0
        for seed in seeds:
            with tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False) as f:
                f.write(generator(size, seed) if len(seeds) > 1 else generator(size))
                path = f.name
            one = ours(operation, path)
            if theirs_stopped is None:
                other = peer(operation, path)
                if other in (None, FAILED):
                    theirs_stopped = "timeout" if other is None else FAILED
                else:
                    theirs += other
            os.unlink(path)
            if one in (None, FAILED):
                mine = one
                break
            mine = [mine[0] + one[0], mine[1] + one[1], mine[2] + one[2]]
        finished = isinstance(mine, list)
        our_cell = fmt_time(mine[0] if finished else mine)
        bound = ""
        if finished and operation == "compile":
            bound = f"print {fmt_time(mine[1])}"
        elif finished and mine[1] > 0 and operation != "decision":  # a verdict is no normal form
            bound = f"{mine[0] / mine[1]:.1f}"
        peer_cell = theirs_stopped if theirs_stopped is not None else fmt_time(theirs)
        ratio = f"{theirs / mine[0]:.0f}x" if finished and theirs_stopped is None and mine[0] > 0 else ""
        row(name, operation, size, our_cell, mine[2] if finished else "-", bound, peer_cell, ratio)
        if not finished or mine[0] > STOP_AT:
            break


def window_table():
    """The window's rows: Minimal CNF of workload 1 in an editor window, offscreen."""
    if not os.path.exists(WINDOW):
        return
    print()
    print("window (offscreen) | n | Details | window | in memory | window / memory | longest wait for input"
          " | Stop clicked at 60 s: answered in")
    print("---|---|---|---|---|---|---|---")
    # Median of five runs where a run is short; one run, stopped at the limit, where it is long.
    for n, details, runs in ((12, 4, 5), (10, 1, 1), (12, 1, 1)):
        try:
            out = subprocess.run([WINDOW, "--limit", str(LIMIT), str(n)] + [str(details)] * runs,
                                 capture_output=True, text=True, timeout=10 * LIMIT).stdout
        except subprocess.TimeoutExpired:
            print(f"Minimal CNF | {n} | {details} | failed | | | | ", flush=True)
            continue
        rows = [line.split("\t")[1:] for line in out.splitlines() if line.startswith("window\t")]
        if not rows:
            print(f"Minimal CNF | {n} | {details} | failed | | | | ", flush=True)
            continue
        rows.sort(key=lambda row: float(row[2]))
        _, _, window, memory, wait, stop, full = rows[len(rows) // 2]
        stopped = float(stop) >= 0
        if full == "1":
            shown = f"text full (16 MiB), stopped at {float(window):.2f} s"
        elif stopped:
            shown = f"stopped at {float(window):.1f} s"
        else:
            shown = f"{float(window):.3f} s"
        ratio = "" if stopped or full == "1" else f"{float(window) / float(memory):.1f}"
        answer = f"{stop} ms" if stopped else ""
        print(f"Minimal CNF | {n} | {details} | {shown} | {float(memory):.3f} s | {ratio} | {wait} ms | {answer}",
              flush=True)


def main():
    print("workload | command | size | Lumenark | result chars | conversion / printing | SymPy | SymPy / Lumenark")
    print("---|---|---|---|---|---|---|---")
    pair_sizes = range(4, 23, 2)
    workload("1 pairs a&b|..", "cnf", w.pairs_dnf, pair_sizes, True)
    workload("1 pairs (a|b)&..", "dnf", w.pairs_cnf, pair_sizes, True)
    workload("1 pairs a&b|..", "mincnf", w.pairs_dnf, pair_sizes, False)
    workload("1 pairs (a|b)&..", "mindnf", w.pairs_cnf, pair_sizes, False)
    random_sizes = range(3, 27)
    workload("2 random, k letters (5 seeds)", "cnf", w.random_formula, random_sizes, True, seeds=range(1, 6))
    workload("2 random, k letters (5 seeds)", "dnf", w.random_formula, random_sizes, True, seeds=range(1, 6))
    workload("3 minterms of k letters", "mindnf", w.minterms_dnf, range(4, 21), False)
    workload("4 implication chain", "decision", w.implication_chain, [4, 8, 16, 26, 52], False)
    workload("4 contradiction chain", "decision", w.contradiction_chain, range(4, 31, 2), False)
    workload("4 pigeonhole, n holes", "decision", w.pigeonhole, range(1, 7), False)
    workload("5 text of n bytes", "compile", w.text_of_size, [1_000, 10_000, 100_000, 1_000_000, 10_000_000], False)
    window_table()
    print()
    print("What the faster algorithms buy (same tree, same text):")
    print(subprocess.run([ENGINE, "reference"], capture_output=True, text=True).stdout, flush=True)


if __name__ == "__main__":
    main()
