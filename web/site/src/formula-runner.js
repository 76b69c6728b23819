// A Formula command in a document, from the page's side: the text and the selection go
// to the engine Worker; its answer (one change and the new selection) goes into the
// editor as one transaction, so that one Undo takes the whole output back; then the
// messages, one box after another, and the pictures the answer brings.

import { applyCommandAnswer } from './editor.js';
import { showMessage } from './message-box.js';
import { karnaughPicture } from './pictures/karnaugh-picture.js';
import { tableauPicture } from './pictures/tableau-picture.js';
import { tableauTree } from './pictures/tableau-tree.js';
import { parseTruthTable } from './pictures/truth-table.js';
import { TruthTableView } from './pictures/truth-table-view.js';
import { svgContent } from './side-panel.js';
import { withExtension } from './document-text.js';

// The running bar shows after this long, so that quick commands do not flicker it.
const kRunningBarDelay = 150;

export class FormulaRunner {
  constructor(workbench) {
    this.workbench = workbench;
  }

  async run(command, caption, doc = this.workbench.active) {
    const bench = this.workbench;
    if (!doc || bench.running) return null;
    const { view } = doc;
    const main = view.state.selection.main;
    const started = performance.now();
    const text = view.state.doc.toString();
    bench.running = { doc, command };
    doc.editor.setReadOnly(true);
    document.body.dataset.running = command;
    const showBar = setTimeout(() => bench.runningBar.start(caption), kRunningBarDelay);
    let answer;
    try {
      answer = await bench.engine.command(doc.id, command, { text, selectionStart: main.from, selectionEnd: main.to });
    } catch (error) {
      answer = { changes: [], messages: [String(error.message ?? error)], status: 1, failed: true };
    } finally {
      clearTimeout(showBar);
      bench.runningBar.finish();
      doc.editor.setReadOnly(false);
      bench.running = null;
      delete document.body.dataset.running;
    }
    if (answer.stopped || answer.failed) {
      // The Worker was ended: the text is as it was, the selection too.
      answer.selectionStart = main.anchor;
      answer.selectionEnd = main.head;
      answer.changes = [];
    } else {
      const applying = performance.now();
      applyCommandAnswer(view, answer);
      answer.applyMs = performance.now() - applying;
    }
    // From the key to the text in the editor (the benchmark reads it).
    answer.shownMs = performance.now() - started;
    bench.lastAnswer = answer;
    document.body.dataset.commands = String(Number(document.body.dataset.commands ?? 0) + 1);
    if (answer.stopped) bench.status.say('Stopped.');
    if (doc === bench.active) bench.focusEditor();
    this.keepTree(doc);
    for (const message of answer.messages ?? []) await showMessage(message);
    this.showPicture(doc, command, answer);
    // Every message has been shown and closed (the tests wait for this mark).
    document.body.dataset.settled = String(Number(document.body.dataset.settled ?? 0) + 1);
    return answer;
  }

  // The tree after the command, for a fresh Worker and for the storage.
  keepTree(doc) {
    this.workbench.engine.snapshot(doc.id).then((tree) => {
      doc.setTree(tree);
      document.body.dataset.treesKept = String(Number(document.body.dataset.treesKept ?? 0) + 1);
    }, () => {});
  }

  showPicture(doc, command, answer) {
    const side = this.workbench.side;
    const base = withExtension(doc.name, '');
    if (command === 'kmap' && answer.karnaughMap) {
      side.show(svgContent(`Karnaugh Map - ${doc.name}`, karnaughPicture(answer.karnaughMap), `${base} Karnaugh map.svg`));
    } else if (command === 'tableau' && answer.tableau) {
      const tree = tableauTree(answer.tableau);
      if (tree) side.show(svgContent(`Tableau - ${doc.name}`, tableauPicture(tree), `${base} tableau.svg`));
      else this.workbench.status.say('The tableau is too large for a picture: its text is in the document.');
    } else if (command === 'truthtable' && answer.changes?.length) {
      const table = parseTruthTable(answer.changes[0].insert);
      if (!table) return;
      const view = new TruthTableView(table);
      side.show({
        kind: 'picture', title: `Truth Table - ${doc.name}`, node: view.element, fileName: `${base} truth table.csv`,
        file: () => new Blob([view.csv()], { type: 'text/csv' }),
        printable: () => view.printable(20000),
      });
    }
  }
}
