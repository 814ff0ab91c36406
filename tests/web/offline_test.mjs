// The page installed and played offline, in Debian's chromium, headless:
//   node offline_test.mjs BUILD_WEB_FOLDER
// One visit, under 300 kB compressed, makes the page installable and playable with the server
// gone; a new build replaces the old one whole, and no page ever gets a mix of the two.
import { execFileSync } from 'node:child_process';
import { appendFileSync, copyFileSync, existsSync, mkdirSync, mkdtempSync, readFileSync, rmSync }
  from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import puppeteer from 'puppeteer-core';
import { serve } from '../../platform/web/serve.mjs';

const folder = resolve(process.argv[2]);
const pack = join(dirname(fileURLToPath(import.meta.url)), '../../platform/web/pack.mjs');
const scratch = mkdtempSync(join(tmpdir(), 'quendra-offline-'));
const STEP_MS = 60000;
let browser = null, server = null;
const sockets = new Set();
const watchdog = setTimeout(() => abort('the test ran out of time'), 300000);

function abort(message) {
  console.error(`FAIL: ${message}`);
  browser?.process()?.kill('SIGKILL');
  setTimeout(() => {  // once the browser has let go of its profile
    rmSync(scratch, { recursive: true, force: true });
    process.exit(1);
  }, 500);
}
class Failure extends Error {}
function check(condition, message) {
  if (!condition) throw new Failure(message);
  console.log(`ok: ${message}`);
}

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

const waitIn = (page, test, what, ...values) =>
  page.waitForFunction(test, { timeout: STEP_MS, polling: 50 }, ...values)
    .catch(() => { throw new Failure(`no ${what}`); });
const caches = (page) => page.evaluate(() => caches.keys());
const pageScript = (page) => page.evaluate(async () => (await fetch('page.js')).text());
// Clicks "play" and waits for the menu's frames (not in full screen, as the browser test).
async function play(page) {
  await page.evaluate(() => { document.getElementById('stage').requestFullscreen = undefined; });
  await page.click('#start button');
  await waitIn(page, () => quendraPage.state.frames >= 3, 'menu frames');
}
// The registration's worker tried: 'activated' or 'redundant' (a failed install). The install is
// watched from here, a look at a time: on a loaded machine it may take longer than one call may.
async function update(page) {
  await page.evaluate(async () => {
    const registration = await navigator.serviceWorker.getRegistration();
    await registration.update();
    window.testWorker = registration.installing || registration.waiting;
  });
  await waitIn(page, () => !window.testWorker ||
    ['activated', 'redundant'].includes(window.testWorker.state), 'end of the new worker\'s install');
  return page.evaluate(() => window.testWorker?.state || 'no new worker');
}

try {
  // The page served from a copy of the build, and the next build beside it (page.js changed).
  const site = join(scratch, 'site'), next = join(scratch, 'next');
  const first = buildOf(folder);
  const names = [...Object.keys(first.files), 'sw.js'];
  copyPage(folder, site, names);
  copyPage(folder, next, names);
  appendFileSync(join(next, 'page.js'), '\nvar quendraRebuilt = true;\n');
  execFileSync(process.execPath, [pack, next, ...Object.keys(first.files)]);
  const second = buildOf(next);
  check(second.version !== first.version, 'a changed file makes a new version');

  const port = await startServer(site, 0);
  const url = `http://127.0.0.1:${port}/`;
  browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium', headless: true,
    timeout: STEP_MS, protocolTimeout: STEP_MS,
    args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync',
      `--user-data-dir=${join(scratch, 'profile')}`],
  });
  const page = await browser.newPage();
  const problems = [];
  page.on('pageerror', (error) => problems.push(error.message));

  // The first visit: the page, its worker and the worker's copies of every file.
  await page.goto(url, { waitUntil: 'load' });
  await waitIn(page, () => navigator.serviceWorker.ready.then(() => true), 'worker');
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
  await play(page);
  check(true, 'with the server gone, a reload plays');

  // The next build's worker before its files (a server half way through an update): it is
  // refused, and the page keeps the whole of the build it has.
  copyPage(next, site, ['sw.js']);
  await startServer(site, port);
  check(await update(page) === 'redundant', 'a worker whose files are not its build is refused');
  check(!(await pageScript(page)).includes('quendraRebuilt'), 'the old build is still served');

  // The whole next build: a new page takes it at once, while the page already open (a game in
  // its menu) goes on with the files of the build it was loaded with.
  copyPage(next, site, names);
  const other = await browser.newPage();
  await other.goto(url, { waitUntil: 'load' });
  await waitIn(other, async (name) => {
    const registration = await navigator.serviceWorker.getRegistration();
    return (await caches.has(name)) && !registration.installing && !registration.waiting;
  }, 'new build taking over', `quendra-build-${second.version}`);
  check(!(await pageScript(page)).includes('quendraRebuilt'),
    'the page open before the new build still gets its own build\'s files');
  await other.reload({ waitUntil: 'load' });
  check(await other.evaluate(() => typeof quendraRebuilt !== 'undefined'),
    'a reload after the new build takes over serves the new files');
  await play(other);

  // Once the old page is closed, its build's cache goes.
  await page.close();
  for (const deadline = Date.now() + STEP_MS; ;) {
    await other.reload({ waitUntil: 'load' });
    const names = await caches(other);
    if (!names.includes(`quendra-build-${first.version}`)) break;
    if (Date.now() > deadline) throw new Failure(`the old build stays cached: ${names}`);
    await new Promise((again) => setTimeout(again, 500));
  }
  check(true, 'the old build\'s cache is deleted once no page uses it');
  check(problems.length === 0, `no script errors${problems.length ? ': ' + problems : ''}`);
} catch (error) {
  abort(error instanceof Failure ? error.message : error.stack || String(error));
  await new Promise(() => {});  // abort exits
}
await browser.close();
await stopServer();
clearTimeout(watchdog);
rmSync(scratch, { recursive: true, force: true });
console.log('all offline tests passed');
