// The module in headless Chromium (Debian's, driven by playwright-core from web/): a
// small server on 127.0.0.1 gives the module and this directory, a page starts a module
// Worker (worker.mjs) that imports the module, and call() hands it work.

import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const here = fileURLToPath(new URL('.', import.meta.url));
const webDir = fileURLToPath(new URL('../../../web/', import.meta.url));
const kTypes = { '.mjs': 'text/javascript', '.js': 'text/javascript', '.wasm': 'application/wasm', '.html': 'text/html' };
// What chromium needs on these machines: no sandbox as root, no GPU.
const kChromiumFlags = ['--no-sandbox', '--disable-gpu', '--disable-dev-shm-usage'];

export async function loadPlaywright() {
  const file = path.join(webDir, 'node_modules/playwright-core/index.mjs');
  if (!fs.existsSync(file)) return null;
  return import(file);
}

function serve(moduleDir) {
  const roots = { '/module/': moduleDir, '/test/': here };
  const server = http.createServer((request, response) => {
    const url = new URL(request.url, 'http://localhost');
    if (url.pathname === '/') {
      response.writeHead(200, { 'Content-Type': 'text/html' });
      response.end('<!doctype html><title>module</title>');
      return;
    }
    for (const [prefix, dir] of Object.entries(roots)) {
      if (!url.pathname.startsWith(prefix)) continue;
      const file = path.join(dir, path.normalize(url.pathname.slice(prefix.length)));
      if (!file.startsWith(dir) || !fs.existsSync(file)) break;
      response.writeHead(200, { 'Content-Type': kTypes[path.extname(file)] || 'application/octet-stream' });
      fs.createReadStream(file).pipe(response);
      return;
    }
    response.writeHead(404);
    response.end();
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// Runs body({ call, page }) with a module Worker in Chromium; call(method, ...args) runs
// worker.mjs's method there and resolves to its result.
export async function withModuleWorker(moduleDir, body) {
  const { chromium } = await loadPlaywright();
  const server = await serve(path.resolve(moduleDir) + path.sep);
  // LUMENARK_CHROMIUM_FLAGS: more flags, for measuring (e.g. --js-flags=--liftoff).
  const extra = (process.env.LUMENARK_CHROMIUM_FLAGS || '').split(' ').filter(Boolean);
  const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', headless: true,
                                          args: [...kChromiumFlags, ...extra] });
  try {
    const page = await browser.newPage();
    await page.goto(`http://127.0.0.1:${server.address().port}/`);
    await page.evaluate(() => {
      const worker = new Worker('/test/worker.mjs', { type: 'module' });
      const waiting = new Map();
      let next = 0;
      worker.onmessage = ({ data }) => {
        const { resolve, reject } = waiting.get(data.id);
        waiting.delete(data.id);
        if ('error' in data) reject(new Error(data.error));
        else resolve(data.result);
      };
      worker.onerror = (event) => {
        for (const { reject } of waiting.values()) reject(new Error(event.message || 'the worker failed'));
        waiting.clear();
      };
      window.callWorker = (method, args) => new Promise((resolve, reject) => {
        const id = next++;
        waiting.set(id, { resolve, reject });
        worker.postMessage({ id, method, args });
      });
    });
    const call = (method, ...args) => page.evaluate(([m, a]) => window.callWorker(m, a), [method, args]);
    return await body({ call, page });
  } finally {
    await browser.close();
    server.close();
  }
}
