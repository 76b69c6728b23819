// The site's service worker. On install it stores every file of the site (the list and
// the version are written in by the build), and from then on answers from that copy
// first, so that the page works without a network. Each answer carries the headers of
// cross-origin isolation, so that the page may share memory with the engine's Worker
// (the Stop flag) on hosts that send none. A new build is a new version: its files
// replace the old ones, which are deleted, once no page of the old build is open (a page
// never mixes files of two builds).

const kVersion = '__VERSION__';
const kFiles = __FILES__;
const kCache = `lumenark-${kVersion}`;

self.addEventListener('install', (event) => {
  event.waitUntil((async () => {
    const cache = await caches.open(kCache);
    await cache.addAll(kFiles.map((file) => new Request(file, { cache: 'reload' })));
    // The first install takes over at once; a new build waits for the old one's pages.
    if (!self.registration.active) await self.skipWaiting();
  })());
});

// A page asks for the new build when its user chose to reload into it.
self.addEventListener('message', (event) => {
  if (event.data === 'use-new-build') self.skipWaiting();
});

self.addEventListener('activate', (event) => {
  event.waitUntil((async () => {
    for (const name of await caches.keys()) {
      if (name.startsWith('lumenark-') && name !== kCache) await caches.delete(name);
    }
    await self.clients.claim();
  })());
});

function isolated(response) {
  if (response.status === 0 || response.type === 'opaque') return response;
  const headers = new Headers(response.headers);
  headers.set('Cross-Origin-Opener-Policy', 'same-origin');
  headers.set('Cross-Origin-Embedder-Policy', 'require-corp');
  headers.set('Cross-Origin-Resource-Policy', 'same-origin');
  return new Response(response.body, { status: response.status, statusText: response.statusText, headers });
}

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET' || new URL(request.url).origin !== self.location.origin) return;
  event.respondWith((async () => {
    const cache = await caches.open(kCache);
    const url = new URL(request.url);
    url.hash = '';
    url.search = '';
    const key = request.mode === 'navigate' && url.pathname.endsWith('/') ? new URL('index.html', url) : url;
    const kept = await cache.match(key.href);
    if (kept) return isolated(kept);
    try {
      return isolated(await fetch(request));
    } catch (error) {
      if (request.mode === 'navigate') {
        const page = await cache.match(new URL('index.html', self.registration.scope).href);
        if (page) return isolated(page);
      }
      throw error;
    }
  })());
});
