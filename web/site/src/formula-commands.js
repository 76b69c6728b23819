// The Formula menu: the desktop window's items, captions, order and keys, each with the
// engine command it runs (lumenark-cli's name). A key that the desktop shows but leaves
// to the Edit menu (Ctrl+C is Copy, Ctrl+V Paste) is shown and not bound (bound: false).
// Where a browser keeps the desktop's key for itself (Ctrl+Shift+T reopens a closed tab,
// Ctrl+Shift+Q quits), the item has another, and the menu shows that one.

export const kFormulaMenu = [
  { submenu: 'Conversion', items: [
    { command: 'conjunctions', caption: 'Conjunctions', key: 'Ctrl+C', bound: false },
    { command: 'implications', caption: 'Implications', key: 'Ctrl+D' },
    { command: 'disjunctions', caption: 'Disjunctions', key: 'Ctrl+I' },
    { command: 'literals', caption: 'Literals', key: 'Ctrl+L' },
  ] },
  { command: 'compile', caption: 'Compile', key: 'Ctrl+F9' },
  { command: 'decompile', caption: 'Decompile', key: 'Shift+F9' },
  { command: 'tree', caption: 'Tree', key: 'Ctrl+Shift+F9' },
  { submenu: 'Normal forms', items: [
    { command: 'cnf', caption: 'Conjunctive', key: 'Ctrl+F7' },
    { command: 'dnf', caption: 'Disjunctive', key: 'Shift+F7' },
    { command: 'mincnf', caption: 'Minimal CNF', key: 'Ctrl+F8' },
    { command: 'mindnf', caption: 'Minimal DNF', key: 'Shift+F8' },
  ] },
  { command: 'evaluate', caption: 'Evaluate', key: 'Ctrl+V', bound: false },
  { command: 'decision', caption: 'Decision', key: 'F8' },
  { separator: true },
  { command: 'truthtable', caption: 'Truth Table', key: 'Alt+Shift+T', desktopKey: 'Ctrl+Shift+T' },
  { command: 'model', caption: 'Model', key: 'Ctrl+Shift+M' },
  { command: 'countermodel', caption: 'Countermodel', key: 'Ctrl+Shift+K' },
  { command: 'latex', caption: 'LaTeX', key: 'Ctrl+Shift+L' },
  { separator: true },
  { submenu: 'Minimum forms', items: [
    { command: 'minimumcnf', caption: 'Minimum CNF', key: 'Ctrl+F5' },
    { command: 'minimumdnf', caption: 'Minimum DNF', key: 'Shift+F5' },
  ] },
  { command: 'kmap', caption: 'Karnaugh Map', key: 'F5' },
  { separator: true },
  { command: 'tableau', caption: 'Tableau', key: 'Ctrl+Shift+B' },
  { command: 'equivalence', caption: 'Equivalence', key: 'Alt+Shift+Q', desktopKey: 'Ctrl+Shift+Q' },
  { command: 'dimacs', caption: 'DIMACS', key: 'Ctrl+Shift+X' },
];

// Every command item of the menu, submenus flattened, in menu order.
export function formulaCommands() {
  const all = [];
  for (const entry of kFormulaMenu) {
    if (entry.submenu) all.push(...entry.items);
    else if (entry.command) all.push(entry);
  }
  return all;
}
