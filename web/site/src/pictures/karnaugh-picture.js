// The picture of a Karnaugh map as a student draws it, and as the desktop's map window
// draws it: the cells with their 0s and 1s, the edges labelled in Gray-code order with
// the letters at the corner, and each group of the minimum DNF as a coloured loop round
// its cells. A group that wraps round an edge of the map is a loop open at both edges;
// with 5 and 6 letters each map of 4 by 4 cells is drawn on its own, captioned with the
// letters that choose it. Below the maps, each group's colour with its term, and the
// minimum DNF. Every group has a colour of its own.

import { element, svgRoot, textWidth } from './svg.js';

const kFontSize = 15;
const kLineHeight = kFontSize * 1.17 * 1.4;

// The desktop's colours for the first ten groups; further groups get hues of their own,
// spread round the colour wheel by the golden angle.
const kColors = [
  [214, 39, 40], [31, 119, 180], [44, 160, 44], [255, 127, 14], [148, 103, 189],
  [23, 190, 207], [227, 119, 194], [140, 86, 75], [188, 189, 34], [127, 127, 127],
];

export function groupColor(g) {
  if (g < kColors.length) return `rgb(${kColors[g].join(', ')})`;
  const hue = Math.round((g * 137.508) % 360);
  const lightness = 35 + ((g * 7) % 3) * 10;
  return `hsl(${hue}, 75%, ${lightness}%)`;
}

function binary(code, digits) {
  let text = '';
  for (let i = digits - 1; i >= 0; i--) text += (code >> i) & 1 ? '1' : '0';
  return text;
}

// The stretches of the covered cells of an edge: a group covers 1, 2 or all cells of an
// edge, neighbours in Gray-code order; the first and the last cell are neighbours across
// the edge, and a loop round them is open at both ends.
function runs(covered) {
  const size = covered.length;
  if (size === 4 && covered[0] && covered[3] && !covered[1]) {
    return [{ first: 0, last: 0, openBefore: true, openAfter: false }, { first: 3, last: 3, openBefore: false, openAfter: true }];
  }
  const result = [];
  for (let i = 0; i < size; i++) {
    if (!covered[i]) continue;
    const last = result[result.length - 1];
    if (last && last.last + 1 === i) last.last = i;
    else result.push({ first: i, last: i, openBefore: false, openAfter: false });
  }
  return result;
}

export function karnaughPicture(map) {
  const { letters, rowLetters, columnLetters, ones, groups, minimum } = map;
  const rowCodes = map.rowCodes, columnCodes = map.columnCodes;
  const cell = Math.max(kFontSize * 1.17 * 3, textWidth('000', kFontSize) * 1.6);
  const margin = kLineHeight;
  const rowPanels = rowLetters === 3 ? 2 : 1, columnPanels = columnLetters === 3 ? 2 : 1;
  const rowsPerPanel = rowCodes.length / rowPanels, columnsPerPanel = columnCodes.length / columnPanels;
  const innerRowLetters = rowLetters === 3 ? 2 : rowLetters, innerColumnLetters = columnLetters === 3 ? 2 : columnLetters;
  const rowNames = letters.substr(rowLetters - innerRowLetters, innerRowLetters);
  const columnNames = letters.substr(rowLetters + columnLetters - innerColumnLetters, innerColumnLetters);
  const labelWidth = Math.max(textWidth(rowNames, kFontSize), textWidth('00', kFontSize)) + kLineHeight;
  const labelHeight = kLineHeight * 1.6;
  const captionHeight = rowPanels * columnPanels > 1 ? kLineHeight : 0;
  const panelWidth = labelWidth + columnsPerPanel * cell;
  const panelHeight = captionHeight + labelHeight + rowsPerPanel * cell;
  const gap = cell * 0.6;
  const panels = [];
  for (let br = 0; br < rowPanels; br++) {
    for (let bc = 0; bc < columnPanels; bc++) {
      const left = margin + bc * (panelWidth + gap), top = margin + br * (panelHeight + gap);
      const chosen = [];
      if (rowPanels > 1) chosen.push(`${letters[0]} = ${br}`);
      if (columnPanels > 1) chosen.push(`${letters[rowLetters]} = ${bc}`);
      panels.push({
        firstRow: br * rowsPerPanel, firstColumn: bc * columnsPerPanel,
        grid: { x: left + labelWidth, y: top + captionHeight + labelHeight, w: columnsPerPanel * cell, h: rowsPerPanel * cell },
        caption: chosen.join(', '),
      });
    }
  }
  const legendTop = margin + rowPanels * panelHeight + (rowPanels - 1) * gap + kLineHeight * 0.5;
  let width = columnPanels * panelWidth + (columnPanels - 1) * gap;
  groups.forEach((group, g) => { width = Math.max(width, kLineHeight * 3 + textWidth(`${g + 1}  ${group.term}`, kFontSize)); });
  width = Math.max(width, textWidth(`Minimum DNF: ${minimum}`, kFontSize));
  const svg = svgRoot(width + 2 * margin, legendTop + (groups.length + 1) * kLineHeight + margin, 'Karnaugh map');
  svg.setAttribute('font-size', kFontSize);
  svg.classList.add('karnaugh-picture');
  const value = (row, column) => ones[(row << columnLetters) | column] === 1 || ones[(row << columnLetters) | column] === true;
  const text = (x, y, content, attributes = {}) => element('text', { x, y, ...attributes }, content);

  panels.forEach((panel, p) => {
    const { grid } = panel;
    const group = element('g', { class: 'map' });
    if (panel.caption) {
      group.append(text(grid.x - labelWidth + (grid.w + labelWidth) / 2, grid.y - labelHeight - captionHeight / 2,
        panel.caption, { 'text-anchor': 'middle', 'dominant-baseline': 'central' }));
    }
    const corner = { x: grid.x - labelWidth, y: grid.y - labelHeight };
    group.append(element('line', { x1: corner.x, y1: corner.y, x2: grid.x, y2: grid.y, stroke: '#000' }));
    group.append(text(corner.x + 2, grid.y - 3, rowNames, {}));
    group.append(text(grid.x - 2, corner.y + kFontSize, columnNames, { 'text-anchor': 'end' }));
    const rowMask = (1 << innerRowLetters) - 1, columnMask = (1 << innerColumnLetters) - 1;
    for (let c = 0; c < columnsPerPanel; c++) {
      group.append(text(grid.x + (c + 0.5) * cell, grid.y - kLineHeight / 2, binary(columnCodes[panel.firstColumn + c] & columnMask, innerColumnLetters),
        { 'text-anchor': 'middle', 'dominant-baseline': 'central' }));
    }
    for (let r = 0; r < rowsPerPanel; r++) {
      group.append(text(grid.x - kLineHeight * 0.3, grid.y + (r + 0.5) * cell, binary(rowCodes[panel.firstRow + r] & rowMask, innerRowLetters),
        { 'text-anchor': 'end', 'dominant-baseline': 'central' }));
    }
    for (let i = 1; i < columnsPerPanel; i++) {
      group.append(element('line', { x1: grid.x + i * cell, y1: grid.y, x2: grid.x + i * cell, y2: grid.y + grid.h, stroke: '#aaaaaa' }));
    }
    for (let i = 1; i < rowsPerPanel; i++) {
      group.append(element('line', { x1: grid.x, y1: grid.y + i * cell, x2: grid.x + grid.w, y2: grid.y + i * cell, stroke: '#aaaaaa' }));
    }
    group.append(element('rect', { x: grid.x, y: grid.y, width: grid.w, height: grid.h, fill: 'none', stroke: '#000', 'stroke-width': 1.5 }));
    for (let r = 0; r < rowsPerPanel; r++) {
      for (let c = 0; c < columnsPerPanel; c++) {
        const one = value(rowCodes[panel.firstRow + r], columnCodes[panel.firstColumn + c]);
        group.append(text(grid.x + (c + 0.5) * cell, grid.y + (r + 0.5) * cell, one ? '1' : '0', {
          'text-anchor': 'middle', 'dominant-baseline': 'central',
          fill: one ? '#000000' : '#969696', 'font-weight': one ? 'bold' : 'normal',
        }));
      }
    }
    svg.append(group);
    const clip = element('clipPath', { id: `karnaugh-clip-${p}` });
    clip.append(element('rect', { x: grid.x - 1, y: grid.y - 1, width: grid.w + 2, height: grid.h + 2 }));
    svg.append(clip);
  });

  // The loops, each group's over every map, later groups a little further inside their
  // cells so that loops round the same cells stay apart.
  const columnBits = (1 << columnLetters) - 1;
  const strokeWidth = Math.max(2, cell / 14);
  groups.forEach((g, index) => {
    const color = groupColor(index);
    const loops = element('g', { class: 'loop', 'data-group': index + 1, stroke: color, fill: color, 'fill-opacity': 40 / 255, 'stroke-width': strokeWidth });
    panels.forEach((panel, p) => {
      const rows = [], columns = [];
      for (let r = 0; r < rowsPerPanel; r++) {
        const row = rowCodes[panel.firstRow + r] << columnLetters;
        rows.push(((row & g.care & ~columnBits) >>> 0) === ((g.value & ~columnBits) >>> 0));
      }
      for (let c = 0; c < columnsPerPanel; c++) {
        columns.push((columnCodes[panel.firstColumn + c] & g.care & columnBits) === (g.value & columnBits));
      }
      const inset = cell * (0.07 + 0.06 * (index % 4));
      const clipped = element('g', { 'clip-path': `url(#karnaugh-clip-${p})` });
      for (const across of runs(columns)) {
        for (const down of runs(rows)) {
          let x = panel.grid.x + across.first * cell + inset, y = panel.grid.y + down.first * cell + inset;
          let w = (across.last - across.first + 1) * cell - 2 * inset, h = (down.last - down.first + 1) * cell - 2 * inset;
          if (across.openBefore) { x -= cell; w += cell; }
          if (across.openAfter) w += cell;
          if (down.openBefore) { y -= cell; h += cell; }
          if (down.openAfter) h += cell;
          clipped.append(element('rect', { x, y, width: w, height: h, rx: cell * 0.3, ry: cell * 0.3 }));
        }
      }
      if (clipped.childNodes.length) loops.append(clipped);
    });
    svg.append(loops);
  });

  let y = legendTop;
  groups.forEach((g, index) => {
    svg.append(element('line', {
      x1: margin, y1: y + kLineHeight / 2, x2: margin + kLineHeight * 1.5, y2: y + kLineHeight / 2,
      stroke: groupColor(index), 'stroke-width': strokeWidth,
    }));
    svg.append(text(margin + kLineHeight * 2, y + kLineHeight / 2, `${index + 1}  ${g.term}`, { 'dominant-baseline': 'central' }));
    y += kLineHeight;
  });
  svg.append(text(margin, y + kLineHeight / 2, `Minimum DNF: ${minimum}`, { 'dominant-baseline': 'central' }));
  return svg;
}
