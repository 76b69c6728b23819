// Builds the workbench page into a directory beside the engine module (which
// scripts/build-web puts there first): the page's two bundles (the page and the engine's
// Worker; CodeMirror comes in from npm), its files, the user manual from help/ with its
// example buttons, and the service worker with the list of every file to keep offline.
//
//   node web/site/build.mjs DIR

import { build } from 'esbuild';
import { createHash } from 'node:crypto';
import { copyFile, mkdir, readFile, readdir, writeFile } from 'node:fs/promises';
import { dirname, join, relative } from 'node:path';
import { fileURLToPath } from 'node:url';

const site = dirname(fileURLToPath(import.meta.url));
const repository = join(site, '..', '..');
const out = process.argv[2] ?? join(repository, 'build', 'web');

const kEngineModule = './lumenark-engine.mjs';
const kStaticFiles = ['index.html', 'style.css', 'icon.svg', 'manifest.webmanifest'];

async function bundle() {
  const common = {
    bundle: true, format: 'esm', minify: true, target: ['chrome100', 'firefox115', 'safari16'],
    legalComments: 'none', logLevel: 'warning',
  };
  await build({ ...common, entryPoints: [join(site, 'src', 'main.js')], outfile: join(out, 'app.js') });
  await build({
    ...common, entryPoints: [join(site, 'src', 'engine-worker.js')], outfile: join(out, 'engine-worker.js'),
    external: [kEngineModule],
  });
}

// In the page, the keys that a browser keeps for itself have others.
const kBrowserKeys = `<p class="browser-keys"><b>In the browser</b> the page keeps these keys for the
browser, and has others: File &gt; New is <b>Alt+N</b>, Edit &gt; Format <b>Alt+T</b>,
Formula &gt; Truth Table <b>Alt+Shift+T</b>, Formula &gt; Equivalence <b>Alt+Shift+Q</b>, File &gt;
Close <b>Alt+W</b>; <b>Ctrl+F6</b> and <b>Ctrl+Shift+F6</b> go to the next and the previous
document, and <b>F10</b> to the menu bar. Each menu shows its keys.</p>`;

// The manual's pages as a browser shows them: a document type, a viewport, the style,
// and the script that makes the examples runnable.
function manualPage(html, name) {
  let page = /^\s*<!DOCTYPE/i.test(html) ? html : `<!DOCTYPE html>\n${html}`;
  if (name === 'keys.html') page = page.replace(/(<h1[^>]*>.*?<\/h1>)/is, `$1\n${kBrowserKeys}`);
  page = page.replace(/<\/head>/i, '<meta name="viewport" content="width=device-width, initial-scale=1">\n'
    + '<link rel="stylesheet" href="help.css">\n</head>');
  return page.replace(/<\/body>/i, '<script src="help-examples.js"></script>\n</body>');
}

async function copyManual() {
  const from = join(repository, 'help', 'manual');
  const to = join(out, 'help');
  await mkdir(to, { recursive: true });
  for (const entry of await readdir(from, { withFileTypes: true })) {
    if (!entry.isFile()) continue;
    if (entry.name.endsWith('.html')) await writeFile(join(to, entry.name), manualPage(await readFile(join(from, entry.name), 'utf8'), entry.name));
    else await copyFile(join(from, entry.name), join(to, entry.name));
  }
  for (const name of ['help-examples.js', 'help.css']) await copyFile(join(site, 'help', name), join(to, name));
}

async function filesUnder(dir) {
  const files = [];
  for (const entry of await readdir(dir, { withFileTypes: true, recursive: true })) {
    if (entry.isFile()) files.push(relative(out, join(entry.parentPath ?? entry.path, entry.name)));
  }
  return files.sort();
}

// The service worker, with the site's files and a version that changes with any of them.
async function serviceWorker() {
  const files = (await filesUnder(out)).filter((f) => f !== 'service-worker.js' && !f.endsWith('.map'));
  const hash = createHash('sha256');
  for (const file of files) hash.update(file).update(await readFile(join(out, file)));
  const version = hash.digest('hex').slice(0, 16);
  const list = ['./', ...files.map((f) => `./${f.split('\\').join('/')}`)];
  const source = (await readFile(join(site, 'service-worker.js'), 'utf8'))
    .replace('__VERSION__', version).replace('__FILES__', JSON.stringify(list, null, 1));
  await writeFile(join(out, 'service-worker.js'), source);
  return { files: list.length, version };
}

await mkdir(out, { recursive: true });
await bundle();
for (const name of kStaticFiles) await copyFile(join(site, name), join(out, name));
await copyManual();
const sw = await serviceWorker();
console.log(`build-web: the page is in ${out} (${sw.files} files kept offline, version ${sw.version})`);
