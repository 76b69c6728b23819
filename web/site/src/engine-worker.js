// The engine's Worker: it holds the engine module and one engine document (a window's
// tree and options) per document of the page, and answers the page's messages. One
// small protocol, the shape of lumenark-cli: a document, a command and options in; the
// change to the text, the selection, the messages and the status out.
//
// Page to Worker:
//   { type: 'init', stopBuffer? }               stopBuffer: a SharedArrayBuffer for Stop
//   { type: 'open', doc, options, tree? }        a document, with its tree if it had one
//   { type: 'options', doc, options }
//   { type: 'command', id, doc, name, text, selectionStart, selectionEnd }
//   { type: 'snapshot', id, doc }                the document's tree as bytes (or null)
//   { type: 'close', doc }
//   { type: 'latex', id, text }                  the LaTeX export of a text
//   { type: 'dimacs', id, text, width, name }    a DIMACS file's CNF as a formula
// Worker to page:
//   { type: 'ready', version } | { type: 'failed', message }
//   { type: 'progress', elapsedMs, memoryInUse, memoryLimit }
//   { type: 'result', id, ...answer }  |  { type: 'error', id, message }

import createLumenark from './lumenark-engine.mjs';

let engine = null;
const documents = new Map();

function post(message, transfer) {
  self.postMessage(message, transfer ?? []);
}

function open({ doc, options, tree }) {
  documents.get(doc)?.close();
  const handle = engine.openDocument(options);
  if (tree) handle.loadTree(tree);
  documents.set(doc, handle);
}

function command({ doc, name, text, selectionStart, selectionEnd }) {
  const started = performance.now();
  const out = documents.get(doc).command(name, { text, selectionStart, selectionEnd });
  const engineMs = performance.now() - started;
  return { ...out, hasTree: documents.get(doc).hasTree, engineMs };
}

function snapshot({ doc }) {
  const handle = documents.get(doc);
  const bytes = handle && handle.hasTree ? handle.saveTree() : null;
  // A copy of its own, so that handing it to the page takes nothing from the engine.
  return { tree: bytes ? bytes.slice() : null };
}

const handlers = {
  open: (m) => open(m),
  options: (m) => documents.get(m.doc)?.setOptions(m.options),
  close: (m) => {
    documents.get(m.doc)?.close();
    documents.delete(m.doc);
  },
  command,
  snapshot,
  latex: ({ text }) => engine.latexDocument(text),
  dimacs: ({ text, width, name }) => engine.run('', [], { dimacs: text, dimacsName: name, width, details: 4, results: true }),
};

async function init({ stopBuffer }) {
  try {
    const stopSignal = stopBuffer ? new Int32Array(stopBuffer) : undefined;
    engine = await createLumenark({
      stopSignal,
      onProgress: (progress) => post({ type: 'progress', ...progress }),
    });
    post({ type: 'ready', version: engine.version });
  } catch (error) {
    post({ type: 'failed', message: String(error && error.message ? error.message : error) });
  }
}

// The messages are answered in the order they came, each after the engine has loaded.
let queue = Promise.resolve();

function handle(data) {
  const handler = handlers[data.type];
  try {
    const answer = handler(data);
    if (data.id === undefined) return;
    const transfer = answer?.tree ? [answer.tree.buffer] : [];
    post({ type: 'result', id: data.id, ...answer }, transfer);
  } catch (error) {
    if (data.id !== undefined) post({ type: 'error', id: data.id, message: String(error && error.message ? error.message : error) });
  }
}

self.onmessage = ({ data }) => {
  queue = data.type === 'init' ? queue.then(() => init(data)) : queue.then(() => engine && handle(data));
};
