// The truth table a command wrote, read back from its text as a table: its columns (the
// letters, then the formula's columns, each with its heading) and its rows of 0 and 1.
// The engine wraps long lines at the line length, breaking before a column, so a
// heading and every row take the same number of lines: the heading's continuation lines
// start with a blank, and a row starts with its first value.

export function parseTruthTable(text) {
  const lines = text.split('\n');
  const isRowStart = (line) => /^[01]( [01])*(\s|$)/.test(line);
  for (let h = 0; h < lines.length; h++) {
    if (!/^[A-Za-z]( [A-Za-z])*(  |$)/.test(lines[h])) continue;
    let k = 1;
    while (h + k < lines.length && lines[h + k].startsWith(' ') && !isRowStart(lines[h + k])) k++;
    if (h + k >= lines.length || !isRowStart(lines[h + k])) continue;
    const heading = lines.slice(h, h + k);
    const columns = columnsOf(heading);
    if (!columns.length) continue;
    const rows = [];
    for (let r = h + k; r + k <= lines.length && isRowStart(lines[r]); r += k) {
      const parts = lines.slice(r, r + k);
      if (parts.slice(1).some((p) => !p.startsWith(' '))) break;
      const values = [];
      for (const column of columns) {
        const piece = parts[column.line].slice(column.start, column.end).trim();
        if (piece !== '0' && piece !== '1') return null;
        values.push(piece === '1' ? 1 : 0);
      }
      rows.push(values);
    }
    if (!rows.length) continue;
    const legend = [];
    for (let l = h - 1; l >= 0 && /^\(\d+\) /.test(lines[l]); l--) legend.unshift(lines[l]);
    return { columns: columns.map((c) => c.title), letters: columns.filter((c) => c.letter).length, rows, legend };
  }
  return null;
}

// The columns of a heading of one or more lines: each title with the stretch of its line
// that its values take (they stand right-aligned under the title's end).
function columnsOf(heading) {
  const columns = [];
  heading.forEach((line, l) => {
    const pattern = /\S+/g;
    let match;
    let start = 0;
    while ((match = pattern.exec(line))) {
      const end = match.index + match[0].length;
      // The letters stand one blank apart at the start; two blanks lead to a formula's column.
      const letter = l === 0 && /^[A-Za-z]$/.test(match[0]) && columns.every((c) => c.letter)
        && (columns.length === 0 || match.index - start === 1);
      columns.push({ title: match[0], line: l, start, end, letter });
      start = end;
    }
  });
  return columns;
}
