// The site offline: on the first visit every file of this version of the site is cached, and
// from then on the pages are served from that cache, so the game starts with no network. The
// build writes the version (a hash of the site's files) and the list of files above this
// line. Each window gets every file from the version that gave it its page, even after a
// newer one has taken over, so no page ever mixes the files of two versions; a version's
// cache goes once no open window shows it.
'use strict';
const TUMBLER_CACHE = 'tumbler-' + TUMBLER_SITE_VERSION;
const TUMBLER_CLIENTS = 'tumbler-clients';  // which version's page each window shows

// A window's record: {version, at}; none for a window this version's worker gave its page.
function tumblerRecord(clientId) {
  if (!clientId) return Promise.resolve(null);
  return caches.open(TUMBLER_CLIENTS).then((c) => c.match('client/' + clientId)).then((r) => (r ? r.json() : null));
}

function tumblerVersionOf(clientId) {
  return tumblerRecord(clientId).then((record) => (record ? record.version : TUMBLER_CACHE));
}

function tumblerRemember(clientId) {
  if (!clientId) return Promise.resolve();
  const record = JSON.stringify({version: TUMBLER_CACHE, at: Date.now()});
  return caches.open(TUMBLER_CLIENTS).then((c) => c.put('client/' + clientId, new Response(record)));
}

// Drops the caches (and the records) of versions that no open window shows any more. A
// window still loading is not among the open ones yet: a record younger than ten seconds
// stays.
function tumblerPrune() {
  const idOf = (request) => decodeURIComponent(new URL(request.url).pathname.split('/').pop());
  return Promise.all([self.clients.matchAll({type: 'window', includeUncontrolled: true}), caches.open(TUMBLER_CLIENTS)])
    .then(([windows, records]) => records.keys().then((keys) => {
      const open = new Set(windows.map((w) => w.id));
      return Promise.all(keys.map((k) => records.match(k).then((r) => r.json()).then((record) => {
        if (open.has(idOf(k)) || Date.now() - record.at < 10000) return record.version;
        return records.delete(k).then(() => null);
      })));
    }))
    .then((shown) => caches.keys().then((names) => Promise.all(names
      .filter((n) => n.startsWith('tumbler-') && n !== TUMBLER_CLIENTS && n !== TUMBLER_CACHE && !shown.includes(n))
      .map((n) => caches.delete(n)))));
}

self.addEventListener('install', (event) => {
  // Past the browser's HTTP cache: an older copy of a file must not go into the new version.
  const requests = TUMBLER_SITE_FILES.map((file) => new Request(file, {cache: 'reload'}));
  event.waitUntil(caches.open(TUMBLER_CACHE).then((cache) => cache.addAll(requests)));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(tumblerPrune().then(() => self.clients.claim()));
});

// 'take-over': a waiting new version takes over now (a page asks before its game starts).
// 'version?': the asking window learns its page's version and the newest one.
self.addEventListener('message', (event) => {
  if (event.data === 'take-over') self.skipWaiting();
  if (event.data === 'version?' && event.source) {
    event.waitUntil(tumblerVersionOf(event.source.id).then((mine) =>
      event.source.postMessage({tumblerVersion: mine, tumblerNewest: TUMBLER_CACHE})).then(tumblerPrune));
  }
});

// From the window's own version whatever the address's query (the tests' ?record-audio=N);
// a page of the site that is not a file of it gets the game's page; anything else goes to
// the network.
self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET') return;
  const navigation = request.mode === 'navigate';
  if (navigation) event.waitUntil(tumblerRemember(event.resultingClientId).then(tumblerPrune));
  const version = navigation ? Promise.resolve(TUMBLER_CACHE) : tumblerVersionOf(event.clientId);
  event.respondWith(version.then((name) => caches.has(name).then((has) => caches.open(has ? name : TUMBLER_CACHE)))
    .then((cache) => cache.match(request, {ignoreSearch: true})
      .then((hit) => hit || (navigation ? cache.match('index.html') : undefined)))
    .then((hit) => hit || fetch(request)));
});
