// The page offline, from a copy of the build on a server of its own: one visit under 300 kB
// makes it installable and playable with the server gone; a new build replaces the old whole.
import { execFileSync } from 'node:child_process';
import { appendFileSync, copyFileSync, existsSync, mkdirSync, readFileSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { serve } from '../../platform/web/serve.mjs';
import { STEP_MS, check, fail, start, waitState } from './harness.mjs';

const pack = join(dirname(fileURLToPath(import.meta.url)), '../../platform/web/pack.mjs');
let server = null;
const sockets = new Set();

// A build folder's worker list: { version, files: { NAME: hash } }.
const buildOf = (dir) =>
  JSON.parse(readFileSync(join(dir, 'sw.js'), 'utf8').match(/^const BUILD = (.*);$/m)[1]);
// Copies the page of one build folder into another: the given files, with their copies.
function copyPage(from, to, names) {
  for (const name of names.flatMap((n) => [n, `${n}.gz`, `${n}.br`])) {
    if (!existsSync(join(from, name))) continue;
    mkdirSync(dirname(join(to, name)), { recursive: true });
    copyFileSync(join(from, name), join(to, name));
  }
}

// The server, counting every byte it sends; stopped, it is gone for the browser.
async function startServer(site, port) {
  server = await serve(site, port);
  server.on('connection', (socket) => sockets.add(socket));
  return server.address().port;
}
const bytesSent = () => [...sockets].reduce((sum, socket) => sum + socket.bytesWritten, 0);
async function stopServer() {
  server.closeAllConnections();
  await new Promise((done) => server.close(done));
}

const caches = (page) => page.evaluate(() => caches.keys());
const pageScript = (page) => page.evaluate(async () => (await fetch('page.js')).text());
// The registration's new worker tried: 'activated' or 'redundant' (a failed install), watched a
// look at a time (on a loaded machine it may take longer than one call may).
async function update(page) {
  await page.evaluate(async () => {
    const registration = await navigator.serviceWorker.getRegistration();
    await registration.update();
    window.testWorker = registration.installing || registration.waiting;
  });
  await waitState(page, () => !window.testWorker ||
    ['activated', 'redundant'].includes(window.testWorker.state),
  'end of the new worker\'s install');
  return page.evaluate(() => window.testWorker?.state || 'no new worker');
}

export async function offlineTests(t) {
  // The page served from a copy of the build, and the next build beside it (page.js changed).
  const site = join(t.scratch, 'site'), next = join(t.scratch, 'next');
  const first = buildOf(t.folder);
  const names = [...Object.keys(first.files), 'sw.js'];
  copyPage(t.folder, site, names);
  copyPage(t.folder, next, names);
  appendFileSync(join(next, 'page.js'), '\nvar quendraRebuilt = true;\n');
  execFileSync(process.execPath, [pack, next, ...Object.keys(first.files)]);
  const second = buildOf(next);
  check(second.version !== first.version, 'a changed file makes a new version');

  const port = await startServer(site, 0);
  const url = `http://127.0.0.1:${port}/`;
  const page = await t.newPage();

  // The first visit: the page, its worker and the worker's copies of every file.
  await page.goto(url, { waitUntil: 'load' });
  await waitState(page, () => navigator.serviceWorker.ready.then(() => true), 'worker');
  const firstVisit = bytesSent();
  check(firstVisit < 300000, `the first visit downloads under 300 kB (${firstVisit} bytes)`);
  const cdp = await page.createCDPSession();
  const { installabilityErrors } = await cdp.send('Page.getInstallabilityErrors');
  check(installabilityErrors.length === 0,
    `the page is installable ${JSON.stringify(installabilityErrors)}`);

  // A second visit asks only whether the worker changed.
  await page.reload({ waitUntil: 'load' });
  check(bytesSent() - firstVisit < 2000, `a second visit downloads almost nothing ` +
    `(${bytesSent() - firstVisit} bytes)`);

  await stopServer();
  await page.reload({ waitUntil: 'load' });
  await start(page);
  check(true, 'with the server gone, a reload plays');

  // The next build's worker before its files (an update half done): refused, the old build kept.
  copyPage(next, site, ['sw.js']);
  await startServer(site, port);
  check(await update(page) === 'redundant', 'a worker whose files are not its build is refused');
  check(!(await pageScript(page)).includes('quendraRebuilt'), 'the old build is still served');

  // The whole next build: a new page takes it at once, the page already open keeps its own.
  copyPage(next, site, names);
  const other = await t.newPage();
  await other.goto(url, { waitUntil: 'load' });
  await waitState(other, async (name) => {
    const registration = await navigator.serviceWorker.getRegistration();
    return (await caches.has(name)) && !registration.installing && !registration.waiting;
  }, 'new build taking over', `quendra-build-${second.version}`);
  check(!(await pageScript(page)).includes('quendraRebuilt'),
    'the page open before the new build still gets its own build\'s files');
  await other.reload({ waitUntil: 'load' });
  check(await other.evaluate(() => typeof quendraRebuilt !== 'undefined'),
    'a reload after the new build takes over serves the new files');
  await start(other);

  // Once the old page is closed, its build's cache goes.
  await page.close();
  for (const deadline = Date.now() + STEP_MS; ;) {
    await other.reload({ waitUntil: 'load' });
    const names = await caches(other);
    if (!names.includes(`quendra-build-${first.version}`)) break;
    if (Date.now() > deadline) fail(`the old build stays cached: ${names}`);
    await new Promise((again) => setTimeout(again, 500));
  }
  check(true, 'the old build\'s cache is deleted once no page uses it');
  await stopServer();
}
