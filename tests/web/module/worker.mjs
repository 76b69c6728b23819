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
  // For the benchmark (bench/web_table.mjs): the commands in a fresh engine, its memory
  // afterwards, and the median time of runs more.
  async timed(text, commands, options, runs) {
    const fresh = await createLumenark();
    fresh.run(text, commands, options);
    const bytes = fresh.core.HEAPU8.byteLength;
    const times = [];
    let length = 0;
    for (let i = 0; i < runs; ++i) {
      const started = performance.now();
      length = fresh.run(text, commands, options).document.length;
      times.push(performance.now() - started);
    }
    times.sort((a, b) => a - b);
    return { ms: times[Math.floor(runs / 2)], bytes, length };
  },
  // Whether each text comes back from run() as it went in (a line that is no formula
  // leaves the document alone).
  comesBack(texts) {
    return texts.map((text) => engine.run(text, ['compile']).document === text);
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
