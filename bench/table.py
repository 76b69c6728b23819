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


def run(command):
    """Output of command, or None when it passed the time limit or failed."""
    try:
        result = subprocess.run(command, capture_output=True, text=True, timeout=LIMIT)
    except subprocess.TimeoutExpired:
        return None
    return result.stdout.split() if result.returncode == 0 else None


def ours(operation, path):
    out = run([ENGINE, "run", operation, path])
    return None if out is None else (float(out[0]), float(out[1]), int(out[2]))


def peer(operation, path):
    out = run([sys.executable, PEER, operation, path])
    return None if out is None else float(out[0])


def fmt_time(seconds):
    return "timeout" if seconds is None else (f"{seconds * 1000:.2f} ms" if seconds < 1 else f"{seconds:.2f} s")


ROWS = []


def row(*cells):
    ROWS.append(cells)
    print(" | ".join(str(c) for c in cells), flush=True)


def workload(name, operation, generator, sizes, with_peer, seeds=(1,)):
    """Runs one workload at growing sizes until our time passes STOP_AT or our side fails.
    With several seeds, each size is the sum over one formula per seed."""
    peer_alive = with_peer
    for size in sizes:
        mine, theirs = [0.0, 0.0, 0], 0.0
        for seed in seeds:
            with tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False) as f:
                f.write(generator(size, seed) if len(seeds) > 1 else generator(size))
                path = f.name
            one = ours(operation, path)
            if peer_alive:
                other = peer(operation, path)
                if other is None:
                    peer_alive = False
                else:
                    theirs += other
            os.unlink(path)
            if one is None:
                mine = None
                break
            mine = [mine[0] + one[0], mine[1] + one[1], mine[2] + one[2]]
        if with_peer and not peer_alive:
            theirs = None
        our_time = None if mine is None else mine[0]
        bound = "" if mine is None or mine[1] == 0 or operation == "compile" else f"{mine[0] / mine[1]:.1f}"
        if operation == "compile" and mine is not None:
            bound = f"print {fmt_time(mine[1])}"
        ratio = "" if not with_peer or mine is None or theirs is None or mine[0] == 0 else f"{theirs / mine[0]:.0f}x"
        peer_cell = fmt_time(theirs) if with_peer else "-"
        row(name, operation, size, fmt_time(our_time), "-" if mine is None else mine[2], bound, peer_cell, ratio)
        if mine is None or mine[0] > STOP_AT:
            break


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
    workload("3 minterms of k letters", "mindnf", w.minterms_dnf, range(4, 17), False)
    workload("4 implication chain", "decision", w.implication_chain, [4, 8, 16, 26, 52], False)
    workload("4 contradiction chain", "decision", w.contradiction_chain, [4, 6, 8, 10, 12, 14, 16, 18, 20], False)
    workload("5 text of n bytes", "compile", w.text_of_size, [1_000, 10_000, 100_000, 1_000_000, 10_000_000], False)
    if os.path.exists(WINDOW):
        print()
        print("window (offscreen) | n | Details | window | in memory | window / memory | longest wait for input")
        print("---|---|---|---|---|---|---")
        for n, details, limit in ((12, 4, LIMIT), (10, 1, LIMIT), (12, 1, 600)):
            try:
                out = subprocess.run([WINDOW, str(n), str(details)], capture_output=True, text=True,
                                     timeout=limit).stdout
            except subprocess.TimeoutExpired:
                print(f"Minimal CNF | {n} | {details} | timeout ({limit} s) | | | ", flush=True)
                continue
            for line in out.splitlines():
                _, n_, details_, window, memory, wait = line.split("\t")
                print(f"Minimal CNF | {n_} | {details_} | {float(window):.3f} s | {float(memory):.3f} s | "
                      f"{float(window) / float(memory):.1f} | {wait} ms", flush=True)

if __name__ == "__main__":
    main()
