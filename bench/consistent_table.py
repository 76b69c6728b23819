"""Decision and the minimal normal forms of consistent formulas (see bench/run --consistent):
whole processes, with peak resident memory, beside SymPy's simplify_logic(form="dnf") and
picosat. With LUMENARK_OLD_CLI set to another build's lumenark-cli, that build runs beside,
and the last column says whether both wrote the same bytes where both finished."""
import os
import subprocess
import tempfile
import time

import workloads as w

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
CLI = os.path.join(ROOT, "build", "bin", "lumenark-cli")
OLD_CLI = os.environ.get("LUMENARK_OLD_CLI")
LIMIT = 60


def measured(command, stdin_text, runs=7):
    """(seconds, peak KB, exit status, standard output and error) of the whole process, the median of runs
    (one run past a second); seconds None past LIMIT."""
    samples = []
    for _ in range(runs):
        with tempfile.NamedTemporaryFile("r", suffix=".time") as report:
            start = time.perf_counter()
            try:
                result = subprocess.run(["/usr/bin/time", "-q", "-f", "%M", "-o", report.name] + command,
                                        input=stdin_text, capture_output=True, text=True, timeout=LIMIT)
            except subprocess.TimeoutExpired:
                return None, None, None, None
            seconds = time.perf_counter() - start
            samples.append((seconds, int(report.read().split()[-1]), result.returncode, result.stdout + result.stderr))
        if seconds > 1:
            break
    return sorted(samples)[len(samples) // 2]


def fmt(seconds, kilobytes):
    if seconds is None:
        return f"over {LIMIT} s"
    shown = f"{seconds * 1000:.1f} ms" if seconds < 1 else f"{seconds:.2f} s"
    return f"{shown}, {kilobytes / 1024:.0f} MB"


def lumenark(cli, command, formula, limit="2G"):
    return measured([cli, "--memory-limit", limit, command], formula)


def sympy(formula, letters):
    if letters > 8:
        return "returns it unchanged (over 8 letters)"
    seconds, kilobytes, _, _ = measured(["python3", os.path.join(ROOT, "bench", "sympy_peer.py"), "simplify-dnf", "-"],
                                        formula)
    return fmt(seconds, kilobytes), seconds


def picosat(cnf):
    with tempfile.NamedTemporaryFile("w", suffix=".cnf", delete=False) as f:
        f.write(w.dimacs(cnf))
        path = f.name
    seconds, kilobytes, status, _ = measured(["picosat", path], "")
    os.unlink(path)
    return seconds, kilobytes, {20: "UNSAT", 10: "SAT"}.get(status, "?")


def consistent_cnf(width, letters, clauses):
    """The first seed's random CNF that picosat finds satisfiable."""
    for seed in range(1, 200):
        cnf = w.random_k_cnf(width, letters, clauses, seed)
        if picosat(cnf)[2] == "SAT":
            return cnf
    raise RuntimeError("no satisfiable seed")


def old_columns(command, formula, ours):
    if not OLD_CLI:
        return ""
    seconds, kilobytes, status, output = lumenark(OLD_CLI, command, formula)
    finished = seconds is not None and status == 0 and ours[2] == 0
    same = ("same" if output == ours[3] else "DIFFERENT") if finished else "-"
    message = " (out of memory)" if status == 1 else ""
    return f" | {fmt(seconds, kilobytes)}{message} | {same}"


def consistent_workload():
    print()
    print("Consistent formulas: Decision and Minimal DNF at Details 4, --memory-limit 2G (whole processes, peak"
          " resident memory); SymPy simplify_logic(form='dnf') as a whole process")
    header = "case | command | Lumenark | SymPy | Lumenark / SymPy"
    print(header + (" | old build | output" if OLD_CLI else ""))
    print("---|---|---|---|---" + ("|---|---" if OLD_CLI else ""))
    cases = [(f"exactly one of {k}", k, w.exactly_one(k)) for k in (7, 8, 9, 10)]
    cases += [(f"random 3-CNF, {n} letters, {m} clauses", n, consistent_cnf(3, n, m))
              for n, m in ((8, 24), (8, 34), (10, 30), (12, 36), (14, 42))]
    for name, letters, formula in cases:
        peer = sympy(formula, letters)
        for command in ("decision", "mindnf"):
            ours = lumenark(CLI, command, formula)
            failed = " (out of memory)" if ours[2] == 1 else ""
            if isinstance(peer, tuple):
                peer_text, peer_seconds = peer
                ratio = f"{ours[0] / peer_seconds:.2f}" if ours[0] is not None and peer_seconds else ""
            else:
                peer_text, ratio = peer, ""
            print(f"{name} | {command} | {fmt(ours[0], ours[1])}{failed} | {peer_text} | {ratio}"
                  f"{old_columns(command, formula, ours)}", flush=True)

    print()
    print("A chain of 400 equivalences over 20 letters (valid): Decision beside compiling it, whole processes")
    print("case | Decision | compile | Decision / compile")
    print("---|---|---|---")
    chain = w.equivalence_chain(20, 400)
    decided = lumenark(CLI, "decision", chain)
    compiled = lumenark(CLI, "compile", chain)
    ratio = f"{decided[0] / compiled[0]:.1f}" if decided[0] and compiled[0] else "-"
    print(f"A=B=...=T, 400 letters | {fmt(decided[0], decided[1])} | {fmt(compiled[0], compiled[1])} | {ratio}")

    print()
    print("Dense random k-CNFs over 30 letters (inconsistent): Decision beside picosat, whole processes")
    print("case | verdict | Lumenark | picosat | Lumenark / picosat")
    print("---|---|---|---|---")
    for width, clauses in ((5, 1000), (5, 2000), (7, 3000), (7, 3600)):
        cnf = w.random_k_cnf(width, 30, clauses, 1)
        ours = lumenark(CLI, "decision", cnf)
        peer = picosat(cnf)
        verdict = ours[3].strip().splitlines()[-1] if ours[3] else "-"
        ratio = f"{ours[0] / peer[0]:.1f}" if ours[0] and peer[0] else "-"
        print(f"random {width}-CNF, {clauses} clauses | {verdict} | {fmt(ours[0], ours[1])} | "
              f"{fmt(peer[0], peer[1])} ({peer[2]}) | {ratio}", flush=True)


if __name__ == "__main__":
    consistent_workload()
