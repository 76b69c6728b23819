// The engine's tableau, as the tableau picture draws it: a tree of branch stretches,
// each with its lines, its two branches after a fork, and how it ends.
//
// The module gives { verdict, lines: [{ number, text, rule, from }], branches: [{ lines:
// [line numbers], end, closedBy?, children?: [branch, branch] }] }, the first branch
// starting with the first line; this is the one place that reads that shape.

const kEndNames = { closed: 'closed', open: 'open', 'not developed': 'undeveloped', split: 'split' };

// Pictures of more lines than this would be too large to look at; the text has them.
export const kMostPictureLines = 3000;

export function tableauTree(tableau) {
  if (!tableau?.branches?.length || tableau.lines.length > kMostPictureLines) return null;
  const byNumber = new Map(tableau.lines.map((line) => [line.number, line]));
  const build = (index) => {
    const branch = tableau.branches[index];
    return {
      lines: branch.lines.map((n) => byNumber.get(n)).filter(Boolean)
        .map((l) => ({ number: l.number, text: l.text, rule: l.rule, from: l.from })),
      children: (branch.children ?? []).map(build),
      end: kEndNames[branch.end] ?? branch.end,
      closedBy: branch.closedBy ?? null,
    };
  };
  return build(0);
}
