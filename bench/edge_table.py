"""Formulas at the edge (bench/run --edge): families whose minimal DNF is out of reach or
barely within it, decided at --memory-limit 2G as whole processes with their peak memory,
beside picosat for the verdict and SymPy's simplify_logic(form='dnf', force=True) for a
DNF; the time to the memory message at Details 0 and 3 as well; then the exact minimum of
random functions of 10 to 14 letters. With LUMENARK_OLD_CLI set to another build's
lumenark-cli, that build runs beside, and a column says whether both wrote the same
bytes where both finished."""
import os
import random
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(__file__))
import workloads as w  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
CLI = os.environ.get("LUMENARK_CLI", os.path.join(ROOT, "build", "bin", "lumenark-cli"))
OLD_CLI = os.environ.get("LUMENARK_OLD_CLI")
# Debian's Python, which has Debian's SymPy, whatever python3 comes first on the path.
PYTHON = "/usr/bin/python3" if os.path.exists("/usr/bin/python3") else "python3"
# CPU seconds for each run (ulimit -t, so that a shared machine does not cut a run
# short); past it, "over N s". Each cell shows the CPU time (user and system) beside the
# wall-clock time, which a shared machine can stretch many times. --quick runs only the
# cases named in the brief of this table, with a shorter limit.
QUICK = "--quick" in sys.argv
LIMIT = 10 if QUICK else 30
MINIMUM_LIMIT = 30 if QUICK else 90

PEER = r"""
import sys
sys.path.insert(0, sys.argv[1])
sys.setrecursionlimit(1_000_000)
from sympy import Or
from sympy.logic.boolalg import simplify_logic
from sympy_peer import parse
result = simplify_logic(parse(sys.stdin.read()), form="dnf", force=True)
print(len(result.args) if isinstance(result, Or) else 1)
"""


class Seconds(float):
    """A run's CPU seconds (user and system), with its wall-clock seconds beside."""
    wall = 0.0


def measured(command, stdin_text, limit=LIMIT):
    """(seconds, peak KB, exit status, standard output, standard error) of the whole process;
    seconds None past the limit. The limit is timeout's, inside /usr/bin/time, so that the
    process measured is the one ended (a timeout of subprocess would end only time)."""
    with tempfile.NamedTemporaryFile("r", suffix=".time") as report:
        start = time.perf_counter()
        result = subprocess.run(["/usr/bin/time", "-q", "-f", "%U %S %M", "-o", report.name, "sh", "-c",
                                 f"ulimit -t {limit}; exec \"$@\"", "sh"] + command, input=stdin_text,
                                capture_output=True, text=True)
        wall = time.perf_counter() - start
        if result.returncode in (137, 152, -9, -24):  # SIGKILL or SIGXCPU: the CPU limit
            return None, None, None, "", ""
        user, system, kilobytes = report.read().split()[-3:]
        seconds = Seconds(float(user) + float(system))
        seconds.wall = wall
        return seconds, int(kilobytes), result.returncode, result.stdout, result.stderr


def fmt(seconds, kilobytes, limit=LIMIT):
    if seconds is None:
        return f"over {limit} s"
    def shown(s):
        return f"{s * 1000:.0f} ms" if s < 1 else f"{s:.2f} s"
    return f"{shown(seconds)} CPU ({shown(seconds.wall)}), {kilobytes / 1024:.0f} MB"


def outcome(status, out, err):
    """What the decision ended with: its verdict, the DNF's terms, or the memory message."""
    if status == 1 and err.startswith("Insuficient memory."):
        return "memory message" + (" with the verdict" if "\nThis formula is" in err else "")
    if status != 0:
        return f"exit {status}"
    lines = out.strip().splitlines()
    if "This formula is valid." in lines:
        return "valid"
    if "This formula is not consistent." in lines:
        return "not consistent"
    text = "".join(lines[lines.index("This formula is consistent.Its models can be expressed as DNF:") + 1:])
    return f"DNF of {text.count('|') + 1} terms"


def decide(cli, formula, details=4, dimacs=None):
    arguments = [cli, "--memory-limit", "2G", "--details", str(details)]
    if dimacs:
        arguments += ["--dimacs", dimacs]
    seconds, kilobytes, status, out, err = measured(arguments + ["decision"], "" if dimacs else formula)
    return seconds, kilobytes, status, out, err


def picosat_of(formula):
    """picosat on the formula's DIMACS as lumenark-cli writes it (its CNF, or a Tseitin encoding)."""
    seconds, _, status, out, _ = measured([CLI, "--memory-limit", "2G", "dimacs"], formula)
    if status != 0:
        return "no DIMACS"
    cnf = "\n".join(line for line in out.splitlines() if line.startswith(("p ", "c ")) or line[:1] in "-0123456789")
    with tempfile.NamedTemporaryFile("w", suffix=".cnf", delete=False) as f:
        f.write(cnf + "\n")
        path = f.name
    seconds, kilobytes, status, _, _ = measured(["picosat", path], "")
    os.unlink(path)
    return f"{fmt(seconds, kilobytes)} ({ {10: 'SAT', 20: 'UNSAT'}.get(status, '?') })"


def sympy_of(formula):
    seconds, kilobytes, status, out, _ = measured([PYTHON, "-c", PEER, os.path.join(ROOT, "bench")], formula)
    if seconds is None:
        return fmt(None, None)
    return f"{fmt(seconds, kilobytes)}, {out.strip()} terms" if status == 0 else "failed"


def uf20_like(seed):
    """A uniform random 3-SAT file of 20 variables and 91 clauses, satisfiable, as SATLIB's
    uf20-91 files are (picosat picks the first satisfiable seed)."""
    rng = random.Random(seed)
    while True:
        clauses = [" ".join(str(v if rng.random() < 0.5 else -v) for v in rng.sample(range(1, 21), 3)) + " 0"
                   for _ in range(91)]
        text = "p cnf 20 91\n" + "\n".join(clauses) + "\n"
        with tempfile.NamedTemporaryFile("w", suffix=".cnf", delete=False) as f:
            f.write(text)
        if subprocess.run(["picosat", f.name], capture_output=True).returncode == 10:
            return f.name
        os.unlink(f.name)


def quick_families():
    """The cases the brief names: the slow ones that finish, and those that end in the message."""
    return [("at most one of 10", w.at_most_one(10)), ("3-colouring of a 8-cycle", w.cycle_colouring(8)),
            ("3-colouring of a 9-cycle", w.cycle_colouring(9)),
            ("random 3-CNF, 12 letters, 2 a letter", w.random_3cnf_ratio(12, 2, 1)),
            ("random 3-CNF, 16 letters, 2 a letter", w.random_3cnf_ratio(16, 2, 1)),
            ("random 3-CNF, 20 letters, 3 a letter", w.random_3cnf_ratio(20, 3, 1)),
            ("random 3-CNF, 44 letters, 4.26 a letter", w.random_3cnf_ratio(44, 4.26, 1)),
            ("6-bit adders, one broken", w.adder_comparison(6, True)),
            ("XOR chain of 10 letters, 8 twice", w.xor_chain(10, 8)),
            ("random formula, 30 letters, seed 1", w.random_formula(30, 1)),
            ("5 queens", w.queens(5))]


def families():
    if QUICK:
        return quick_families()
    cases = [(f"at most one of {n}", w.at_most_one(n)) for n in (8, 10, 12)]
    cases += [(f"exactly one of {n}", w.exactly_one(n)) for n in (8, 10, 12)]
    cases += [(f"exactly 2 of {n}", w.exactly_k(n, 2)) for n in (6, 8)]
    cases += [(f"3-colouring of a {n}-cycle", w.cycle_colouring(n)) for n in (6, 8, 9, 10)]
    cases += [(f"pigeonhole {h + 1} in {h}", w.pigeonhole_cnf(h)) for h in (4, 5, 6)]
    cases += [(f"{n} queens", w.queens(n)) for n in (4, 5, 6)]
    cases += [(f"{bits}-bit adders agree", w.adder_comparison(bits, False)) for bits in (4, 6)]
    cases += [(f"{bits}-bit adders, one broken", w.adder_comparison(bits, True)) for bits in (4, 6)]
    cases += [("XOR chain of 10 letters, 8 twice", w.xor_chain(10, 8)), ("XOR chain of 12 letters, all twice", w.xor_chain(12, 12)),
              ("XOR chain of 20 letters, 18 twice", w.xor_chain(20, 18))]
    for ratio, sizes in ((2, (12, 16, 20)), (3, (12, 16, 20)), (4.26, (20, 36, 44, 52))):
        cases += [(f"random 3-CNF, {n} letters, {ratio} a letter", w.random_3cnf_ratio(n, ratio, 1)) for n in sizes]
    cases += [(f"random formula, {k} letters, seed {seed}", w.random_formula(k, seed)) for k in (10, 20, 30) for seed in (1, 2)]
    return cases


def edge_table():
    print("Decision at --memory-limit 2G, Details 4: CPU time (and wall-clock time) to the answer or to the memory"
          " message, whole processes with peak memory; picosat on lumenark-cli's DIMACS; SymPy"
          " simplify_logic(form='dnf', force=True) (number of terms)")
    header = "case | Lumenark | outcome | picosat | SymPy"
    print(header + (" | old build | old outcome | output" if OLD_CLI else ""))
    print("---|---|---|---|---" + ("|---|---|---" if OLD_CLI else ""))
    rows = [(name, formula, None) for name, formula in families()]
    rows.append(("uf20-91-like DIMACS file", None, uf20_like(1)))
    messages = []
    for name, formula, dimacs in rows:
        seconds, kilobytes, status, out, err = decide(CLI, formula, dimacs=dimacs)
        ours = outcome(status, out, err) if seconds is not None else "-"
        if ours.startswith("memory"):
            messages.append((name, formula, dimacs))
        text = formula if formula is not None else "".join(subprocess.run([CLI, "--dimacs", dimacs], capture_output=True, text=True).stdout)
        line = f"{name} | {fmt(seconds, kilobytes)} | {ours} | {picosat_of(text)} | {sympy_of(text)}"
        if OLD_CLI:
            old = decide(OLD_CLI, formula, dimacs=dimacs)
            same = "-" if old[0] is None or seconds is None or old[2] != 0 or status != 0 else (
                "same" if old[3] == out else "DIFFERENT")
            line += f" | {fmt(old[0], old[1])} | {outcome(old[2], old[3], old[4]) if old[0] is not None else '-'} | {same}"
        print(line, flush=True)

    print()
    print("The same decisions that end in the memory message, at Details 0 and 3 (time to the message, peak memory)")
    print("case | Details 0 | Details 3" + (" | old Details 0 | old Details 3" if OLD_CLI else ""))
    print("---|---|---" + ("|---|---" if OLD_CLI else ""))
    for name, formula, dimacs in messages:
        cells = []
        for cli in [CLI] + ([OLD_CLI] if OLD_CLI else []):
            for details in (0, 3):
                seconds, kilobytes, status, out, err = decide(cli, formula, details, dimacs)
                verdict = " (verdict)" if "\nThis formula is" in err else ""
                cells.append(fmt(seconds, kilobytes) + ("" if status == 1 else f" (exit {status})" if status is not None else "") + verdict)
        print(f"{name} | " + " | ".join(cells), flush=True)


def minimum_outcome(status, out, err):
    if status == 0:
        result = "".join(out.strip().splitlines()[1:])
        return f"proved: {result.count('|') + 1} terms"
    if "No minimum form could be proved" in err:
        detail = err.split("reasonable time: ", 1)[1].split(" The formula")[0]
        return "gave up: " + detail
    return f"exit {status}"


def minimum_table():
    print()
    print("Minimum DNF (lumenark-cli minimumdnf) of random functions given as their minterms, whole processes")
    print("letters | density | time, peak | result" + (" | old build | old result" if OLD_CLI else ""))
    print("---|---|---|---" + ("|---|---" if OLD_CLI else ""))
    sys.path.insert(0, os.path.dirname(__file__))
    from minimum_table import minterm_dnf
    for letters in ((10, 12, 14) if QUICK else (10, 11, 12, 13, 14)):
        for density in ((0.5, 0.9) if QUICK else (0.25, 0.5, 0.75, 0.9)):
            formula = minterm_dnf(letters, 1, density)
            seconds, kilobytes, status, out, err = measured([CLI, "minimumdnf"], formula, MINIMUM_LIMIT)
            line = f"{letters} | {density} | {fmt(seconds, kilobytes, MINIMUM_LIMIT)} | " + (
                minimum_outcome(status, out, err) if seconds is not None else "-")
            if OLD_CLI:
                old = measured([OLD_CLI, "minimumdnf"], formula, MINIMUM_LIMIT)
                line += f" | {fmt(old[0], old[1], MINIMUM_LIMIT)} | " + (
                    minimum_outcome(old[2], old[3], old[4]) if old[0] is not None else "-")
            print(line, flush=True)


if __name__ == "__main__":
    if "--minimum-only" not in sys.argv:
        edge_table()
    minimum_table()
