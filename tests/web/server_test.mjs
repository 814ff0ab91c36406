// The page's server (platform/web/serve.mjs) on its own, without a browser:
//   node server_test.mjs
import assert from 'node:assert/strict';
import { execFileSync, spawn } from 'node:child_process';
import {
  copyFileSync, mkdirSync, mkdtempSync, rmSync, symlinkSync, utimesSync, writeFileSync,
} from 'node:fs';
import { once } from 'node:events';
import { request as httpRequest } from 'node:http';
import { connect } from 'node:net';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import test, { after, before } from 'node:test';
import { fileURLToPath } from 'node:url';
import { brotliCompressSync, brotliDecompressSync, gunzipSync, gzipSync } from 'node:zlib';
import { serve } from '../../platform/web/serve.mjs';

const serveScript = join(dirname(fileURLToPath(import.meta.url)), '../../platform/web/serve.mjs');
const scratch = mkdtempSync(join(tmpdir(), 'quendra-serve-'));
const site = join(scratch, 'site');
const script = Buffer.from('console.log("the program");\n'.repeat(200));
let server, port;
// A server that hangs must fail the test, not hold it up.
setTimeout(() => {
  console.error('FAIL: the server test ran out of time');
  process.exit(1);
}, 120000).unref();

// One request: { status, headers, body }.
function get(path, headers = {}, method = 'GET') {
  return new Promise((resolve, reject) => {
    const options = { host: '127.0.0.1', port, path, method, headers, agent: false };
    const request = httpRequest(options, (response) => {
      const chunks = [];
      response.on('data', (chunk) => chunks.push(chunk));
      response.on('end', () => resolve({ status: response.statusCode, headers: response.headers,
        body: Buffer.concat(chunks) }));
    });
    request.on('error', reject);
    request.end();
  });
}

const openConnections = () => new Promise((resolve) => server.getConnections((_, n) => resolve(n)));
async function until(condition, what) {
  for (const deadline = Date.now() + 20000; !(await condition());) {
    if (Date.now() > deadline) assert.fail(`no ${what}`);
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
}

before(async () => {
  mkdirSync(join(site, 'icons'), { recursive: true });
  // page.js.gz: a copy left from an earlier build, older than its file.
  for (const [name, bytes] of [['index.html', '<!doctype html><title>Quendra</title>\n'],
    ['quendra.js', script], ['quendra.js.gz', gzipSync(script)],
    ['quendra.js.br', brotliCompressSync(script)], ['page.js', 'new();\n'],
    ['page.js.gz', gzipSync('old();\n')], ['big.wasm', Buffer.alloc(32 << 20)],
    ['quendra.webmanifest', '{}'], ['../secret.js', 'private\n'],
    ['../secret.js.gz', gzipSync('private\n')]]) writeFileSync(join(site, name), bytes);
  utimesSync(join(site, 'page.js.gz'), new Date(2000, 1), new Date(2000, 1));
  for (const [target, name] of [[join(scratch, 'secret.js'), 'out.js'], ['quendra.js', 'in.js'],
    ['/dev/zero', 'zero.js'], [join(scratch, 'secret.js.gz'), 'index.html.gz']])
    symlinkSync(target, join(site, name));
  execFileSync('mkfifo', [join(site, 'fifo.js')]);
  server = await serve(site, 0, { timeLimitMs: 500 });
  port = server.address().port;
});
after(() => {
  server?.closeAllConnections();
  server?.close();
  rmSync(scratch, { recursive: true, force: true });
});

test('compressed copies as the browser accepts them, from the same file', async () => {
  for (const [accept, coding] of [['gzip, deflate, br', 'br'], ['gzip', 'gzip'], ['*', 'br'],
    ['br;q=0, gzip;q=0.5', 'gzip'], ['', undefined], ['identity', undefined],
    ['gzip;q=0, br;q=0', undefined], ['*;q=0', undefined], ['GZIP', 'gzip']]) {
    const { status, headers, body } = await get('/quendra.js', { 'Accept-Encoding': accept });
    assert.deepEqual([status, headers['content-encoding'], headers.vary, headers['content-type']],
      [200, coding, 'Accept-Encoding', 'text/javascript; charset=utf-8'], accept);
    const decode = { br: brotliDecompressSync, gzip: gunzipSync }[coding] || ((b) => b);
    assert.deepEqual(decode(body), script);
  }
  // A copy older than its file is a leftover, and one that links out of the folder is no copy.
  assert.equal((await get('/page.js', { 'Accept-Encoding': 'gzip' })).body.toString(), 'new();\n');
  const index = await get('/', { 'Accept-Encoding': 'gzip' });
  assert.equal(index.headers['content-encoding'], undefined);
  assert.match(index.body.toString(), /<title>Quendra/);
});

test('validators and 304 answers', async () => {
  const { etag, 'last-modified': modified } =
    (await get('/quendra.js', { 'Accept-Encoding': 'gzip' })).headers;
  assert.match(etag, /^"[^"]+"$/);
  assert.notEqual((await get('/quendra.js', { 'Accept-Encoding': 'br' })).headers.etag, etag,
    'each encoding has its own tag');
  const answers = async (headers) =>
    (await get('/quendra.js', { 'Accept-Encoding': 'gzip', ...headers })).status;
  // (If-None-Match decides alone.)
  for (const [status, headers] of [[304, { 'If-None-Match': etag }],
    [304, { 'If-None-Match': `"other", W/${etag}` }], [304, { 'If-None-Match': '*' }],
    [304, { 'If-Modified-Since': modified }], [200, { 'If-Modified-Since': 'yesterday' }],
    [200, { 'If-Modified-Since': 'Sat, 01 Jan 2000 00:00:00 GMT' }],
    [200, { 'If-None-Match': '"other"', 'If-Modified-Since': modified }]])
    assert.equal(await answers(headers), status, JSON.stringify(headers));
  const { body, headers } = await get('/quendra.js', { 'Accept-Encoding': 'gzip',
    'If-None-Match': etag });
  assert.deepEqual([body.length, headers.etag, headers.vary], [0, etag, 'Accept-Encoding']);
  // A file changed to the same size has another tag (its copies, older now, are not sent).
  const before = (await get('/quendra.js')).headers.etag;
  const edited = Buffer.from(script.toString().replace('the', 'The'));
  writeFileSync(join(site, 'quendra.js'), edited);
  const changed = await get('/quendra.js', { 'Accept-Encoding': 'gzip', 'If-None-Match': before });
  assert.deepEqual([changed.status, changed.body], [200, edited]);
  writeFileSync(join(site, 'quendra.js'), script);
});

test('regular files inside the folder only, each with its type', async () => {
  for (const [path, type] of [['/big.wasm', 'application/wasm'], ['/', 'text/html; charset=utf-8'],
    ['/quendra.webmanifest', 'application/manifest+json']]) {
    assert.equal((await get(path, {}, 'HEAD')).headers['content-type'], type, path);
  }
  // And the server goes on after each refusal.
  for (const path of ['/out.js', '/zero.js', '/fifo.js', '/fifo.js', '/fifo.js', '/fifo.js',
    '/fifo.js', '/icons/', '/icons', '/../secret.js', '/%2e%2e/secret.js', '/index.html%00.js',
    '/nothing.js', '/%E0%A4%A.js']) {
    assert.equal((await get(path)).status, 404, path);
  }
  assert.deepEqual((await get('/in.js')).body, script, 'a link inside the folder is served');
  assert.equal((await get('/')).status, 200);
});

test('HEAD is GET without the body; other methods are not allowed', async () => {
  const full = await get('/quendra.js', { 'Accept-Encoding': 'gzip' });
  const head = await get('/quendra.js', { 'Accept-Encoding': 'gzip' }, 'HEAD');
  assert.deepEqual([head.status, head.body.length], [200, 0]);
  for (const name of ['content-length', 'content-type', 'content-encoding', 'etag', 'vary'])
    assert.equal(head.headers[name], full.headers[name], name);
  assert.equal((await get('/nothing.js', {}, 'HEAD')).status, 404);
  for (const method of ['POST', 'PUT', 'DELETE', 'OPTIONS', 'PATCH']) {
    const { status, headers } = await get('/index.html', {}, method);
    assert.deepEqual([status, headers.allow], [405, 'GET, HEAD'], method);
  }
});

// Whether a connection that does this is closed by the server (the limit here is half a second).
async function closes(what, setUp) {
  const client = connect(port, '127.0.0.1');
  client.on('error', () => {});
  const cleanUp = setUp(client);
  const closed = new Promise((resolve) => client.on('close', () => resolve(true)));
  let timer;
  const timeUp = new Promise((resolve) => { timer = setTimeout(resolve, 20000, false); });
  const ended = await Promise.race([closed, timeUp]);
  clearTimeout(timer);
  clearInterval(cleanUp);
  client.destroy();
  assert.ok(ended, `the server let a connection ${what} go on`);
}

test('every request has a time limit', async () => {
  await closes('that sends nothing', () => 0);
  await closes('whose headers come a byte at a time', (client) => {
    client.write('GET / HTTP/1.1\r\nHost: x\r\nX-Slow: ');
    return setInterval(() => client.write('X'), 100);
  });
  // An answer read a little at a time, never long idle, that would take a minute.
  const reader = connect(port, '127.0.0.1',
    () => reader.write('GET /big.wasm HTTP/1.1\r\nHost: x\r\n\r\n'));
  reader.on('error', () => {});
  reader.on('data', () => { reader.pause(); setTimeout(() => reader.resume(), 100); });
  await until(async () => (await openConnections()) === 1, 'connection');
  await until(async () => (await openConnections()) === 0, 'end of a connection read slowly');
  reader.destroy();
  assert.equal((await get('/')).status, 200);
});

// `node serve.mjs` from a checkout whose path holds a space, or a link.
test('started as a program from any path', async () => {
  mkdirSync(join(scratch, 'a checkout'));
  copyFileSync(serveScript, join(scratch, 'a checkout', 'serve.mjs'));
  symlinkSync(join(scratch, 'a checkout'), join(scratch, 'linked'));
  for (const path of [join(scratch, 'a checkout/serve.mjs'), join(scratch, 'linked/serve.mjs')]) {
    const child = spawn(process.execPath, [path, site, '0'], { stdio: ['ignore', 'pipe', 'pipe'] });
    const line = String(await Promise.race([once(child.stdout, 'data'), once(child, 'exit')]));
    const address = line.match(/http:\/\/127\.0\.0\.1:\d+\//);
    const status = address && (await fetch(address[0]).catch(() => ({}))).status;
    child.kill();
    assert.equal(status, 200, `${path} serves (it said "${line.trim()}")`);
  }
  const usage = spawn(process.execPath, [serveScript, site, 'eighty'], { stdio: 'ignore' });
  assert.equal(await new Promise((resolve) => usage.on('exit', resolve)), 2, 'a bad port');
});
