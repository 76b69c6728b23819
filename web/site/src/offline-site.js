// The service worker keeps every file of the site, so that the page opens and works
// without a network after its first visit. It also gives the page the headers of
// cross-origin isolation where the host sends none, so that Stop can be a flag the
// engine reads (from the next visit on; this one stops by restarting the engine).

export function registerOfflineSite() {
  if (!('serviceWorker' in navigator) || !window.isSecureContext) return;
  navigator.serviceWorker.register(new URL('./service-worker.js', import.meta.url), { type: 'classic' })
    .then(() => navigator.serviceWorker.ready)
    .then(() => { document.body.dataset.offline = 'ready'; })
    .catch((error) => console.warn('Lumenark: no offline copy:', error));
}
