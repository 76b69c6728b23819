// The page's side of the engine Worker. Requests are messages with an id; the answer
// with the same id settles the request's promise.
//
// Stop: where the page is cross-origin isolated, a SharedArrayBuffer flag that the
// engine reads while it works (it winds the command down as the desktop's Stop button
// does). Elsewhere the Worker is ended and a fresh one started, with every document's
// tree restored from the snapshot taken after its last command: the text never waited
// on the Worker, so it is whole either way.

export class EngineClient {
  constructor(workerUrl) {
    this.workerUrl = workerUrl;
    this.pending = new Map();
    this.nextId = 1;
    this.documents = new Map();  // doc -> { options, tree }: what a fresh Worker needs
    this.onProgress = () => {};
    this.onRestart = () => {};
    this.running = null;         // the command under way: { id, doc, started }
    this.stopBuffer = typeof SharedArrayBuffer === 'function' && self.crossOriginIsolated
      ? new SharedArrayBuffer(4) : null;
    this.stopSignal = this.stopBuffer ? new Int32Array(this.stopBuffer) : null;
    this.startWorker();
  }

  get stopsBySignal() { return this.stopSignal !== null; }

  startWorker() {
    this.worker = new Worker(this.workerUrl, { type: 'module', name: 'Lumenark engine' });
    this.ready = new Promise((resolve, reject) => {
      this.worker.onmessage = ({ data }) => {
        if (data.type === 'ready') {
          this.version = data.version;
          this.started = true;
          resolve();
        } else if (data.type === 'failed') {
          reject(new Error(data.message));
        } else {
          this.receive(data);
        }
      };
      this.worker.onerror = (event) => {
        event.preventDefault?.();
        const message = event.message || 'The engine could not be loaded.';
        reject(new Error(message));
        // A Worker that never started would fail the same way again.
        if (this.started) this.workerFailed(message);
        else this.failPending(message);
      };
    });
    this.ready.catch(() => {});
    this.worker.postMessage({ type: 'init', stopBuffer: this.stopBuffer });
    for (const [doc, state] of this.documents) {
      this.worker.postMessage({ type: 'open', doc, options: state.options, tree: state.tree });
    }
  }

  receive(data) {
    if (data.type === 'progress') {
      if (this.running) this.onProgress(data);
      return;
    }
    const request = this.pending.get(data.id);
    if (!request) return;
    this.pending.delete(data.id);
    if (data.type === 'error') request.reject(new Error(data.message));
    else request.resolve(data);
  }

  // A Worker that died (a crash of the module, the browser out of memory) takes its
  // requests with it: each ends with the message, and a fresh Worker takes over.
  workerFailed(message) {
    this.failPending(message);
    this.worker.terminate();
    this.started = false;
    this.startWorker();
    this.onRestart();
  }

  failPending(message) {
    const failed = [...this.pending.values()];
    this.pending.clear();
    this.running = null;
    for (const request of failed) request.reject(new Error(message));
  }

  send(message) {
    const id = this.nextId++;
    return new Promise((resolve, reject) => {
      this.pending.set(id, { resolve, reject, message });
      this.ready.then(() => this.worker.postMessage({ ...message, id }), reject);
    });
  }

  openDocument(doc, options, tree = null) {
    this.documents.set(doc, { options: { ...options }, tree });
    this.worker.postMessage({ type: 'open', doc, options, tree });
  }

  setOptions(doc, options) {
    const state = this.documents.get(doc);
    if (state) state.options = { ...options };
    this.worker.postMessage({ type: 'options', doc, options });
  }

  closeDocument(doc) {
    this.documents.delete(doc);
    this.worker.postMessage({ type: 'close', doc });
  }

  // Runs a Formula command on a document: the engine's answer, or { status: 4,
  // stopped: true, changes: [] } when a stop ended the Worker first.
  async command(doc, name, selection) {
    const id = this.nextId;
    const started = performance.now();
    this.running = { id, doc, started };
    try {
      const answer = await this.send({ type: 'command', doc, name, ...selection });
      answer.pageMs = performance.now() - started;
      return answer;
    } catch (error) {
      if (error.stopped) return { status: 4, stopped: true, changes: [], messages: [] };
      throw error;
    } finally {
      this.running = null;
    }
  }

  // The document's tree as bytes, kept for a fresh Worker and handed to the caller.
  async snapshot(doc) {
    const { tree } = await this.send({ type: 'snapshot', doc });
    const state = this.documents.get(doc);
    if (state) state.tree = tree;
    return tree;
  }

  async latex(text) { return this.send({ type: 'latex', text }); }

  async dimacs(text, width, name) { return this.send({ type: 'dimacs', text, width, name }); }

  // Stop: the command under way ends as soon as the engine looks at the flag, or at
  // once with a fresh Worker.
  stop() {
    if (!this.running) return;
    if (this.stopSignal) {
      Atomics.store(this.stopSignal, 0, 1);
      return;
    }
    const stopped = [...this.pending.values()];
    this.pending.clear();
    this.running = null;
    this.worker.terminate();
    this.started = false;
    for (const request of stopped) {
      const error = new Error('Stopped');
      error.stopped = true;
      request.reject(error);
    }
    this.startWorker();
  }
}
