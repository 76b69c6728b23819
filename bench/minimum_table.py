"""The minimum forms (bench/run --minimum): Minimum DNF of random functions given as
their minterms, beside SymPy's simplify_logic on the same function, both as whole
processes with their peak memory; the size of both results; and the larger functions
that SymPy refuses (12 and 16 letters), with what our search ends with."""
import os
import random
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
CLI = os.path.join(ROOT, "build", "bin", "lumenark-cli")
LETTERS = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
LIMIT = 120

PEER = r"""
import sys
sys.path.insert(0, sys.argv[1])
sys.setrecursionlimit(1_000_000)
from sympy import And, Or, Not, Symbol
from sympy.logic.boolalg import simplify_logic
from sympy_peer import parse
result = simplify_logic(parse(sys.stdin.read()), form="dnf")
terms = result.args if isinstance(result, Or) else (result,)
literals = sum(len(t.args) if isinstance(t, And) else (1 if isinstance(t, (Symbol, Not)) else 0) for t in terms)
print(len(terms), literals)
"""


def minterm_dnf(letters, seed, density):
    """The function's minterms as a DNF, one term per minterm, the first letter most significant."""
    r = random.Random(seed)
    terms = []
    for m in range(2 ** letters):
        if r.random() < density:
            terms.append("&".join(("" if (m >> (letters - 1 - i)) & 1 else "~") + LETTERS[i] for i in range(letters)))
    return "|".join(terms) if terms else "A&~A"


def timed(command, stdin_text):
    """(seconds, peak KB, exit status, standard output) of the whole process; None past LIMIT."""
    start = time.perf_counter()
    try:
        result = subprocess.run(["/usr/bin/time", "-f", "%M"] + command, input=stdin_text, capture_output=True,
                                text=True, timeout=LIMIT)
    except subprocess.TimeoutExpired:
        return None
    seconds = time.perf_counter() - start
    kb = result.stderr.strip().splitlines()[-1].split()[-1]
    return seconds, int(kb), result.returncode, result.stdout


def median_run(command, stdin_text, runs):
    results = [timed(command, stdin_text) for _ in range(runs)]
    if any(r is None for r in results):
        return None
    return sorted(results, key=lambda r: r[0])[len(results) // 2]


def size_of_dnf(text):
    """Terms and literals of a DNF as Lumenark prints it (a constant has no literal)."""
    if text in ("0", "1"):
        return (0 if text == "0" else 1), 0
    return text.count("|") + 1, sum(1 for c in text if c.isalpha())


def ours(formula, *options, runs=3):
    """(seconds, peak KB, (terms, literals) or the message)."""
    run = median_run([CLI, *options, "minimumdnf"], formula, runs)
    if run is None:
        return None
    seconds, kb, status, out = run
    if status != 0:
        return seconds, kb, "no minimum (gave up)" if status == 1 else f"exit {status}"
    result = "".join(out.split("\n")[1:])
    return seconds, kb, size_of_dnf(result)


def sympy(formula, runs=3):
    run = median_run(["python3", "-c", PEER, os.path.join(ROOT, "bench")], formula, runs)
    if run is None:
        return None
    seconds, kb, status, out = run
    if status != 0:
        return seconds, kb, "failed"
    terms, literals = out.split()
    return seconds, kb, (int(terms), int(literals))


def fmt(run):
    if run is None:
        return f"over {LIMIT} s", ""
    seconds, kb, _ = run
    return (f"{seconds * 1000:.0f} ms" if seconds < 1 else f"{seconds:.2f} s"), f"{kb / 1024:.1f} MB"


def size(run):
    if run is None:
        return ""
    result = run[2]
    return f"{result[0]} terms, {result[1]} literals" if isinstance(result, tuple) else result


def side_by_side():
    print("Minimum DNF of random functions of 8 letters, given as their minterms: lumenark-cli minimumdnf beside")
    print("SymPy's simplify_logic(form='dnf'), whole processes (median of 3), peak resident memory beside each time")
    print("density | seed | Lumenark | memory | SymPy | memory | SymPy / Lumenark | Lumenark's result | SymPy's result")
    print("---|---|---|---|---|---|---|---|---")
    for density in (0.25, 0.5, 0.75, 0.9):
        for seed in (1, 2):
            formula = minterm_dnf(8, seed, density)
            a, b = ours(formula), sympy(formula)
            ratio = f"{b[0] / a[0]:.0f}x" if a and b else ""
            print(f"{density} | {seed} | {' | '.join(fmt(a))} | {' | '.join(fmt(b))} | {ratio} | {size(a)} | {size(b)}",
                  flush=True)


def never_larger():
    print()
    print("The same on random functions of 3 to 8 letters (4 seeds and 3 densities each), one run each:")
    print("how often SymPy's DNF has more terms, or as many terms and more literals, than ours; as large; smaller")
    larger = same = smaller = 0
    for letters in range(3, 9):
        for density in (0.3, 0.5, 0.8):
            for seed in range(4):
                formula = minterm_dnf(letters, 100 * letters + seed, density)
                a, b = ours(formula, runs=1), sympy(formula, runs=1)
                if not (a and b and isinstance(a[2], tuple) and isinstance(b[2], tuple)):
                    continue
                larger += b[2] > a[2]
                same += b[2] == a[2]
                smaller += b[2] < a[2]
    print(f"SymPy larger: {larger} | as large: {same} | SymPy smaller: {smaller}", flush=True)


def beyond_sympy():
    print()
    print("Larger functions (SymPy's simplify_logic refuses more than 8 letters by default): lumenark-cli minimumdnf,")
    print("one run each; the search gives up with a message where it cannot prove a minimum within its limit")
    print("letters | density | seed | options | time | memory | result")
    print("---|---|---|---|---|---|---")
    cases = [(10, d, s, ()) for d in (0.5, 0.9) for s in (1, 2)]
    cases += [(12, d, s, ()) for d in (0.5, 0.75, 0.9) for s in (1, 2)]
    cases += [(16, d, 1, ("--memory-limit", "2G")) for d in (0.5, 0.9)]
    for letters, density, seed, options in cases:
        run = ours(minterm_dnf(letters, seed, density), *options, runs=1)
        print(f"{letters} | {density} | {seed} | {' '.join(options)} | {' | '.join(fmt(run))} | {size(run)}", flush=True)
    # Structured functions of many letters: the chain of implications and a sum of products.
    for name, formula in (("chain of 16 implications", "&".join(f"({LETTERS[i]}>{LETTERS[i + 1]})" for i in range(16))),
                          ("20 letters, 10 products", "|".join(f"{LETTERS[2 * i]}&~{LETTERS[2 * i + 1]}" for i in range(10)))):
        run = ours(formula, runs=1)
        print(f"{name} | | | | {' | '.join(fmt(run))} | {size(run)}", flush=True)


if __name__ == "__main__":
    side_by_side()
    never_larger()
    beyond_sympy()
