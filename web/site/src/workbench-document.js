// One document of the workbench: its text editor, its file, its output options (the
// engine keeps its tree in the Worker), its tab, and its record in the browser's storage.

import { createEditor } from './editor.js';
import { DocumentSaver } from './storage.js';

export const kDefaultOptions = Object.freeze({ details: 4, results: true, width: 77 });

// Trees larger than this are kept for the running page only, not in the storage.
const kLargestStoredTree = 32 * 1024 * 1024;

export class WorkbenchDocument {
  constructor({ record, store, host }) {
    this.id = record.id;
    this.name = record.name ?? 'Untitled';
    this.handle = record.handle ?? null;
    this.options = { ...kDefaultOptions, ...(record.options ?? {}) };
    this.modified = record.modified ?? false;
    this.created = record.created ?? Date.now();
    this.order = record.order ?? 0;
    this.tree = record.tree ?? null;
    this.wrap = record.wrap ?? false;
    this.host = host;
    this.saver = new DocumentSaver(store, () => this.record(), () => this.view?.state.doc.length ?? 0);
    this.saver.onSaved = () => host.documentStored(this);
    this.saver.onPending = () => host.documentStored(this);

    this.panel = document.createElement('div');
    this.panel.className = 'document-panel';
    this.panel.setAttribute('role', 'tabpanel');
    this.panel.id = `panel-${this.id}`;
    this.panel.hidden = true;
    this.editor = createEditor({
      parent: this.panel,
      text: record.text ?? '',
      selection: record.selection,
      label: `Text of ${this.name}`,
      onChange: (update) => this.changed(update),
      onDropFiles: (files) => host.files.openFiles(files),
    });
    this.editor.setWrap(this.wrap);
    this.view = this.editor.view;
  }

  get text() { return this.view.state.doc.toString(); }

  get selection() {
    const { anchor, head } = this.view.state.selection.main;
    return { anchor, head };
  }

  changed(update) {
    if (update.docChanged) {
      if (!this.modified) {
        this.modified = true;
        this.host.documentRenamed(this);
      }
      this.saver.changed();
    } else if (update.selectionSet) {
      this.saver.changed();
    }
  }

  rename(name) {
    this.name = name;
    this.view.contentDOM.setAttribute('aria-label', `Text of ${name}`);
    this.host.documentRenamed(this);
    this.saver.changed();
  }

  setModified(modified) {
    this.modified = modified;
    this.host.documentRenamed(this);
    this.saver.changed();
  }

  setOptions(options) {
    this.options = { ...options };
    this.saver.changed();
  }

  setTree(tree) {
    this.tree = tree;
    this.saver.changed();
  }

  setWrap(on) {
    this.wrap = on;
    this.editor.setWrap(on);
    this.saver.changed();
  }

  record() {
    return {
      id: this.id, order: this.order, created: this.created, name: this.name, handle: this.handle,
      text: this.text, selection: this.selection, options: this.options, modified: this.modified,
      tree: this.tree && this.tree.byteLength <= kLargestStoredTree ? this.tree : null, wrap: this.wrap,
    };
  }
}
