// The File menu's commands: New, Open, Close, Save, Save As, Print, Export as LaTeX and
// Import DIMACS. Saved files are the desktop's: Latin-1, CR LF line breaks.

import { askText, showMessage } from './message-box.js';
import {
  canWriteFiles, chooseSaveHandle, download, downloadDocument, openRawFile, openTextFile, readText, writeToHandle,
} from './files.js';
import { withExtension } from './document-text.js';
import { EditorSelection } from './editor.js';

function textName(name) { return /\.[^./\\]*$/.test(name) ? name : `${name}.txt`; }

export class FileCommands {
  constructor(workbench) {
    this.workbench = workbench;
  }

  async open() {
    let file;
    try {
      file = await openTextFile();
    } catch (error) {
      await showMessage(`Cannot open file: ${error.message}`);
      return;
    }
    if (!file) return;
    this.workbench.newDocument({ text: file.text, name: file.name, handle: file.handle });
  }

  // Files dropped on the page: each in a new document.
  async openFiles(files) {
    for (const file of files) this.workbench.newDocument({ text: await readText(file), name: file.name });
  }

  // Saves back to the document's file where the browser allows it; otherwise, and for
  // a document that has no file, as a download named after it. Whether it was saved.
  async save(doc = this.workbench.active) {
    if (!doc) return false;
    if (doc.handle) {
      try {
        await writeToHandle(doc.handle, doc.text);
        doc.setModified(false);
        return true;
      } catch (error) {
        await showMessage(`Cannot create file ${doc.name}: ${error.message}`);
        return this.saveAs(doc);
      }
    }
    downloadDocument(textName(doc.name), doc.text);
    doc.setModified(false);
    return true;
  }

  async saveAs(doc = this.workbench.active) {
    if (!doc) return false;
    if (canWriteFiles) {
      let handle;
      try {
        handle = await chooseSaveHandle(textName(doc.name));
      } catch (error) {
        await showMessage(error.message);
        return false;
      }
      if (!handle) return false;
      doc.handle = handle;
      doc.rename(handle.name);
      return this.save(doc);
    }
    const name = await askText('Save as:', textName(doc.name), 'Save As');
    if (!name) return false;
    doc.handle = null;
    doc.rename(name);
    return this.save(doc);
  }

  // Prints the whole text (the editor itself draws only the lines in view).
  print(doc = this.workbench.active) {
    if (!doc) return;
    const copy = document.getElementById('print-copy');
    const pre = document.createElement('pre');
    pre.textContent = doc.text;
    copy.replaceChildren(pre);
    document.body.classList.add('printing-text');
    window.print();
    document.body.classList.remove('printing-text');
    copy.replaceChildren();
  }

  async exportLatex(doc = this.workbench.active) {
    if (!doc) return;
    const answer = await this.workbench.engine.latex(doc.text);
    for (const message of answer.messages ?? []) await showMessage(message);
    if (answer.tex) download(withExtension(doc.name, '.tex'), Uint8Array.from(answer.tex, (c) => c.charCodeAt(0) & 0xff), 'application/x-tex');
  }

  // A DIMACS file's CNF as a formula, on the caret's line if it is empty, else on a new
  // line after it, selected.
  async importDimacs(doc = this.workbench.active) {
    if (!doc) return;
    const file = await openRawFile();
    if (!file) return;
    const answer = await this.workbench.engine.dimacs(file.text, doc.options.width, file.name);
    if (answer.messages?.length) {
      // The engine names the file in its message ("name: line 3: ...").
      for (const message of answer.messages) await showMessage(message);
      return;
    }
    const formula = answer.document.replace(/\r\n/g, '\n').replace(/\n$/, '');
    const { view } = doc;
    const line = view.state.doc.lineAt(view.state.selection.main.to);
    const breakFirst = line.length > 0;
    const start = line.to + (breakFirst ? 1 : 0);
    view.dispatch({
      changes: { from: line.to, insert: (breakFirst ? '\n' : '') + formula },
      selection: EditorSelection.single(start, start + formula.length),
      scrollIntoView: true,
    });
    view.focus();
  }
}
