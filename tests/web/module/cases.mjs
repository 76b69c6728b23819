// The module's answers in lumenark-cli's terms, under node and in a browser Worker alike:
// a case run as lumenark-cli runs it, and as a window runs it.

export const commandNames = [
  'compile', 'decompile', 'tree', 'conjunctions', 'implications', 'disjunctions', 'literals',
  'evaluate', 'cnf', 'dnf', 'mincnf', 'mindnf', 'decision', 'truthtable', 'model',
  'countermodel', 'latex', 'minimumdnf', 'minimumcnf', 'kmap', 'tableau', 'equivalence', 'dimacs',
];

// lumenark-cli's arguments as the module's run() takes them.
export function runOptionsOf(args) {
  const options = { details: 4, results: true, width: 77, crlf: false, latex: false };
  const commands = [];
  for (let i = 0; i < args.length; ++i) {
    const a = args[i];
    if (a === '--details') options.details = Number(args[++i]);
    else if (a === '--width') options.width = Number(args[++i]);
    else if (a === '--no-results') options.results = false;
    else if (a === '--results') options.results = true;
    else if (a === '--crlf') options.crlf = true;
    else if (a === '--latex') options.latex = true;
    else if (a === '--dimacs') options.dimacsFile = args[++i];
    else if (a.startsWith('-')) throw new Error(`option ${a} not in the cases`);
    else commands.push(a);
  }
  return { options, commands };
}

// lumenark-cli's standard error for the module's messages: each message and a line break.
export function standardError(messages) {
  return messages.map((m) => `${m}\n`).join('');
}

// The case run as lumenark-cli runs it, in lumenark-cli's terms.
export function runCase(engine, c) {
  const { options, commands } = runOptionsOf(c.args);
  if (c.dimacs !== undefined) {
    options.dimacs = c.dimacs;
    options.dimacsName = options.dimacsFile;
  }
  const r = engine.run(c.text, commands, options);
  return { out: r.document, err: standardError(r.messages), status: r.status };
}

// The text as a window's editor holds it: every line break "\n".
export function editorText(text) {
  return text.replace(/\r\n|\r/g, '\n');
}

function firstTwoLines(text) {
  const first = text.indexOf('\n');
  const second = first < 0 ? -1 : text.indexOf('\n', first + 1);
  return second < 0 ? text.length : second;
}

export function applyChanges(text, changes) {
  for (const c of changes) text = text.slice(0, c.from) + c.insert + text.slice(c.to);
  return text;
}

// The case's window sequence: compile the whole text, then (unless the compile showed a
// message) the command on the tree, its selection where the compile left it (the first
// two lines for Equivalence, as lumenark-cli takes them). Returns lumenark-cli's terms
// and the last answer.
export function runWindowCase(engine, c) {
  const doc = engine.openDocument({ details: c.details });
  try {
    let text = editorText(c.text);
    const messages = [];
    let answer = doc.command('compile', { text, selectionStart: 0, selectionEnd: text.length });
    text = applyChanges(text, answer.changes);
    messages.push(...answer.messages);
    if (answer.messages.length === 0 && c.window !== 'compile') {
      const equivalence = c.window === 'equivalence';
      answer = doc.command(c.window, {
        text,
        selectionStart: equivalence ? 0 : answer.selectionStart,
        selectionEnd: equivalence ? firstTwoLines(text) : answer.selectionEnd,
      });
      text = applyChanges(text, answer.changes);
      messages.push(...answer.messages);
    }
    return { out: text, err: standardError(messages), status: messages.length > 0 ? 1 : 0, answer };
  } finally {
    doc.close();
  }
}

