// The user manual in the side panel, and its worked examples: each opens in a new
// document with its text selected and its options set, and runs its commands as
// lumenark-cli does (the first on the selection, the rest on the tree), stopping at a
// message. The manual's pages ask for an example by a message (in the panel) or by a
// link to the workbench (#example=...&cli=...), which also works from outside.

import { exampleFromHash, parseExampleCli } from './manual-example.js';
import { EditorSelection } from './editor.js';
import { formulaCommands } from './formula-commands.js';

export function openManual(bench, page = 'contents.html') {
  const frame = document.createElement('iframe');
  frame.className = 'manual';
  frame.title = 'User manual';
  frame.src = `help/${page}`;
  bench.side.show({ kind: 'manual', title: 'Help', node: frame });
  frame.addEventListener('load', () => frame.contentWindow?.focus(), { once: true });
}

export async function runExample(bench, { text, cli }) {
  const { options, commands } = parseExampleCli(cli);
  const doc = bench.newDocument({ text, options, name: 'Example' });
  doc.view.dispatch({ selection: EditorSelection.single(0, doc.view.state.doc.length) });
  for (const command of commands) {
    const caption = formulaCommands().find((item) => item.command === command)?.caption ?? command;
    const answer = await bench.formula.run(command, caption, doc);
    if (!answer || answer.messages?.length || answer.status === 4) break;
  }
  bench.focusEditor();
}

export async function runExampleFromHash(bench) {
  const example = exampleFromHash(location.hash);
  if (!example) return;
  // The link has done its work: a reload or the back button does not open it again.
  history.replaceState(history.state, '', location.pathname + location.search);
  await runExample(bench, example);
}

window.addEventListener('message', (event) => {
  if (event.origin !== location.origin || event.data?.type !== 'lumenark-example') return;
  window.dispatchEvent(new CustomEvent('lumenark-example', { detail: event.data }));
});
