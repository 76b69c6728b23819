// The workbench: the frame of the page. It holds the documents (tabs), the menu bar and
// the menu keys, the options panel, the side panel and the running bar, and hands each
// Formula command to the engine Worker. It does no formula work itself.

import { DocumentTabs } from './document-tabs.js';
import { WorkbenchDocument, kDefaultOptions } from './workbench-document.js';
import { Menubar } from './menubar.js';
import { buildMenus } from './menus.js';
import { OptionsPanel } from './options-panel.js';
import { RunningBar } from './running-bar.js';
import { SidePanel } from './side-panel.js';
import { FormulaRunner } from './formula-runner.js';
import { FileCommands } from './file-commands.js';
import { EditCommands } from './edit-commands.js';
import { openManual, runExampleFromHash } from './manual.js';
import { askYesNoCancel, showMessage } from './message-box.js';
import { StatusBar } from './status-bar.js';

export class Workbench {
  constructor({ root, store, engine }) {
    this.root = root;
    this.store = store;
    this.engine = engine;
    this.documents = [];
    this.active = null;
    this.running = null;
    this.nextOrder = 1;

    this.tabs = new DocumentTabs(root.querySelector('.documents'), {
      onSelect: (doc) => this.activate(doc),
      onClose: (doc) => this.closeDocument(doc),
    });
    this.area = root.querySelector('.document-area');
    this.empty = root.querySelector('.no-document');
    this.options = new OptionsPanel(root.querySelector('.options-panel'), {
      onStore: (doc, options) => this.setOptions(doc, options),
      onClose: (doc) => doc === this.active && this.focusEditor(),
    });
    this.runningBar = new RunningBar(root.querySelector('.running-bar'), { onStop: () => this.stop() });
    this.side = new SidePanel(root.querySelector('.side-panel'), { returnFocus: () => this.focusEditor() });
    this.status = new StatusBar(root.querySelector('.status-bar'), engine);
    this.formula = new FormulaRunner(this);
    this.files = new FileCommands(this);
    this.edit = new EditCommands(this);
    this.menubar = new Menubar(root.querySelector('.menubar'), buildMenus(this), {
      canRun: (item) => this.canRun(item),
      returnFocus: () => this.focusEditor(),
    });
    engine.onProgress = (progress) => this.runningBar.progress(progress);
    engine.onRestart = () => showMessage('The engine stopped working and was started again. The text is whole; the formula trees are those after their last command.');
    this.installKeys();
    window.addEventListener('hashchange', () => runExampleFromHash(this));
    window.addEventListener('pagehide', () => this.flushAll());
    document.addEventListener('visibilitychange', () => document.visibilityState === 'hidden' && this.flushAll());
  }

  // The menu keys work wherever the focus is; F10 goes to the menu bar; Escape stops a
  // running command.
  installKeys() {
    window.addEventListener('keydown', (event) => {
      if (event.key === 'Escape' && this.running) {
        event.preventDefault();
        event.stopPropagation();
        this.stop();
        return;
      }
      if (document.querySelector('dialog[open]')) return;
      if (event.key === 'F10' && !event.ctrlKey && !event.altKey && !event.shiftKey) {
        event.preventDefault();
        this.menubar.focusBar();
        return;
      }
      this.menubar.handleShortcut(event);
    }, true);
  }

  async restore() {
    const records = await this.store.load();
    for (const record of records) this.addDocument(record, false);
    this.nextOrder = Math.max(0, ...records.map((r) => r.order ?? 0)) + 1;
    if (!this.documents.length) this.newDocument();
    else this.activate(this.documents[0]);
    await runExampleFromHash(this);
    if (location.hash === '#help') openManual(this);
  }

  addDocument(record, store = true) {
    const doc = new WorkbenchDocument({ record, store: this.store, host: this });
    this.documents.push(doc);
    this.area.append(doc.panel);
    this.tabs.add(doc);
    this.engine.openDocument(doc.id, doc.options, doc.tree);
    if (store) doc.saver.changed();
    this.empty.hidden = true;
    return doc;
  }

  newDocument({ text = '', name = 'Untitled', options = kDefaultOptions, handle = null, selection } = {}) {
    const doc = this.addDocument({
      id: this.store.newDocumentId(), order: this.nextOrder++, created: Date.now(),
      name, text, options, handle, selection: selection ?? { anchor: 0, head: 0 }, modified: false,
    });
    this.activate(doc);
    return doc;
  }

  activate(doc) {
    if (this.options.isOpen && this.options.document !== doc) this.options.hide();
    for (const d of this.documents) d.panel.hidden = d !== doc;
    this.active = doc;
    this.tabs.select(doc);
    this.updateTitle();
    this.focusEditor();
  }

  focusEditor() {
    if (!this.active) return;
    this.active.view.focus();
  }

  updateTitle() {
    document.title = this.active ? `${this.active.name} - Lumenark` : 'Lumenark';
  }

  nextDocument(step) {
    if (this.documents.length < 2 || !this.active) return;
    const i = this.documents.indexOf(this.active);
    this.activate(this.documents[(i + step + this.documents.length) % this.documents.length]);
  }

  documentRenamed(doc) {
    this.tabs.update(doc);
    if (doc === this.active) this.updateTitle();
  }

  // The storage has the document as it is now (the tests wait for this mark).
  documentStored() {
    const pending = this.documents.some((d) => d.saver.writing || d.saver.dirty);
    document.body.dataset.stored = pending ? 'no' : 'yes';
  }

  flushAll() {
    for (const doc of this.documents) doc.saver.writeNow();
  }

  setOptions(doc, options) {
    doc.setOptions(options);
    this.engine.setOptions(doc.id, options);
  }

  async closeDocument(doc = this.active) {
    if (!doc) return;
    if (this.running?.doc === doc) {
      this.status.say('A command is running in this document: press Stop or Escape first.');
      return;
    }
    if (doc.modified) {
      this.activate(doc);
      const answer = await askYesNoCancel(`Save Changes to '${doc.name}'?`);
      if (answer === 'cancel') return;
      if (answer === 'yes' && !(await this.files.save(doc))) return;
    }
    const i = this.documents.indexOf(doc);
    this.documents.splice(i, 1);
    this.tabs.remove(doc);
    doc.panel.remove();
    doc.view.destroy();
    this.engine.closeDocument(doc.id);
    if (this.options.document === doc) this.options.hide();
    await doc.saver.writing;
    await this.store.remove(doc.id);
    if (this.active === doc) {
      this.active = null;
      if (this.documents.length) this.activate(this.documents[Math.min(i, this.documents.length - 1)]);
    }
    this.empty.hidden = this.documents.length > 0;
    this.updateTitle();
    this.documentStored();
  }

  // Whether a menu item may run now: while a command runs, only what cannot touch its
  // document (moving between documents, the manual, Stop).
  canRun(item) {
    if (!this.running || item.whileRunning) return true;
    this.status.say('A command is running: press Stop or Escape to end it.');
    return false;
  }

  stop() {
    if (!this.running) return;
    this.runningBar.stopping();
    this.engine.stop();
  }

  openFormat() {
    if (this.active) this.options.open(this.active);
  }

  showAbout() {
    showMessage(`Lumenark ${this.engine.version ?? ''}\n-Propositional logic evaluations.\n\nRuns in this browser: no data leaves it.`, 'About');
  }
}
