// The engine's tableau, as the tableau picture draws it: a tree of branch stretches,
// each with its lines, its two branches after a fork, and how it ends.
//
// The module gives { lines: [{ number, text, rule, from }], branches / root ... }; this
// is the one place that reads its shape.

const kEndNames = { closed: 'closed', open: 'open', 'not developed': 'undeveloped', undeveloped: 'undeveloped', split: 'split' };

function branchOf(raw) {
  return {
    lines: (raw.lines ?? []).map((l) => ({ number: l.number, text: l.text, rule: l.rule, from: l.from })),
    children: (raw.children ?? []).map(branchOf),
    end: kEndNames[raw.end] ?? raw.end,
    closedBy: raw.closedBy ?? null,
  };
}

export function tableauTree(tableau) {
  return branchOf(tableau.root ?? tableau);
}
