"""Benchmark formulas, in Lumenark's syntax: one generator per workload, by size."""
import random

LETTERS = [chr(c) for c in range(ord('A'), ord('Z') + 1)] + [chr(c) for c in range(ord('a'), ord('z') + 1)]


def pairs_dnf(n):
    """a1&b1 | a2&b2 | ... | an&bn: its CNF has 2^n clauses."""
    return "|".join(f"{LETTERS[i]}&{LETTERS[26 + i]}" for i in range(n))


def pairs_cnf(n):
    """The dual, (a1|b1)&...&(an|bn): its DNF has 2^n terms."""
    return "&".join(f"({LETTERS[i]}|{LETTERS[26 + i]})" for i in range(n))


def random_formula(k, seed=1):
    """A random formula over k letters with all operators, equivalences included:
    a balanced tree of 2k leaves, each letter twice, random operators and negations."""
    rng = random.Random(seed * 1000 + k)
    leaves = [LETTERS[i % k] for i in range(2 * k)]
    rng.shuffle(leaves)
    ops = "&|>&|>="

    def build(items):
        if len(items) == 1:
            return ("~" if rng.random() < 0.3 else "") + items[0]
        mid = len(items) // 2
        return ("~" if rng.random() < 0.2 else "") + "(" + build(items[:mid]) + rng.choice(ops) + build(items[mid:]) + ")"

    return build(leaves)


def random_normal_form(letters, terms, seed, inner, outer):
    """terms random terms of 2 to 4 distinct letters among the first `letters`, each
    letter negated or not, joined by inner within a term and by outer between them."""
    rng = random.Random(seed * 104729 + letters * 101 + terms)
    parts = []
    for _ in range(terms):
        chosen = rng.sample(LETTERS[:letters], rng.randint(2, 4))
        parts.append(inner.join(("~" if rng.random() < 0.5 else "") + x for x in chosen))
    return outer.join(parts) if outer == "|" else outer.join("(" + p + ")" for p in parts)


def random_dnf(size, seed=1):
    """A random DNF of size = (letters, terms): its CNF multiplies the terms out."""
    letters, terms = size
    return random_normal_form(letters, terms, seed, "&", "|")


def random_cnf(size, seed=1):
    """The dual: a random CNF of size = (letters, clauses), for its DNF."""
    letters, clauses = size
    return random_normal_form(letters, clauses, seed, "|", "&")


def products(formula):
    """How many products the distribution of a DNF from random_dnf (or a CNF from
    random_cnf) multiplies: the product of its term lengths."""
    terms = formula.strip("()").split(")&(") if formula.startswith("(") else formula.split("|")
    count = 1
    for term in terms:
        count *= sum(c.isalpha() for c in term)
    return count


def minterms_dnf(k, seed=1):
    """Every minterm of a random function of k letters, as a DNF (about 2^(k-1) terms)."""
    rng = random.Random(seed * 7919 + k)
    terms = []
    for bits in range(1 << k):
        if rng.random() < 0.5:
            terms.append("&".join(("" if bits >> i & 1 else "~") + LETTERS[i] for i in range(k)))
    return "|".join(terms) if terms else "A&~A"


def implication_chain(n):
    """(a1>a2)&(a2>a3)&...&(an-1>an) > (a1>an): valid."""
    chain = "&".join(f"({LETTERS[i]}>{LETTERS[i + 1]})" for i in range(n - 1))
    return f"({chain})>({LETTERS[0]}>{LETTERS[n - 1]})"


def contradiction_chain(n):
    """a1 & (a1>a2) & ... & (an-1>an) & ~an: not consistent."""
    chain = "&".join(f"({LETTERS[i]}>{LETTERS[i + 1]})" for i in range(n - 1))
    return f"{LETTERS[0]}&{chain}&~{LETTERS[n - 1]}"


def pigeonhole(n):
    """n+1 pigeons do not fit into n holes, one pigeon a hole: valid. Letter i*n+j says
    pigeon i sits in hole j (up to 6 holes with the 52 letters)."""
    def sits(i, j):
        return LETTERS[i * n + j]
    every_pigeon_sits = "&".join("(" + "|".join(sits(i, j) for j in range(n)) + ")" for i in range(n + 1))
    shared = [f"~({sits(i, j)}&{sits(k, j)})" for j in range(n) for i in range(n + 1) for k in range(i + 1, n + 1)]
    return f"~({every_pigeon_sits}&" + "&".join(shared) + ")"


def text_of_size(size, seed=1):
    """A formula of about `size` characters: a conjunction of random three-letter clauses."""
    rng = random.Random(seed)
    parts = []
    length = 0
    while length < size:
        clause = "(" + "|".join(("~" if rng.random() < 0.5 else "") + rng.choice(LETTERS) for _ in range(3)) + ")"
        parts.append(clause)
        length += len(clause) + 1
    return "&".join(parts)


def test_formulas():
    """The sizes of the normal-form workloads that the tests convert both ways (step by
    step and directly), as a C++ header: python3 bench/workloads.py >
    tests/engine/WorkloadFormulas.h"""
    rows = [(f"pairs {n}", pairs_dnf(n)) for n in range(4, 13, 2)]
    rows += [(f"pairs (a|b) {n}", pairs_cnf(n)) for n in range(4, 13, 2)]
    rows += [(f"random {k} letters, seed {seed}", random_formula(k, seed)) for k in range(3, 16) for seed in range(1, 6)]
    rows += [(f"random DNF {letters} letters {terms} terms", random_dnf((letters, terms))) for letters in (7, 8, 10, 12)
             for terms in (8,)]
    rows += [(f"random CNF {letters} letters {terms} clauses", random_cnf((letters, terms))) for letters in (7, 8, 10, 12)
             for terms in (8,)]
    print("#pragma once")
    print("// The benchmark workloads' formulas at the sizes the tests convert both ways;")
    print("// written by python3 bench/workloads.py (see test_formulas there).")
    print()
    print("namespace lumenark::testing {")
    print()
    print("struct WorkloadFormula {")
    print("  const char* name;")
    print("  const char* formula;")
    print("};")
    print()
    print("inline constexpr WorkloadFormula kWorkloadFormulas[] = {")
    for name, formula in rows:
        print(f'    {{"{name}", "{formula}"}},')
    print("};")
    print()
    print("}  // namespace lumenark::testing")


if __name__ == "__main__":
    test_formulas()


def pigeonhole_cnf(holes):
    """holes+1 pigeons in `holes` holes as a CNF: unsatisfiable (up to 6 holes)."""
    def sits(i, j):
        return LETTERS[i * holes + j]
    clauses = ["(" + "|".join(sits(i, j) for j in range(holes)) + ")" for i in range(holes + 1)]
    clauses += [f"(~{sits(i, j)}|~{sits(k, j)})" for j in range(holes) for i in range(holes + 1) for k in range(i + 1, holes + 1)]
    return "&".join(clauses)


def random_three_cnf(letters, clauses, seed):
    """clauses random clauses of three distinct letters among the first `letters`."""
    rng = random.Random(seed)
    return "&".join("(" + "|".join(("~" if rng.random() < 0.5 else "") + x for x in rng.sample(LETTERS[:letters], 3)) + ")"
                    for _ in range(clauses))


def random_k_cnf(width, letters, clauses, seed):
    """clauses random clauses of `width` distinct letters among the first `letters`."""
    rng = random.Random(seed * 7727 + width)
    return "&".join("(" + "|".join(("~" if rng.random() < 0.5 else "") + x for x in rng.sample(LETTERS[:letters], width))
                    + ")" for _ in range(clauses))


def equivalence_chain(letters, length):
    """A=B=...: `length` letters' equivalences, the first `letters` letters over and over."""
    return "=".join(LETTERS[i % letters] for i in range(length))


def exactly_one(k):
    """Exactly one of the first k letters, as a CNF: one clause of all, one per pair."""
    pairs = [f"(~{LETTERS[i]}|~{LETTERS[j]})" for i in range(k) for j in range(i + 1, k)]
    return "(" + "|".join(LETTERS[:k]) + ")&" + "&".join(pairs)


def parity(k):
    """A=B=...: a chain of k letters' equivalences."""
    return "=".join(LETTERS[:k])


def dimacs(cnf):
    """A CNF in Lumenark's syntax, clauses of literals, in DIMACS for a SAT solver."""
    lines = []
    for clause in cnf.split("&"):
        literals = clause.strip("()").split("|")
        lines.append(" ".join(("-" if x.startswith("~") else "") + str(LETTERS.index(x.lstrip("~")) + 1) for x in literals) + " 0")
    return f"p cnf {len(LETTERS)} {len(lines)}\n" + "\n".join(lines) + "\n"


# ---- Families at the edge (bench/run --edge) ---------------------------------------------

def cnf_of(clauses):
    """Clauses (lists of literals such as "A", "~B") in Lumenark's syntax."""
    return "&".join("(" + "|".join(c) + ")" if len(c) > 1 else c[0] for c in clauses)


def negated(literal):
    return literal[1:] if literal.startswith("~") else "~" + literal


def at_most_one(n):
    """At most one of the first n letters, as a CNF: one clause per pair."""
    return cnf_of([[negated(LETTERS[i]), negated(LETTERS[j])] for i in range(n) for j in range(i + 1, n)])


def exactly_k(n, k):
    """Exactly k of the first n letters, as a CNF: no k+1 of them all true, no n-k+1 all false."""
    from itertools import combinations
    clauses = [[negated(LETTERS[i]) for i in s] for s in combinations(range(n), k + 1)]
    clauses += [[LETTERS[i] for i in s] for s in combinations(range(n), n - k + 1)]
    return cnf_of(clauses)


def cycle_colouring(n, colours=3):
    """The vertices of an n-cycle in colours colours, neighbours different (letter v*colours+c)."""
    v = lambda i, c: LETTERS[i * colours + c]
    clauses = [[v(i, c) for c in range(colours)] for i in range(n)]
    clauses += [[negated(v(i, c)), negated(v(i, d))] for i in range(n) for c in range(colours) for d in range(c + 1, colours)]
    clauses += [[negated(v(i, c)), negated(v((i + 1) % n, c))] for i in range(n) for c in range(colours)]
    return cnf_of(clauses)


def queens(n):
    """n queens on an n-by-n board, one a row, none attacking another (letter row*n+column)."""
    q = lambda i, j: LETTERS[i * n + j]
    clauses = [[q(i, j) for j in range(n)] for i in range(n)]
    for i in range(n):
        for j in range(n):
            for k in range(n):
                for m in range(n):
                    if (i, j) < (k, m) and (i == k or j == m or abs(i - k) == abs(j - m)):
                        clauses.append([negated(q(i, j)), negated(q(k, m))])
    return cnf_of(clauses)


def adder_comparison(bits, broken):
    """Two ripple-carry adders of bits-bit numbers (letters A.., then the second number, then
    the carry in) agree on every sum bit: valid, unless one carry of the second misses a term."""
    a = lambda i: LETTERS[i]
    b = lambda i: LETTERS[bits + i]
    carry = second = LETTERS[2 * bits]
    parts = []
    for i in range(bits):
        parts.append(f"((({a(i)}=~{b(i)})=~{carry})=(~({a(i)}={b(i)})=~{second}))")
        carry = f"({a(i)}&{b(i)}|{a(i)}&{carry}|{b(i)}&{carry})"
        missing = broken and i == bits // 2
        second = f"({a(i)}&{b(i)}|{a(i)}&{second})" if missing else f"({a(i)}&{b(i)}|{a(i)}&{second}|{b(i)}&{second})"
    return "&".join(parts)


def xor_chain(n, repeated):
    """A=B=...: the first n letters, then the first `repeated` of them again, which cancel."""
    return "=".join(LETTERS[:n] + LETTERS[:repeated])


def random_3cnf_ratio(n, ratio, seed):
    """A random 3-CNF of n letters and round(ratio * n) clauses."""
    return random_three_cnf(n, int(round(ratio * n)), seed * 7919 + n)
