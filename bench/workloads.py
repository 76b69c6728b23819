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
