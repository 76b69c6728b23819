// The service worker keeps every file of the site, so that the page opens and works
// without a network after its first visit. It also gives the page the headers of
// cross-origin isolation where the host sends none, so that Stop can be a flag the
// engine reads (from the next visit on; this one stops by restarting the engine).
//
// A new build of the site waits until its user chooses it: the status bar offers it,
// and the page loads again with it (documents are in the browser's storage).

export function registerOfflineSite(status) {
  if (!('serviceWorker' in navigator) || !window.isSecureContext) return;
  navigator.serviceWorker.register(new URL('./service-worker.js', import.meta.url), { type: 'classic' })
    .then((registration) => {
      const offer = () => {
        if (registration.waiting && navigator.serviceWorker.controller) status.offerNewBuild(() => useNewBuild(registration));
      };
      offer();
      registration.addEventListener('updatefound', () => {
        registration.installing?.addEventListener('statechange', offer);
      });
      return navigator.serviceWorker.ready;
    })
    .then(() => { document.body.dataset.offline = 'ready'; })
    .catch((error) => console.warn('Lumenark: no offline copy:', error));
}

function useNewBuild(registration) {
  navigator.serviceWorker.addEventListener('controllerchange', () => location.reload(), { once: true });
  registration.waiting?.postMessage('use-new-build');
}
