// Serves a built site (build/web by default) on 127.0.0.1, on a free port unless one is
// given, and prints its address. Static files only, with the right types (.wasm as
// application/wasm, .mjs as JavaScript) and the headers of cross-origin isolation, so
// that the page's Stop can be a flag the engine reads. No dependency beyond node.
//
//   node web/serve.mjs [--port N] [--no-isolation] [DIR]
//
// Also a module: startServer({ root, port, isolation }) gives { server, url }.

import { createReadStream } from 'node:fs';
import { stat } from 'node:fs/promises';
import { createServer } from 'node:http';
import { extname, join, normalize, resolve, sep } from 'node:path';
import { fileURLToPath } from 'node:url';

const kTypes = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript; charset=utf-8', '.mjs': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8', '.wasm': 'application/wasm', '.svg': 'image/svg+xml', '.png': 'image/png',
  '.json': 'application/json', '.webmanifest': 'application/manifest+json', '.txt': 'text/plain; charset=utf-8',
  '.ico': 'image/x-icon',
};

export function startServer({ root, port = 0, isolation = true, host = '127.0.0.1' }) {
  const base = resolve(root);
  const server = createServer(async (request, response) => {
    const headers = { 'Cache-Control': 'no-cache', 'X-Content-Type-Options': 'nosniff' };
    if (isolation) {
      headers['Cross-Origin-Opener-Policy'] = 'same-origin';
      headers['Cross-Origin-Embedder-Policy'] = 'require-corp';
      headers['Cross-Origin-Resource-Policy'] = 'same-origin';
    }
    if (request.method !== 'GET' && request.method !== 'HEAD') {
      response.writeHead(405, headers).end();
      return;
    }
    let path;
    try {
      path = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
    } catch {
      response.writeHead(400, headers).end();
      return;
    }
    let file = normalize(join(base, path));
    if (file !== base && !file.startsWith(base + sep)) {
      response.writeHead(403, headers).end();
      return;
    }
    try {
      let info = await stat(file);
      if (info.isDirectory()) {
        file = join(file, 'index.html');
        info = await stat(file);
      }
      headers['Content-Type'] = kTypes[extname(file).toLowerCase()] ?? 'application/octet-stream';
      headers['Content-Length'] = info.size;
      response.writeHead(200, headers);
      if (request.method === 'HEAD') response.end();
      else createReadStream(file).pipe(response);
    } catch {
      response.writeHead(404, { ...headers, 'Content-Type': 'text/plain; charset=utf-8' }).end('Not found\n');
    }
  });
  return new Promise((resolveStart, reject) => {
    server.once('error', reject);
    server.listen(port, host, () => resolveStart({ server, url: `http://${host}:${server.address().port}/` }));
  });
}

if (process.argv[1] && resolve(process.argv[1]) === fileURLToPath(import.meta.url)) {
  const args = process.argv.slice(2);
  let port = 0, isolation = true, root = join(fileURLToPath(new URL('..', import.meta.url)), 'build', 'web');
  for (let i = 0; i < args.length; i++) {
    if (args[i] === '--port') port = Number(args[++i]);
    else if (args[i] === '--no-isolation') isolation = false;
    else root = args[i];
  }
  const { url } = await startServer({ root, port, isolation });
  console.log(`Lumenark is served at ${url}  (Ctrl+C ends the server)`);
}
