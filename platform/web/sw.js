// Vexarion's service worker: the whole site, kept in a cache named for its
// build, so that after one visit the page and the scene load with no
// network at all.
//
// tools/build-web.sh writes in the build (a hash of the site's files) and
// the list of files. A new build is a new sw.js: the browser installs it
// beside the old one, it copies the new site into its own cache, takes
// over at once and, on activating, deletes every other build's cache. A
// page that was already running keeps what it loaded; the next load is the
// new build's.
'use strict';
const build = '@BUILD@';
const files = [@FILES@];
const cacheName = 'vexarion-' + build;

self.addEventListener('install', event => {
  // Straight from the server, past the browser's own HTTP cache, so that
  // the cache holds this build's files and no older copy.
  event.waitUntil(caches.open(cacheName)
                    .then(cache => cache.addAll(files.map(file => new Request(file, {cache: 'reload'}))))
                    .then(() => self.skipWaiting()));
});

self.addEventListener('activate', event => {
  event.waitUntil(caches.keys()
                    .then(names => Promise.all(names.filter(name => name.startsWith('vexarion-') && name !== cacheName)
                                                 .map(name => caches.delete(name))))
                    .then(() => self.clients.claim()));
});

// The site's own files come from the cache; anything else (a replay script
// in the address, say) from the network as usual. A page opened is the
// file it names whatever its query says, and the folder's is index.html.
self.addEventListener('fetch', event => {
  const request = event.request, url = new URL(request.url);
  if (request.method !== 'GET' || url.origin !== location.origin)
    return;
  const opened = request.mode === 'navigate';
  const key = opened && url.pathname.endsWith('/') ? 'index.html' : request;
  event.respondWith(caches.open(cacheName)
                      .then(cache => cache.match(key, {ignoreSearch: opened}))
                      .then(cached => cached || fetch(request)));
});
