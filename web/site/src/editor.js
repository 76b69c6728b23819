// The text editor of a document: CodeMirror 6, which draws only the lines in view, so a
// truth table of millions of characters scrolls as a short text does. Plain text in a
// monospaced font, with undo, search and the editor's own keys; characters that a
// document cannot hold (above U+00FF) come in as '?', as in the desktop's window. Tab
// is left to the page, so that the keyboard can always leave the text.

import { EditorSelection, EditorState, Compartment, Transaction } from '@codemirror/state';
import { EditorView, drawSelection, keymap, highlightSpecialChars, placeholder } from '@codemirror/view';
import { defaultKeymap, history, historyKeymap, isolateHistory } from '@codemirror/commands';
import { highlightSelectionMatches, search, searchKeymap } from '@codemirror/search';
import { latin1Input } from './document-text.js';

// Replaces each character of the inserted text above U+00FF by '?', one for one, so
// that positions and the selection stay as they are.
const latin1Filter = EditorState.transactionFilter.of((tr) => {
  // The engine's output is Latin-1 already.
  if (!tr.docChanged || tr.isUserEvent('input.command')) return tr;
  let foreign = false;
  tr.changes.iterChanges((fromA, toA, fromB, toB, inserted) => {
    if (!foreign && /[^\u0000-\u00ff]/.test(inserted.toString())) foreign = true;
  });
  if (!foreign) return tr;
  const changes = [];
  tr.changes.iterChanges((fromA, toA, fromB, toB, inserted) => {
    changes.push({ from: fromA, to: toA, insert: latin1Input(inserted.toString()) });
  });
  return { changes, selection: tr.selection, scrollIntoView: tr.scrollIntoView, userEvent: tr.annotation(Transaction.userEvent) };
});

export function createEditor({ parent, text, selection, onChange, onDropFiles, label }) {
  const wrap = new Compartment();
  const readOnly = new Compartment();
  const state = EditorState.create({
    doc: text,
    selection: selection ? EditorSelection.single(Math.min(selection.anchor, text.length), Math.min(selection.head, text.length)) : undefined,
    extensions: [
      history(),
      drawSelection(),
      highlightSpecialChars(),
      search({ top: true }),
      highlightSelectionMatches(),
      latin1Filter,
      wrap.of([]),
      // What an empty document says to a new user; it is not part of the text.
      placeholder('Type a formula such as (A>B)&A>B, select it, and choose a command from the Formula menu (F8 decides it).'),
      readOnly.of(EditorState.readOnly.of(false)),
      keymap.of([...defaultKeymap, ...historyKeymap, ...searchKeymap]),
      EditorView.contentAttributes.of({ 'aria-label': label, 'aria-multiline': 'true' }),
      EditorView.updateListener.of((update) => onChange?.(update)),
      // Files dropped on the text open as documents, read as Latin-1 as Open reads them.
      EditorView.domEventHandlers({
        drop(event) {
          if (!event.dataTransfer?.files?.length || !onDropFiles) return false;
          event.preventDefault();
          onDropFiles([...event.dataTransfer.files]);
          return true;
        },
      }),
    ],
  });
  const view = new EditorView({ state, parent });
  return {
    view,
    setWrap(on) { view.dispatch({ effects: wrap.reconfigure(on ? EditorView.lineWrapping : []) }); },
    setReadOnly(on) { view.dispatch({ effects: readOnly.reconfigure(EditorState.readOnly.of(on)) }); },
  };
}

// Applies an engine command's answer: its one change and the new selection, in one
// transaction that is one step of Undo of its own.
export function applyCommandAnswer(view, answer) {
  const transaction = {
    selection: EditorSelection.single(answer.selectionStart, answer.selectionEnd),
    scrollIntoView: true,
    annotations: [isolateHistory.of('full'), Transaction.userEvent.of('input.command')],
  };
  if (answer.changes && answer.changes.length) transaction.changes = answer.changes;
  view.dispatch(transaction);
}

// Replaces the whole text (a file read into a document), as one step of Undo.
export function replaceText(view, text, selection = { anchor: 0, head: 0 }) {
  view.dispatch({
    changes: { from: 0, to: view.state.doc.length, insert: text },
    selection: EditorSelection.single(selection.anchor, selection.head),
    annotations: [isolateHistory.of('full')],
  });
}

export { EditorSelection, isolateHistory };
