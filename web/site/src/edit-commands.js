// The Edit and Character menus' commands on the active document's editor: clipboard,
// undo, search, word wrap, the text's size.

import { redo, selectAll, undo } from '@codemirror/commands';
import { findNext, openSearchPanel } from '@codemirror/search';

export class EditCommands {
  constructor(workbench) {
    this.workbench = workbench;
    this.fontSize = 100;
  }

  get view() { return this.workbench.active?.view; }

  async copy(cut = false) {
    const view = this.view;
    if (!view) return;
    const { from, to } = view.state.selection.main;
    if (from === to) return;
    await navigator.clipboard.writeText(view.state.sliceDoc(from, to));
    if (cut && !view.state.readOnly) view.dispatch({ changes: { from, to }, userEvent: 'delete.cut' });
    view.focus();
  }

  async paste() {
    const view = this.view;
    if (!view || view.state.readOnly) return;
    let text;
    try {
      text = await navigator.clipboard.readText();
    } catch {
      this.workbench.status.say('The browser keeps the clipboard: paste with Ctrl+V.');
      return;
    }
    view.dispatch(view.state.replaceSelection(text), { userEvent: 'input.paste', scrollIntoView: true });
    view.focus();
  }

  deleteSelection() {
    const view = this.view;
    if (!view || view.state.readOnly) return;
    const { from, to } = view.state.selection.main;
    view.dispatch({ changes: { from, to: to === from ? Math.min(from + 1, view.state.doc.length) : to }, userEvent: 'delete' });
    view.focus();
  }

  run(command) {
    const view = this.view;
    if (!view) return;
    command(view);
    view.focus();
  }

  undo() { this.run(undo); }
  redo() { this.run(redo); }
  selectAll() { this.run(selectAll); }
  find() { this.run(openSearchPanel); }
  findNext() { this.run(findNext); }

  replace() {
    const view = this.view;
    if (!view) return;
    openSearchPanel(view);
    view.dom.querySelector('.cm-search input[name="replace"]')?.focus();
  }

  toggleWrap() {
    const doc = this.workbench.active;
    if (doc) doc.setWrap(!doc.wrap);
  }

  align(where) {
    document.documentElement.style.setProperty('--text-align', where);
    this.alignment = where;
  }

  zoom(step) {
    this.fontSize = step === 0 ? 100 : Math.min(400, Math.max(50, this.fontSize + step * 10));
    document.documentElement.style.setProperty('--text-zoom', `${this.fontSize / 100}`);
    this.workbench.active?.view.requestMeasure();
  }
}
