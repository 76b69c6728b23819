// The truth table as a table with aligned columns: the letters, then the formula's
// columns, a 1 in bold. Only the rows in view are in the page, so a table of 2^20 rows
// scrolls as one of 4 does.

const kRowHeight = 22;

export class TruthTableView {
  constructor(table) {
    this.table = table;
    this.element = document.createElement('div');
    this.element.className = 'truth-table';
    this.element.setAttribute('role', 'table');
    this.element.setAttribute('aria-label', 'Truth table');
    this.element.setAttribute('aria-rowcount', String(table.rows.length + 1));
    const template = `repeat(${table.columns.length}, max-content)`;
    this.element.style.setProperty('--columns', template);
    if (table.legend.length) {
      const legend = document.createElement('div');
      legend.className = 'truth-legend';
      legend.textContent = table.legend.join('\n');
      this.element.append(legend);
    }
    this.scroller = document.createElement('div');
    this.scroller.className = 'truth-scroller';
    this.grid = document.createElement('div');
    this.grid.className = 'truth-grid';
    this.head = this.makeRow(table.columns, true, 1);
    this.body = document.createElement('div');
    this.body.className = 'truth-body';
    this.body.style.height = `${table.rows.length * kRowHeight}px`;
    this.grid.append(this.head, this.body);
    this.scroller.append(this.grid);
    this.element.append(this.scroller);
    this.scroller.addEventListener('scroll', () => this.draw());
    this.drawn = [-1, -1];
    requestAnimationFrame(() => this.draw());
  }

  makeRow(values, heading, index) {
    const row = document.createElement('div');
    row.className = heading ? 'truth-row truth-head' : 'truth-row';
    row.setAttribute('role', 'row');
    row.setAttribute('aria-rowindex', String(index));
    values.forEach((value, i) => {
      const cell = document.createElement('span');
      cell.setAttribute('role', heading ? 'columnheader' : 'cell');
      cell.className = i < this.table.letters ? 'letter' : 'formula';
      if (!heading && value === 1) cell.classList.add('one');
      if (i === values.length - 1) cell.classList.add('last');
      cell.textContent = String(value);
      row.append(cell);
    });
    return row;
  }

  draw() {
    const top = this.scroller.scrollTop;
    const height = this.scroller.clientHeight || 400;
    const first = Math.max(0, Math.floor(top / kRowHeight) - 10);
    const last = Math.min(this.table.rows.length, Math.ceil((top + height) / kRowHeight) + 10);
    if (first === this.drawn[0] && last === this.drawn[1]) return;
    this.drawn = [first, last];
    const rows = [];
    for (let r = first; r < last; r++) {
      const row = this.makeRow(this.table.rows[r], false, r + 2);
      row.style.top = `${r * kRowHeight}px`;
      if (r % 2) row.classList.add('odd');
      rows.push(row);
    }
    this.body.replaceChildren(...rows);
  }

  // The rows for printing, at most limit of them (and then a line that says so).
  printable(limit) {
    const table = document.createElement('table');
    table.className = 'truth-print';
    const head = table.createTHead().insertRow();
    for (const title of this.table.columns) head.append(Object.assign(document.createElement('th'), { textContent: title }));
    const body = table.createTBody();
    for (const values of this.table.rows.slice(0, limit)) {
      const row = body.insertRow();
      for (const value of values) row.insertCell().textContent = String(value);
    }
    const left = this.table.rows.length - limit;
    if (left > 0) {
      const cell = body.insertRow().insertCell();
      cell.colSpan = this.table.columns.length;
      cell.textContent = `${left} more rows: Save gives the whole table.`;
    }
    return table;
  }

  // The table as comma-separated values, for a spreadsheet.
  csv() {
    const quote = (s) => (/[",\n]/.test(s) ? `"${s.replace(/"/g, '""')}"` : s);
    return [this.table.columns.map(quote).join(','), ...this.table.rows.map((r) => r.join(','))].join('\r\n') + '\r\n';
  }
}
