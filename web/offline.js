// The page kept for playing with no network: registers the service worker the build
// writes (service-worker.js, beside index.html), and says in one line when a new
// version has come in, which the next load of the page brings.
const ownVersion = /\/v\/([0-9a-f]+)\//.exec(import.meta.url)?.[1];

// `note(text)` shows a line under the controls; `refused(error)` is told when the
// browser keeps nothing for the page.
export function keepForOffline(note, refused) {
  if (!('serviceWorker' in navigator) || !ownVersion) return;
  // The worker says its version when it takes over and whenever it is asked.
  navigator.serviceWorker.onmessage = (event) => {
    if (event.data?.type === 'version' && event.data.version !== ownVersion) {
      note('A new version of Tilerush is ready: it starts the next time this page is loaded.');
    }
  };
  const ask = () => navigator.serviceWorker.controller?.postMessage({ type: 'version' });
  navigator.serviceWorker.addEventListener('controllerchange', ask);
  navigator.serviceWorker.register(new URL('../../service-worker.js', import.meta.url)).then(ask, refused);
}
