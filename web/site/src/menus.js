// The menu bar's menus, in the desktop's order (File, Edit, Character, Formula, Window,
// Info), with the desktop's captions and keys. Where a browser keeps a key for itself
// (Ctrl+N opens a window, Ctrl+T a tab, Ctrl+W and Ctrl+F4 close the tab), the item has
// another and shows it. Keys that the text editor answers itself (Copy, Undo, Find)
// are shown and left to it. Items the desktop does not have come after its own.

import { kFormulaMenu } from './formula-commands.js';
import { openManual } from './manual.js';

export function buildMenus(bench) {
  const files = bench.files, edit = bench.edit;
  const formulaItem = (entry) => ({
    caption: entry.caption, key: entry.key, bound: entry.bound, id: entry.command,
    action: () => bench.formula.run(entry.command, entry.caption),
  });
  const formula = kFormulaMenu.map((entry) => {
    if (entry.separator) return entry;
    if (entry.submenu) return { submenu: entry.submenu, items: entry.items.map(formulaItem) };
    return formulaItem(entry);
  });
  const alignment = (caption, where) => ({
    caption, radio: true, checked: () => (edit.alignment ?? 'left') === where, action: () => edit.align(where),
  });
  return [
    { caption: 'File', items: [
      { caption: 'New', key: 'Alt+N', id: 'new', action: () => bench.newDocument() },
      { caption: 'Open', key: 'Ctrl+O', id: 'open', action: () => files.open() },
      { caption: 'Close', key: 'Alt+W', id: 'close', action: () => bench.closeDocument() },
      { separator: true },
      { caption: 'Save', key: 'Ctrl+S', id: 'save', action: () => files.save() },
      { caption: 'Save As...', id: 'save-as', action: () => files.saveAs() },
      { separator: true },
      { caption: 'Print', key: 'Ctrl+P', id: 'print', action: () => files.print() },
      { separator: true },
      { caption: 'Export as LaTeX...', id: 'export-latex', action: () => files.exportLatex() },
      { caption: 'Import DIMACS...', id: 'import-dimacs', action: () => files.importDimacs() },
    ] },
    { caption: 'Edit', items: [
      { caption: 'Cut', key: 'Ctrl+X', bound: false, action: () => edit.copy(true) },
      { caption: 'Copy', key: 'Ctrl+C', bound: false, action: () => edit.copy() },
      { caption: 'Paste', key: 'Ctrl+V', bound: false, action: () => edit.paste() },
      { caption: 'Delete', key: 'Del', bound: false, action: () => edit.deleteSelection() },
      { separator: true },
      { caption: 'Select All', key: 'Ctrl+A', bound: false, action: () => edit.selectAll() },
      { caption: 'Format', key: 'Alt+T', id: 'format', action: () => bench.openFormat() },
      { separator: true },
      { caption: 'Undo', key: 'Ctrl+Z', bound: false, action: () => edit.undo() },
      { caption: 'Redo', key: 'Ctrl+Y', bound: false, action: () => edit.redo() },
      { separator: true },
      { caption: 'Find...', key: 'Ctrl+F', bound: false, action: () => edit.find() },
      { caption: 'Replace...', key: 'Ctrl+H', action: () => edit.replace() },
      { caption: 'Find Next', key: 'F3', bound: false, action: () => edit.findNext() },
    ] },
    { caption: 'Character', items: [
      alignment('Left', 'left'), alignment('Right', 'right'), alignment('Center', 'center'),
      { separator: true },
      { caption: 'WordWrap', checked: () => Boolean(bench.active?.wrap), action: () => edit.toggleWrap() },
      { separator: true },
      { caption: 'Zoom In', action: () => edit.zoom(1) },
      { caption: 'Zoom Out', action: () => edit.zoom(-1) },
      { caption: 'Normal Size', action: () => edit.zoom(0) },
    ] },
    { caption: 'Formula', items: formula },
    { caption: 'Window', items: () => [
      { caption: 'Next', key: 'Ctrl+F6', whileRunning: true, action: () => bench.nextDocument(1) },
      { caption: 'Previous', key: 'Ctrl+Shift+F6', whileRunning: true, action: () => bench.nextDocument(-1) },
      ...(bench.documents.length ? [{ separator: true }] : []),
      ...bench.documents.map((doc, i) => ({
        caption: `${i + 1} ${doc.name}`, whileRunning: true, radio: true,
        checked: () => doc === bench.active, action: () => bench.activate(doc),
      })),
    ] },
    { caption: 'Info', items: [
      { caption: 'Help', key: 'F1', id: 'help', whileRunning: true, action: () => openManual(bench) },
      { caption: 'About', id: 'about', whileRunning: true, action: () => bench.showAbout() },
    ] },
  ];
}
