"""The proofs table (bench/run --proofs): Tableau beside Decision on valid 12-letter
formulas of textbook shape, and Equivalence of two 52-letter formulas beside picosat on
the same question. Everything runs as whole processes: the median of five runs, with
its peak resident memory."""
import os
import random
import subprocess
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
CLI = os.path.join(ROOT, "build", "bin", "lumenark-cli")
LETTERS = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"


def timed(command, stdin_text="", runs=5):
    """(median seconds, its peak KB, exit status, stdout) of the command as a whole process:
    wall time around it, peak resident size from /usr/bin/time (a child's own peak also
    counts what its parent held before the exec, so the parent is small)."""
    results = []
    for _ in range(runs):
        with tempfile.NamedTemporaryFile("r", suffix=".time") as peak:
            start = time.perf_counter()
            done = subprocess.run(["/usr/bin/time", "-q", "-f", "%M", "-o", peak.name] + command, input=stdin_text,
                                  capture_output=True, text=True)
            seconds = time.perf_counter() - start
            results.append((seconds, int(peak.read().split()[-1]), done.returncode, done.stdout))
    results.sort(key=lambda r: r[0])
    return results[len(results) // 2]


def fmt(seconds, kilobytes):
    shown = f"{seconds * 1000:.1f} ms" if seconds < 1 else f"{seconds:.2f} s"
    return f"{shown}, {kilobytes / 1024:.1f} MB"


def ratio(a, b):
    return f"{a / b:.1f}"


# ---- Tableau beside Decision -------------------------------------------------------------

def implication_chain(n):
    """(A>B)&(B>C)&...&(K>L)>(A>L): hypothetical syllogism over n letters."""
    steps = "&".join(f"({LETTERS[i]}>{LETTERS[i + 1]})" for i in range(n - 1))
    return f"{steps}>({LETTERS[0]}>{LETTERS[n - 1]})"


def distributive_law(n):
    """A|B&C&...&L = (A|B)&(A|C)&...&(A|L): distribution of | over & with n letters."""
    rest = LETTERS[1:n]
    return f"{LETTERS[0]}|{'&'.join(rest)}=" + "&".join(f"({LETTERS[0]}|{x})" for x in rest)


def de_morgan(n):
    """~(A&B&...&L)=~A|~B|...|~L."""
    return f"~({'&'.join(LETTERS[:n])})=" + "|".join("~" + x for x in LETTERS[:n])


def equivalence_chains(n):
    """(A=B=...=L)=(L=...=A): valid, and the worst case of the tableau (it branches at every =)."""
    return f"({'='.join(LETTERS[:n])})=({'='.join(reversed(LETTERS[:n]))})"


def tableau_rows():
    print()
    print("Tableau beside Decision, 12 letters, valid formulas (whole processes, median of 5, peak memory)")
    print("formula | Decision | Tableau, verdict only (Details 4) | Tableau / Decision | Tableau written (Details 1)"
          " | lines | written / Decision")
    print("---|---|---|---|---|---|---")
    for name, formula in (("implication chain", implication_chain(12)), ("distributive law", distributive_law(12)),
                          ("De Morgan", de_morgan(12)), ("equivalence chains (worst case)", equivalence_chains(12))):
        decision = timed([CLI, "decision"], formula)
        assert decision[3].endswith("This formula is valid.\n"), decision[3]
        verdict = timed([CLI, "tableau"], formula)
        assert verdict[3].endswith("All branches close: the formula is valid.\n"), verdict[3]
        written = timed([CLI, "--details", "1", "tableau"], formula)
        summary = timed([CLI, "--details", "3", "tableau"], formula, runs=1)[3]
        lines = int(summary.split("Result - Tableau: ")[1].split()[0])
        print(f"{name} | {fmt(*decision[:2])} | {fmt(*verdict[:2])} | {ratio(verdict[0], decision[0])}"
              f" | {fmt(*written[:2])} | {lines:,} | {ratio(written[0], decision[0])}", flush=True)


# ---- Equivalence beside picosat ------------------------------------------------------------

def random_formula(seed, clauses=180):
    """Clauses of three literals over the 52 letters, joined by & and, now and then, |, with
    some > inside: a formula of every letter whose truth takes the solver some search."""
    rng = random.Random(seed)
    parts = []
    for _ in range(clauses):
        literals = [("~" if rng.random() < 0.5 else "") + rng.choice(LETTERS) for _ in range(3)]
        parts.append(f"({literals[0]}|{literals[1]}>{literals[2]})")
    text = parts[0]
    for part in parts[1:]:
        text += ("|" if rng.random() < 0.2 else "&") + part
    return text + "|" + "&".join(LETTERS)


def rewritten(formula, command):
    out = subprocess.run([CLI, "--width", "250", command], input=formula, capture_output=True, text=True).stdout
    return "".join(out.split("\n")[1:])


def flip_one(formula, seed):
    """The formula with one literal's sign changed."""
    rng = random.Random(seed)
    places = [i for i, c in enumerate(formula) if c in LETTERS]
    at = rng.choice(places[: len(places) // 2])
    return formula[:at] + "~" + formula[at:]


def chain_and_contrapositive():
    steps = "&".join(f"({LETTERS[i]}>{LETTERS[i + 1]})" for i in range(51))
    contra = "&".join(f"(~{LETTERS[i + 1]}>~{LETTERS[i]})" for i in range(51))
    return steps, contra


def picosat_on(first, second):
    """picosat on the DIMACS of ~(first=second) (unsatisfiable exactly when they are equivalent)."""
    out = subprocess.run([CLI, "dimacs"], input=f"~(({first})=({second}))", capture_output=True, text=True).stdout
    dimacs = out.split("\n", 1)[1]
    with tempfile.NamedTemporaryFile("w", suffix=".cnf", delete=False) as f:
        f.write(dimacs)
        path = f.name
    try:
        result = timed(["picosat", path])
    finally:
        os.unlink(path)
    return result, {20: "UNSAT", 10: "SAT"}.get(result[2], "?")


def equivalence_rows():
    print()
    print("Equivalence of two 52-letter formulas beside picosat on the DIMACS of their negated equivalence"
          " (whole processes, median of 5, peak memory)")
    print("pair | answer | Lumenark equivalence | picosat | Lumenark / picosat")
    print("---|---|---|---|---")
    chain, contra = chain_and_contrapositive()
    pairs = [("implication chain / its contrapositive", chain, contra),
             ("~(A&...&z) / ~A|...|~z", f"~({'&'.join(LETTERS)})", "|".join("~" + x for x in LETTERS))]
    for seed, clauses in ((1, 180), (2, 180), (3, 1500)):
        formula = random_formula(seed, clauses)
        pairs.append((f"random formula {seed} ({clauses} clauses) / its Disjunctions", formula,
                      rewritten(formula, "disjunctions")))
        pairs.append((f"random formula {seed} ({clauses} clauses) / one sign changed", formula, flip_one(formula, seed)))
    for name, first, second in pairs:
        ours = timed([CLI, "equivalence"], f"{first}\n{second}")
        answer = "equivalent" if "These formulas are equivalent." in ours[3] else "differ"
        peer, verdict = picosat_on(first, second)
        assert (verdict == "UNSAT") == (answer == "equivalent"), (name, verdict, answer)
        print(f"{name} | {answer} | {fmt(*ours[:2])} | {fmt(*peer[:2])} | {ratio(ours[0], peer[0])}", flush=True)


if __name__ == "__main__":
    tableau_rows()
    equivalence_rows()
