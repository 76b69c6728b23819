"""Runs the workloads at growing sizes and prints one table (see bench/run)."""
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(__file__))
import consistent_table  # noqa: E402
import solver_table  # noqa: E402
import workloads as w  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
ENGINE = os.path.join(ROOT, "build", "bin", "engine_bench")
WINDOW = os.path.join(ROOT, "build", "bin", "window_bench")
CLI = os.path.join(ROOT, "build", "bin", "lumenark-cli")
PEER = os.path.join(ROOT, "bench", "sympy_peer.py")
LIMIT = 60  # seconds: past it a side is marked "timeout"
QUICK = "--quick" in sys.argv
STOP_AT = 1.0 if QUICK else 10.0  # a workload grows until our run takes about this long


FAILED = "failed"  # a side that ended with an error: reported as such, never as slow


def run(command, timeout=LIMIT):
    """Output of command, None when it passed the time limit, FAILED when it failed."""
    try:
        result = subprocess.run(command, capture_output=True, text=True, timeout=timeout)
    except subprocess.TimeoutExpired:
        return None
    if result.returncode != 0:
        print(f"{' '.join(command)}: exit status {result.returncode}", result.stderr[-400:], file=sys.stderr, flush=True)
        return FAILED
    return result.stdout.split()


class Stopped:
    """Our side, stopped by its own limit (engine_bench --limit, --nodes) after seconds."""

    def __init__(self, seconds):
        self.seconds = seconds

    def __str__(self):
        return f"stopped at {fmt_time(self.seconds)}"


def ours(operation, path, *options, timeout=LIMIT):
    """(operation s, print s, result chars, result clauses, compile s); Stopped when a
    limit stopped the operation, None or FAILED as run() says."""
    out = run([ENGINE, "run", operation, path, *options], timeout)
    if out in (None, FAILED):
        return out
    if out[1] == "stopped":
        return Stopped(float(out[0]))
    return (float(out[0]), float(out[1]), int(out[2]), int(out[3]), float(out[4]), int(out[5]))


WORST = {}  # the largest conversion / (compile + print) of each normal-form workload


def bound_of(name, operation, mine):
    """The operation's time over the time to compile its input and print its result."""
    ratio = mine[0] / (mine[4] + mine[1])
    if operation in ("cnf", "dnf") and ratio > WORST.get(name, (0,))[0]:
        WORST[name] = (ratio, operation)
    return ratio


NORMAL_FORMS = ("cnf", "dnf", "mincnf", "mindnf")


def fmt_memory(kilobytes):
    return f"{kilobytes / 1024:.0f} MB" if kilobytes >= 10 * 1024 else f"{kilobytes / 1024:.1f} MB"


def memory_cells(operation, peak_kilobytes, clauses):
    """Peak resident memory during the operation, and per clause of its result."""
    if operation not in NORMAL_FORMS or not peak_kilobytes:
        return "", ""
    per_clause = f"{peak_kilobytes * 1024 / clauses:,.0f}" if clauses else ""
    return fmt_memory(peak_kilobytes), per_clause


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
        mine, theirs = [0.0, 0.0, 0, 0, 0.0, 0], 0.0
        largest = (0, 0)  # the peak memory of the seeds' largest run, and its result's clauses
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
            mine = [a + b for a, b in zip(mine, one)]
            largest = max(largest, (one[5], one[3]))
        finished = isinstance(mine, list)
        our_cell = fmt_time(mine[0] if finished else mine)
        bound = ""
        if finished and operation == "compile":
            bound = f"print {fmt_time(mine[1])}"
        elif finished and mine[1] > 0 and operation != "decision":  # a verdict is no normal form
            bound = f"{bound_of(name, operation, mine):.1f}"
        peer_cell = theirs_stopped if theirs_stopped is not None else fmt_time(theirs)
        ratio = f"{theirs / mine[0]:.0f}x" if finished and theirs_stopped is None and mine[0] > 0 else ""
        peak, per_clause = memory_cells(operation, *largest) if finished else ("", "")
        row(name, operation, size, our_cell, mine[2] if finished else "-", bound, peer_cell, ratio, peak, per_clause)
        if not finished or mine[0] > STOP_AT:
            break


def normal_form_workload():
    """Workload 6: the CNF of random DNFs and the DNF of random CNFs, terms of 2 to 4
    literals. Each number of letters grows the terms until our time passes STOP_AT."""
    print()
    print("workload | command | letters | terms | products | result clauses | Lumenark | conversion / (compile + print)"
          " | SymPy | SymPy / Lumenark | peak memory | bytes / result clause")
    print("---|---|---|---|---|---|---|---|---|---|---|---")
    name = "6 random DNF into CNF, CNF into DNF"
    for operation, generator in (("cnf", w.random_dnf), ("dnf", w.random_cnf)):
        for letters in (7, 8, 10, 12):
            theirs_stopped = None
            for terms in (8, 12, 16, 20, 24, 28, 32, 40):
                formula = generator((letters, terms))
                with tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False) as f:
                    f.write(formula)
                    path = f.name
                # The result grows fast past a size: our side stops itself (as the Stop
                # button would) after LIMIT seconds or past 100 million nodes.
                mine = ours(operation, path, "--limit", str(LIMIT), "--nodes", "100000000", timeout=5 * LIMIT)
                theirs = None
                if theirs_stopped is None:
                    theirs = peer(operation, path)
                    if theirs in (None, FAILED):
                        theirs_stopped = "timeout" if theirs is None else FAILED
                os.unlink(path)
                finished = isinstance(mine, tuple)
                peer_cell = theirs_stopped if theirs_stopped is not None else fmt_time(theirs)
                if finished:
                    ratio = f"{theirs / mine[0]:.0f}x" if theirs_stopped is None and mine[0] > 0 else ""
                    row(name, operation, letters, terms, f"{w.products(formula):,}", f"{mine[3]:,}", fmt_time(mine[0]),
                        f"{bound_of(name, operation, mine):.1f}", peer_cell, ratio, *memory_cells(operation, mine[5], mine[3]))
                else:
                    shown = str(mine) if isinstance(mine, Stopped) else fmt_time(mine)
                    row(name, operation, letters, terms, f"{w.products(formula):,}", "-", shown, "", peer_cell, "", "", "")
                if not finished or mine[0] > STOP_AT:
                    break


NINETEEN_TERMS = ("~d&e&g&~s|N&~d&e|~N&~d|~c&~d|~d&~g|~N&d&e&g&~s|~N&d|~N&~c&d|~N&d&~g|O&~d&e&g&~s|N&O&~d&e"
                  "|~N&O&~d|O&~c&~d|O&~d&~g|~O&d&e&g&~s|N&~O&d&e|~N&~O&d|~O&~c&d|~O&d&~g")
MINCNF_CHAIN = "~(~~(~h>I)=(~T&(M&M)))"


def side_by_side():
    """The conversion step by step (the route before the direct products, which Details 0
    to 2 still take) and the direct one, at Details 4, in this run. Each side is stopped
    after LIMIT seconds, the direct one also past 100 million live nodes (3.2 GB)."""
    print()
    print(f"Old (step by step) and new (direct) conversion, Details 4; a side is stopped after {LIMIT} s,"
          " the new one also past 100 million nodes")
    print("case | command | products | result clauses | old | new | old / new | new / (compile + print)")
    print("---|---|---|---|---|---|---|---")
    chain_dnf = subprocess.run([CLI, "-e", MINCNF_CHAIN, "literals", "mincnf", "dnf"], capture_output=True,
                               text=True).stdout.replace("\n", "").split(")")[-1].strip()
    cases = [("random DNF, 8 letters, 12 terms", "cnf", [w.random_dnf((8, 12))]),
             ("random DNF, 8 letters, 16 terms", "cnf", [w.random_dnf((8, 16))]),
             ("the 19-term DNF of 7 letters", "cnf", [NINETEEN_TERMS]),
             (f"{MINCNF_CHAIN}: literals mincnf dnf, then", "literals,mincnf,dnf,mincnf", [MINCNF_CHAIN])]
    cases += [(f"2 random, {k} letters (5 seeds)", "dnf", [w.random_formula(k, seed) for seed in range(1, 6)])
              for k in (9, 11, 13, 15, 17)]
    cases += [(f"1 pairs, {n}", "cnf", [w.pairs_dnf(n)]) for n in (16, 20)]
    for label, command, formulas in cases:
        sides = []
        for options in (["--steps", "--limit", str(LIMIT)], ["--limit", str(LIMIT), "--nodes", "100000000"]):
            total = [0.0, 0.0, 0, 0, 0.0, 0]
            for formula in formulas:  # several seeds: their sum
                with tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False) as f:
                    f.write(formula)
                    path = f.name
                one = ours(command, path, *options, timeout=5 * LIMIT)
                os.unlink(path)
                if not isinstance(one, tuple):
                    total = one
                    break
                total = [a + b for a, b in zip(total, one)]
            sides.append(total)
        old, new = sides
        if command == "cnf" and len(formulas) == 1:
            products = f"{w.products(formulas[0]):,}" if "(" not in formulas[0] else ""
        elif command.endswith("mincnf") and chain_dnf:
            products = f"{w.products(chain_dnf):,}"
        else:
            products = ""
        done = [isinstance(side, list) for side in sides]
        clauses = f"{new[3]:,}" if done[1] else (f"{old[3]:,}" if done[0] else "-")
        cells = [fmt_time(side[0]) if ok else (str(side) if isinstance(side, Stopped) else fmt_time(side))
                 for side, ok in zip(sides, done)]
        speedup = f"{old[0] / new[0]:.0f}x" if all(done) and new[0] > 0 else ""
        bound = f"{new[0] / (new[4] + new[1]):.1f}" if done[1] and new[1] > 0 else ""
        row(label, command, products, clauses, cells[0], cells[1], speedup, bound)


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
            shown = f"text full, stopped at {float(window):.2f} s"
        elif stopped:
            shown = f"stopped at {float(window):.1f} s"
        else:
            shown = f"{float(window):.3f} s"
        ratio = "" if stopped or full == "1" else f"{float(window) / float(memory):.1f}"
        answer = f"{stop} ms" if stopped else ""
        print(f"Minimal CNF | {n} | {details} | {shown} | {float(memory):.3f} s | {ratio} | {wait} ms | {answer}",
              flush=True)


def main():
    if "--solver" in sys.argv:  # the SAT solver's two tables alone
        solver_table.decision_workload()
        solver_table.repeats_workload()
        return
    if "--consistent" in sys.argv:  # consistent formulas, the equivalence chain, dense CNFs
        consistent_table.consistent_workload()
        return
    print("workload | command | size | Lumenark | result chars | conversion / (compile + print) | SymPy | SymPy / Lumenark"
          " | peak memory | bytes / result clause")
    print("---|---|---|---|---|---|---|---|---|---")
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
    normal_form_workload()
    solver_table.decision_workload()
    solver_table.repeats_workload()
    consistent_table.consistent_workload()
    print()
    for name, (ratio, operation) in sorted(WORST.items()):
        print(f"worst conversion / (compile + print), {name}: {ratio:.1f} ({operation})")
    side_by_side()
    window_table()
    print()
    print("What the faster algorithms buy (same tree, same text):")
    print(subprocess.run([ENGINE, "reference"], capture_output=True, text=True).stdout, flush=True)


if __name__ == "__main__":
    main()
