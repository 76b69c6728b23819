"""Times SymPy's to_cnf / to_dnf (simplify=False) on a formula in Lumenark's syntax.

usage: sympy_peer.py cnf|dnf|simplify|simplify-dnf FILE   prints the seconds of the operation alone
(simplify: simplify_logic, the smallest equivalent form, simplify-dnf the smallest DNF; past 8
letters simplify_logic returns the formula as it is, unless forced; FILE - reads standard input)."""
import sys
import time

from sympy import And, Equivalent, Implies, Not, Or, Symbol, false, true
from sympy.logic.boolalg import simplify_logic, to_cnf, to_dnf

sys.setrecursionlimit(1_000_000)


def parse(text):
    """The same grammar as Lumenark's parser: = loosest, then >, |, &; all left-associative."""
    text = "".join(c for c in text if not c.isspace())
    pos = 0
    symbols = {}

    def peek():
        return text[pos] if pos < len(text) else ""

    def level(ops, sub, make):
        nonlocal pos
        value = sub()
        while peek() == ops:
            pos += 1
            value = make(value, sub())
        return value

    def expression():
        return level("=", imp_term, Equivalent)

    def imp_term():
        return level(">", dis_term, Implies)

    def dis_term():
        return level("|", con_term, lambda a, b: Or(a, b, evaluate=False))

    def con_term():
        return level("&", factor, lambda a, b: And(a, b, evaluate=False))

    def factor():
        nonlocal pos
        c = peek()
        pos += 1
        if c == "(":
            value = expression()
            pos += 1  # ')'
            return value
        if c == "~":
            return Not(factor())
        if c == "0":
            return false
        if c == "1":
            return true
        return symbols.setdefault(c, Symbol(c))

    return expression()


def main():
    operation, path = sys.argv[1], sys.argv[2]
    expr = parse(sys.stdin.read() if path == "-" else open(path).read())
    start = time.perf_counter()
    if operation == "simplify":
        simplify_logic(expr)
    elif operation == "simplify-dnf":
        simplify_logic(expr, form="dnf")
    else:
        (to_cnf if operation == "cnf" else to_dnf)(expr, simplify=False)
    print(f"{time.perf_counter() - start:.6f}")


if __name__ == "__main__":
    main()
