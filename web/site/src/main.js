// The page's start: the storage session, the engine Worker, the workbench with the
// documents the storage holds (one empty document on a first visit, the caret in it),
// and the service worker that keeps the site for offline use.

import { DocumentStore, PageOnlyStore } from './storage.js';
import { EngineClient } from './engine-client.js';
import { Workbench } from './workbench.js';
import { runExample } from './manual.js';
import { registerOfflineSite } from './offline-site.js';

async function start() {
  const engine = new EngineClient(new URL('./engine-worker.js', import.meta.url));
  let store;
  try {
    store = await DocumentStore.open();
  } catch (error) {
    console.warn('Lumenark: no storage for the documents:', error);
    store = new PageOnlyStore();
  }
  const bench = new Workbench({ root: document.querySelector('.workbench'), store, engine });
  await bench.restore();
  if (store.kept === false) bench.status.say('The browser keeps no storage for this page: save your documents before you leave it.');
  window.addEventListener('lumenark-example', (event) => runExample(bench, event.detail));
  document.body.dataset.ready = 'yes';
  performance.mark('lumenark-ready');
  window.lumenark = { bench };
  engine.ready.then(() => { document.body.dataset.engine = engine.stopsBySignal ? 'signal' : 'restart'; },
    () => { document.body.dataset.engine = 'failed'; });
  registerOfflineSite(bench.status);
}

start().catch((error) => {
  document.body.dataset.ready = 'failed';
  const note = document.querySelector('.start-failure');
  note.hidden = false;
  note.textContent = `Lumenark could not start: ${error.message}`;
  console.error(error);
});
