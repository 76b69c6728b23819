"""The SAT solver's workloads (see bench/run): Decision beside picosat, run as whole
processes, and minimisation over repeated clauses beside SymPy's simplify_logic."""
import os
import subprocess
import tempfile
import time

import workloads as w

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
CLI = os.path.join(ROOT, "build", "bin", "lumenark-cli")
ENGINE = os.path.join(ROOT, "build", "bin", "engine_bench")
LIMIT = 60


def process_seconds(command, stdin_text, runs=3):
    """Median wall time of the whole process, None past LIMIT; with its exit status."""
    times, status = [], None
    for _ in range(runs):
        start = time.perf_counter()
        try:
            result = subprocess.run(command, input=stdin_text, capture_output=True, text=True, timeout=LIMIT)
        except subprocess.TimeoutExpired:
            return None, None
        times.append(time.perf_counter() - start)
        status = result.returncode
    return sorted(times)[len(times) // 2], status


def fmt(seconds):
    if seconds is None:
        return f"over {LIMIT} s"
    return f"{seconds * 1000:.1f} ms" if seconds < 1 else f"{seconds:.2f} s"


def picosat(cnf):
    """picosat on the CNF as a whole process: (seconds, 'UNSAT' or 'SAT')."""
    with tempfile.NamedTemporaryFile("w", suffix=".cnf", delete=False) as f:
        f.write(w.dimacs(cnf))
        path = f.name
    seconds, status = process_seconds(["picosat", path], "")
    os.unlink(path)
    return seconds, {20: "UNSAT", 10: "SAT"}.get(status, "?")


def verdict_of(formula):
    out = subprocess.run([CLI, "decision"], input=formula, capture_output=True, text=True, timeout=LIMIT).stdout
    return out.strip().splitlines()[-1] if out.strip() else "(none)"


def rewriting_seconds(formula):
    """Decision by rewriting alone (no solver; the direct products still prune), in process, stopped at LIMIT."""
    with tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False) as f:
        f.write(formula)
        path = f.name
    try:
        out = subprocess.run([ENGINE, "run", "decision", path, "--rewrite", "--limit", str(LIMIT)],
                             capture_output=True, text=True, timeout=3 * LIMIT).stdout.split()
    except subprocess.TimeoutExpired:
        out = []
    os.unlink(path)
    if len(out) < 2 or out[1] == "stopped":
        return None
    return float(out[0])


def unsatisfiable_three_cnf(letters):
    """The first seed's random 3-CNF (4.6 clauses a letter) that picosat finds unsatisfiable."""
    for seed in range(1, 100):
        cnf = w.random_three_cnf(letters, round(4.6 * letters), seed)
        if picosat(cnf)[1] == "UNSAT":
            return cnf, seed
    raise RuntimeError("no unsatisfiable seed")


def decision_workload():
    print()
    print("Decision at Details 4 (whole processes, median of 3); picosat on the same CNF (for a negation, the CNF"
          " whose unsatisfiability makes it valid)")
    print("family | letters | verdict | Lumenark | rewriting, no solver | picosat | Lumenark / picosat")
    print("---|---|---|---|---|---|---")
    families = [(f"pigeonhole, {h} holes", h * (h + 1), w.pigeonhole_cnf(h)) for h in (4, 5, 6)]
    for letters in (30, 52):
        cnf, seed = unsatisfiable_three_cnf(letters)
        families.append((f"random 3-CNF, seed {seed}", letters, cnf))
    for name, letters, cnf in families:
        peer, _ = picosat(cnf)
        for negated in (False, True):
            formula = f"~({cnf})" if negated else cnf
            ours, _ = process_seconds([CLI, "decision"], formula)
            before = rewriting_seconds(formula)
            ratio = f"{ours / peer:.1f}" if ours and peer else ""
            print(f"{'~' if negated else ''}{name} | {letters} | {verdict_of(formula)} | {fmt(ours)} | {fmt(before)}"
                  f" | {fmt(peer)} | {ratio}", flush=True)
    for name, formula in (("exactly one of 7", w.exactly_one(7)), ("exactly one of 8", w.exactly_one(8)),
                          ("parity of 13", w.parity(13))):
        ours, _ = process_seconds([CLI, "decision"], formula, runs=1)
        print(f"{name} | | {verdict_of(formula) if ours else ''} | {fmt(ours)} | | | ", flush=True)


def engine_seconds(command, formula):
    with tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False) as f:
        f.write(formula)
        path = f.name
    try:
        out = subprocess.run([ENGINE, "run", command, path, "--limit", str(LIMIT)], capture_output=True, text=True,
                             timeout=3 * LIMIT).stdout.split()
    except subprocess.TimeoutExpired:
        out = []
    os.unlink(path)
    return None if len(out) < 2 or out[1] == "stopped" else float(out[0])


def simplify_seconds(formula):
    try:
        out = subprocess.run(["python3", os.path.join(ROOT, "bench", "sympy_peer.py"), "simplify", "-"], input=formula,
                             capture_output=True, text=True, timeout=LIMIT).stdout.split()
    except subprocess.TimeoutExpired:
        return None
    return float(out[0]) if out else None


def repeats_workload():
    print()
    print("Minimisation over repeated clauses (in process): the normal form, its minimal form, the ratio;"
          " SymPy's simplify_logic on the formula")
    print("case | normal form | minimal form | minimal / normal | SymPy simplify_logic")
    print("---|---|---|---|---")
    cases = [("exactly one of k, DNF", "dnf", "mindnf", w.exactly_one(k), f"k = {k}") for k in (5, 6, 7)]
    cases += [("random DNF, 8 letters, 16 terms: CNF", "cnf", "mincnf", w.random_dnf((8, 16)), "")]
    cases += [("copies of (A|B|C): CNF", "cnf", "mincnf", "&".join(["(A|B|C)"] * n), f"{n:,}")
              for n in (8192, 32768, 131072)]
    for label, plain, minimal, formula, size in cases:
        normal = engine_seconds(plain, formula)
        least = engine_seconds(minimal, formula)
        peer = simplify_seconds(formula) if len(formula) < 20000 else None
        ratio = f"{least / normal:.1f}" if normal and least else ""
        print(f"{label} {size} | {fmt(normal)} | {fmt(least)} | {ratio} | {fmt(peer) if peer else '-'}", flush=True)


if __name__ == "__main__":
    decision_workload()
    repeats_workload()
