// The semantic tableau as a tree: each stretch of a branch is a column of numbered
// lines (the formula, and in grey the line its rule took apart and the rule), a fork
// splits it into its two branches side by side, and every branch ends with its mark: a
// red cross with the two lines that close it, a green "open" under the branch that
// gives the countermodel, or a grey "not developed".

import { element, svgRoot, textWidth } from './svg.js';

const kFontSize = 14;
const kLineHeight = 20;
const kGap = 28;
const kDrop = 26;

const kEnds = {
  closed: { color: '#c62828' },
  open: { color: '#2e7d32' },
  undeveloped: { color: '#777777' },
};

function lineText(line) { return `${line.number}. ${line.text}`; }

function noteText(line) {
  if (!(line.from > 0)) return line.rule ?? '';
  return `${line.from}, ${line.rule}`;
}

function endCaption(branch) {
  if (branch.end === 'closed') return branch.closedBy?.length ? `closed: ${branch.closedBy.join(', ')}` : 'closed';
  if (branch.end === 'open') return 'open';
  if (branch.end === 'undeveloped') return 'not developed';
  return '';
}

// Sizes: a branch's own box, and the width of its whole subtree.
function measure(branch) {
  const textColumn = Math.max(0, ...branch.lines.map((l) => textWidth(lineText(l), kFontSize)));
  const noteColumn = Math.max(0, ...branch.lines.map((l) => textWidth(noteText(l), kFontSize * 0.85)));
  branch.textColumn = textColumn;
  branch.boxWidth = Math.max(textColumn + (noteColumn ? 12 + noteColumn : 0), textWidth(endCaption(branch), kFontSize) + 20);
  branch.boxHeight = branch.lines.length * kLineHeight + (branch.children.length ? 0 : kLineHeight * 1.3);
  for (const child of branch.children) measure(child);
  const childrenWidth = branch.children.reduce((sum, c) => sum + c.width, 0) + kGap * Math.max(0, branch.children.length - 1);
  branch.width = Math.max(branch.boxWidth, childrenWidth);
  branch.depth = branch.boxHeight + (branch.children.length ? kDrop + Math.max(...branch.children.map((c) => c.depth)) : 0);
}

function place(branch, left, top, svg) {
  const center = left + branch.width / 2;
  const x = center - branch.boxWidth / 2;
  const group = element('g', { class: `branch end-${branch.end}` });
  branch.lines.forEach((line, i) => {
    const y = top + (i + 0.7) * kLineHeight;
    group.append(element('text', { x, y }, lineText(line)));
    const note = noteText(line);
    if (note) group.append(element('text', { x: x + branch.textColumn + 12, y, fill: '#666666', 'font-size': kFontSize * 0.85 }, note));
  });
  svg.append(group);
  const bottom = top + branch.lines.length * kLineHeight;
  if (!branch.children.length) {
    const end = kEnds[branch.end];
    if (end) {
      // The mark: a cross under a closed branch, a ring under the open one, three dots
      // under one not developed; then its caption.
      const y = bottom + kLineHeight * 0.75;
      const caption = endCaption(branch);
      const left = center - (textWidth(caption, kFontSize) + 22) / 2;
      const mark = element('g', { class: 'end-mark', stroke: end.color, fill: 'none', 'stroke-width': 2.5 });
      if (branch.end === 'closed') {
        mark.append(element('path', { d: `M${left} ${y - 6}l12 12m0 -12l-12 12` }));
      } else if (branch.end === 'open') {
        mark.append(element('circle', { cx: left + 6, cy: y, r: 6 }));
      } else {
        for (let i = 0; i < 3; i++) mark.append(element('circle', { cx: left + 1 + i * 5, cy: y + 3, r: 1, fill: end.color }));
      }
      group.append(mark);
      group.append(element('text', { x: left + 20, y: y + kFontSize * 0.35, fill: end.color, 'font-weight': 'bold' }, caption));
    }
    return;
  }
  let childLeft = center - (branch.children.reduce((s, c) => s + c.width, 0) + kGap * (branch.children.length - 1)) / 2;
  for (const child of branch.children) {
    const childCenter = childLeft + child.width / 2;
    svg.append(element('line', { x1: center, y1: bottom + 2, x2: childCenter, y2: bottom + kDrop - 2, stroke: '#333333', 'stroke-width': 1.5 }));
    place(child, childLeft, bottom + kDrop, svg);
    childLeft += child.width + kGap;
  }
}

// tree: { lines: [{ number, text, rule, from }], children: [tree, tree] | [], end,
// closedBy }, as tableauTree() makes it from the engine's answer (from 0: the first
// line, which no rule took apart).
export function tableauPicture(tree) {
  measure(tree);
  const margin = 16;
  const svg = svgRoot(tree.width + 2 * margin, tree.depth + 2 * margin, 'Tableau');
  svg.setAttribute('font-size', kFontSize);
  svg.classList.add('tableau-picture');
  place(tree, margin, margin, svg);
  return svg;
}
