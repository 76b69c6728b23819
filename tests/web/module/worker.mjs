// The module Worker of the browser tests: imports the module as a page's Worker would,
// and answers the test's calls (browser.mjs).

import createLumenark from '/module/lumenark-engine.mjs';
import { runCase, runWindowCase } from './cases.mjs';

let engine = null;

const methods = {
  async create(options) {
    engine = await createLumenark(options);
    return engine.version;
  },
  runCases(cases) {
    return cases.map((c) => (c.window !== undefined && c.asWindow ? runWindowCase(engine, c) : runCase(engine, c)))
      .map(({ out, err, status }) => ({ out, err, status }));
  },
  // The probe's frames that fit at the top, and the depth limit there.
  stack() {
    return { frames: engine.core.stackFramesLeft(), limit: engine.core._lk_depth_limit() };
  },
  // Runs the commands on the text with the given depth limit; how it ended, and whether
  // the instance had to be replaced.
  deep(text, commands, options, depthLimit) {
    const before = engine.recoveries;
    if (depthLimit !== undefined) engine.core._lk_set_depth_limit(depthLimit);
    const r = engine.run(text, commands, options);
    return { status: r.status, messages: r.messages, length: r.document.length, recovered: engine.recoveries > before };
  },
};

self.onmessage = async ({ data: { id, method, args } }) => {
  try {
    postMessage({ id, result: await methods[method](...args) });
  } catch (error) {
    postMessage({ id, error: `${error && error.name}: ${error && error.message}` });
  }
};
