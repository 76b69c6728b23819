// Every document is kept in the browser's storage (IndexedDB) as it is typed, so that a
// reload, a closed tab or a crash loses nothing.
//
// Each page holds a session: an id kept in the tab's sessionStorage (so a reload keeps
// it) and a Web Lock of that name, held while the page lives. A page writes only its own
// session's documents, so a second tab never overwrites the first's. A page that starts
// without a session of its own (a new tab, the browser started again) takes over the
// documents of every session whose page is gone: no lock holds it any more.

const kDatabase = 'lumenark';
const kStore = 'documents';
const kLockPrefix = 'lumenark-session-';

function request(r) {
  return new Promise((resolve, reject) => {
    r.onsuccess = () => resolve(r.result);
    r.onerror = () => reject(r.error);
  });
}

function openDatabase() {
  const open = indexedDB.open(kDatabase, 1);
  open.onupgradeneeded = () => {
    const store = open.result.createObjectStore(kStore, { keyPath: 'id' });
    store.createIndex('session', 'session');
  };
  return request(open);
}

function newId() {
  return crypto.randomUUID ? crypto.randomUUID() : `${Date.now()}-${Math.random().toString(36).slice(2)}`;
}

// Holds the lock of a session until the page goes; resolves whether it got it.
function holdLock(name, wait) {
  return new Promise((resolve) => {
    const options = wait ? { signal: AbortSignal.timeout(wait) } : { ifAvailable: true };
    navigator.locks.request(name, options, (lock) => {
      resolve(lock !== null);
      return lock ? new Promise(() => {}) : undefined;
    }).catch(() => resolve(false));
  });
}

export class DocumentStore {
  static async open() {
    const store = new DocumentStore();
    store.db = await openDatabase();
    await store.claimSession();
    return store;
  }

  async claimSession() {
    this.locks = typeof navigator.locks !== 'undefined';
    let id = sessionStorage.getItem('lumenark-session');
    // A reload keeps the tab's session; the page before it may still be letting go of
    // the lock for a moment. A duplicated tab finds its session held and starts anew.
    if (id && this.locks && !(await holdLock(kLockPrefix + id, 1000))) id = null;
    this.adopting = !id;
    if (!id) {
      id = newId();
      sessionStorage.setItem('lumenark-session', id);
      if (this.locks) await holdLock(kLockPrefix + id, 0);
    }
    this.session = id;
  }

  // The documents of this page: its own after a reload; in a new page, those of every
  // session that no page holds any more.
  async load() {
    if (this.adopting) {
      const adopt = async () => {
        const held = new Set();
        if (this.locks) {
          const state = await navigator.locks.query();
          for (const lock of state.held ?? []) held.add(lock.name);
        }
        const all = await this.all();
        const orphans = all.filter((d) => d.session !== this.session && !held.has(kLockPrefix + d.session));
        if (orphans.length) await this.putMany(orphans.map((d) => ({ ...d, session: this.session })));
      };
      if (this.locks) await navigator.locks.request('lumenark-adopt', adopt);
      else await adopt();
    }
    const mine = (await this.all()).filter((d) => d.session === this.session);
    mine.sort((a, b) => a.order - b.order || a.created - b.created);
    return mine;
  }

  async all() {
    const tx = this.db.transaction(kStore, 'readonly');
    return request(tx.objectStore(kStore).getAll());
  }

  putMany(records) {
    return new Promise((resolve, reject) => {
      const tx = this.db.transaction(kStore, 'readwrite');
      const store = tx.objectStore(kStore);
      for (const r of records) store.put(r);
      tx.oncomplete = () => resolve();
      tx.onerror = () => reject(tx.error);
      tx.onabort = () => reject(tx.error);
    });
  }

  put(record) { return this.putMany([{ ...record, session: this.session }]); }

  remove(id) {
    return new Promise((resolve, reject) => {
      const tx = this.db.transaction(kStore, 'readwrite');
      tx.objectStore(kStore).delete(id);
      tx.oncomplete = () => resolve();
      tx.onerror = () => reject(tx.error);
    });
  }

  newDocumentId() { return newId(); }
}

const kLargeText = 1 << 20;

// Writes one document's record whenever it changes, one write at a time: a change that
// comes while a write is under way is written as soon as that write is done, so the
// storage is never more than one write behind, and typing never waits on it.
export class DocumentSaver {
  constructor(store, snapshot, size = () => 0) {
    this.store = store;
    this.snapshot = snapshot;  // () => the record to write now
    this.size = size;          // () => the text's length now
    this.writing = null;
    this.dirty = false;
    this.onSaved = null;
  }

  changed() {
    this.dirty = true;
    if (!this.writing) this.writing = this.flush();
    this.onPending?.();
    return this.writing;
  }

  // The page is going: the record now, without waiting for anything.
  writeNow() {
    if (!this.dirty) return;
    this.dirty = false;
    this.store.put(this.snapshot()).catch(() => {});
  }

  async flush() {
    // After the change that asked for it has been drawn: a large text is read out then,
    // not inside the editor's transaction. A text of megabytes is written a moment after
    // the typing pauses, so that each key does not copy it whole.
    await new Promise((resolve) => setTimeout(resolve, this.size() > kLargeText ? 300 : 0));
    while (this.dirty) {
      this.dirty = false;
      try {
        await this.store.put(this.snapshot());
      } catch (error) {
        console.error('Lumenark: the document could not be kept in the browser\'s storage', error);
      }
    }
    this.writing = null;
    this.onSaved?.();
  }
}

// Where the browser gives the page no storage (some private modes, storage blocked):
// the documents live as long as the page, and the page says so.
export class PageOnlyStore {
  constructor() {
    this.records = new Map();
    this.session = 'page';
    this.kept = false;
  }

  async load() { return []; }

  async put(record) { this.records.set(record.id, { ...record }); }

  async remove(id) { this.records.delete(id); }

  newDocumentId() { return newId(); }
}
