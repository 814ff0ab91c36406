// The page's offline copy: a service worker that keeps every file of one build in a cache of its
// own and serves each open page from the build that page was loaded with, so that no page ever
// gets a mix of two builds. pack.mjs writes the build above this text:
//   const BUILD = { version, files: { NAME: SHA-256 of its bytes } };
'use strict';

const BUILDS = 'quendra-build-';      // + version: one build's files
const CACHE = BUILDS + BUILD.version;
const PAGES = 'quendra-pages';        // page/ID -> { cache, time }: the build each page has
const FORGET_MS = 5000;               // a page's record outlives the page this long

// Every file of the build, fetched anew (a server's 304 costs nothing), checked against the
// build's list, then cached together. A file that is not the listed one (a server half way
// through an update) fails the install: the worker before this one goes on serving its build.
async function fill() {
  const copies = await Promise.all(Object.entries(BUILD.files).map(async ([name, hash]) => {
    const response = await fetch(new Request(name, { cache: 'no-cache' }));
    if (!response.ok) throw new Error(`${name}: ${response.status}`);
    const body = await response.arrayBuffer();
    const digest = await crypto.subtle.digest('SHA-256', body);
    const hex = Array.from(new Uint8Array(digest), (b) => b.toString(16).padStart(2, '0')).join('');
    if (hex !== hash) throw new Error(`${name} is not this build's`);
    // The body is decoded: only the type goes with it (streaming compiles want application/wasm).
    const type = response.headers.get('Content-Type');
    return [name, new Response(body, { headers: type ? { 'Content-Type': type } : {} })];
  }));
  const cache = await caches.open(CACHE);
  try {
    await Promise.all(copies.map(([name, response]) => cache.put(name, response)));
  } catch (error) {
    await caches.delete(CACHE);
    throw error;
  }
}

// A new build takes over at once; the pages still open on an older one keep their files (below).
self.addEventListener('install', (event) => event.waitUntil(fill().then(() => self.skipWaiting())));
self.addEventListener('activate', (event) => event.waitUntil(prune()));

const pageKey = (id) => `page/${encodeURIComponent(id)}`;

async function remember(pageId) {
  if (!pageId) return;
  const record = JSON.stringify({ cache: CACHE, time: Date.now() });
  await (await caches.open(PAGES)).put(pageKey(pageId), new Response(record));
}

// A page's record, {} when there is none or it can't be read.
const recordOf = (response) => (response ? response.json() : Promise.resolve({})).catch(() => ({}));

// The cache of the build the page was loaded with, while that cache is there; else this build.
async function cacheOf(pageId) {
  const pages = await caches.open(PAGES);
  const { cache } = pageId ? await recordOf(await pages.match(pageKey(pageId))) : {};
  return typeof cache === 'string' && await caches.has(cache) ? cache : CACHE;
}

// Forgets the pages closed a while ago, then deletes every other build's cache that no open page
// still needs. Not while a newer worker is being installed: its cache is not in use yet.
async function prune() {
  const windows = await self.clients.matchAll({ includeUncontrolled: true });
  const open = new Set(windows.map((client) => client.id));
  const pages = await caches.open(PAGES);
  const needed = new Set([CACHE]);
  for (const key of await pages.keys()) {
    const { cache, time } = await recordOf(await pages.match(key));
    const id = decodeURIComponent(new URL(key.url).pathname.split('/').pop());
    if (open.has(id) || Date.now() - time < FORGET_MS) needed.add(cache);
    else await pages.delete(key);
  }
  if (self.registration.installing || self.registration.waiting) return;
  for (const name of await caches.keys()) {
    if (name.startsWith(BUILDS) && !needed.has(name)) await caches.delete(name);
  }
}

// The build's file a request is for (the folder itself is index.html), or null.
function fileOf(request) {
  const url = new URL(request.url);
  const scope = new URL(self.registration.scope);
  if (url.origin !== scope.origin || !url.pathname.startsWith(scope.pathname)) return null;
  const name = url.pathname.slice(scope.pathname.length) || 'index.html';
  return Object.hasOwn(BUILD.files, name) ? name : null;
}

// The file from the cache, or from the network if the browser has dropped the cache.
async function answer(cacheName, name, request) {
  const copy = await caches.open(cacheName).then((cache) => cache.match(name), () => null);
  return copy || fetch(request);
}

// Loading the page pins it to this build; everything it loads after comes from its build.
// Anything else (other files, other methods, other sites) goes to the network untouched.
self.addEventListener('fetch', (event) => {
  const name = event.request.method === 'GET' ? fileOf(event.request) : null;
  if (!name) return;
  if (event.request.mode === 'navigate') {
    event.respondWith(answer(CACHE, name, event.request));
    event.waitUntil(remember(event.resultingClientId).then(prune));
  } else {
    const cache = cacheOf(event.clientId).catch(() => CACHE);
    event.respondWith(cache.then((cacheName) => answer(cacheName, name, event.request)));
  }
});
