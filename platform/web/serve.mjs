// The browser version's static file server, for this machine only: the page's files with the
// gzip and brotli copies made at build time, validators and 304 answers.
//   node serve.mjs FOLDER [PORT]   (PORT 0 picks a free one; the address goes to stdout)
import { constants, realpathSync } from 'node:fs';
import { open, realpath } from 'node:fs/promises';
import { createServer } from 'node:http';
import { extname, join, sep } from 'node:path';
import { pipeline } from 'node:stream/promises';
import { fileURLToPath } from 'node:url';

const TYPES = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript; charset=utf-8',
  '.wasm': 'application/wasm', '.css': 'text/css; charset=utf-8',
  '.webmanifest': 'application/manifest+json', '.png': 'image/png',
};
// The copies pack.mjs writes beside a file, the smaller first.
const ENCODINGS = [['br', '.br'], ['gzip', '.gz']];
const TIME_LIMIT_MS = 30000;

// Opens PATH when, with every link followed, it is a regular file inside ROOT: { handle, stat,
// file } (the file's real path), or null. Nothing else is opened: no device, and no FIFO, which
// would hold the server up waiting for a writer.
async function openRegular(root, path) {
  let file;
  try {
    file = await realpath(path);
  } catch {
    return null;
  }
  if (!file.startsWith(root + sep)) return null;
  let handle;
  try {
    // A link put in its place since is not followed.
    handle = await open(file, constants.O_RDONLY | constants.O_NOFOLLOW | constants.O_NONBLOCK);
  } catch {
    return null;
  }
  const stat = await handle.stat().catch(() => null);
  if (stat?.isFile()) return { handle, stat, file };
  await handle.close();
  return null;
}

// Whether an Accept-Encoding header takes CODING (by name or `*`, with a q-value above 0).
export function accepts(header, coding) {
  let named = null, any = null;
  for (const part of (header || '').toLowerCase().split(',')) {
    const [name, ...parameters] = part.split(';').map((text) => text.trim());
    const q = parameters.find((p) => p.startsWith('q='));
    const weight = q ? Number(q.slice(2)) : 1;
    if (name === coding) named = weight;
    else if (name === '*') any = weight;
  }
  return (named ?? any ?? 0) > 0;
}

// Whether a request's validators say its copy of a file with this ETag and mtime is current.
// If-None-Match, when present, decides alone; entity tags compare without their W/.
function unchanged(headers, etag, mtime) {
  const tags = headers['if-none-match'];
  if (tags !== undefined) {
    return tags.split(',').some((tag) => ['*', etag].includes(tag.trim().replace(/^W\//, '')));
  }
  const since = Date.parse(headers['if-modified-since'] || '');
  return !Number.isNaN(since) && Math.floor(mtime / 1000) * 1000 <= since;
}

function plain(response, status, text, headers = {}) {
  response.writeHead(status, { 'Content-Type': 'text/plain; charset=utf-8', ...headers });
  response.end(text);
}

// Answers one request from ROOT (a real path).
async function answer(root, request, response) {
  if (request.method !== 'GET' && request.method !== 'HEAD') {
    return plain(response, 405, 'method not allowed\n', { Allow: 'GET, HEAD' });
  }
  let path;
  try {
    path = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
  } catch {
    return plain(response, 404, 'not found\n');
  }
  if (path.endsWith('/')) path += 'index.html';
  const source = path.includes('\0') ? null : await openRegular(root, join(root, path));
  const type = source && TYPES[extname(source.file)];
  if (!type) {
    await source?.handle.close();
    return plain(response, 404, 'not found\n');
  }
  let chosen = source, encoding = null;
  for (const [coding, suffix] of ENCODINGS) {
    if (!accepts(request.headers['accept-encoding'], coding)) continue;
    const copy = await openRegular(root, source.file + suffix);
    // A copy older than its file is left from an earlier build.
    if (copy && copy.stat.mtimeMs >= source.stat.mtimeMs) {
      [chosen, encoding] = [copy, coding];
      await source.handle.close();
      break;
    }
    await copy?.handle.close();
  }
  const { handle, stat } = chosen;
  const etag = `"${stat.size.toString(36)}-${Math.floor(stat.mtimeMs).toString(36)}` +
    `${encoding ? '-' + encoding : ''}"`;
  // The file names carry no version: every use asks whether the file changed.
  const headers = { ETag: etag, 'Cache-Control': 'no-cache', Vary: 'Accept-Encoding' };
  if (unchanged(request.headers, etag, stat.mtimeMs)) {
    await handle.close();
    response.writeHead(304, headers);
    return response.end();
  }
  response.writeHead(200, {
    ...headers, 'Content-Type': type, 'Content-Length': stat.size,
    'Last-Modified': stat.mtime.toUTCString(), 'X-Content-Type-Options': 'nosniff',
    ...(encoding && { 'Content-Encoding': encoding }),
  });
  if (request.method === 'HEAD') {
    await handle.close();
    return response.end();
  }
  // A client gone before the end is no error of ours.
  await pipeline(handle.createReadStream(), response).catch(() => {});
}

// Serves FOLDER on 127.0.0.1:PORT; resolves to the listening http.Server. Every request, from
// its first byte to its answer's last, gets timeLimitMs before its connection is closed.
export async function serve(folder, port = 0, { timeLimitMs = TIME_LIMIT_MS } = {}) {
  const root = await realpath(folder);
  const server = createServer({
    requestTimeout: timeLimitMs, headersTimeout: timeLimitMs,
    connectionsCheckingInterval: Math.min(timeLimitMs / 4, 1000),
  }, (request, response) => {
    // While it is answered, the request's own limit holds, not the idle connection's.
    request.socket.setTimeout(0);
    const timer = setTimeout(() => request.socket.destroy(), timeLimitMs);
    response.once('close', () => clearTimeout(timer));
    answer(root, request, response).catch(() => {
      if (!response.headersSent) plain(response, 500, 'server error\n');
      else response.destroy();
    });
  });
  server.setTimeout(timeLimitMs);  // a connection that sends nothing
  await new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(port, '127.0.0.1', resolve);
  });
  return server;
}

// Run as a program (compared as real paths: the checkout's path may hold spaces or links).
function isMain() {
  try {
    return realpathSync(process.argv[1]) === realpathSync(fileURLToPath(import.meta.url));
  } catch {
    return false;
  }
}

if (isMain()) {
  const [folder, port = '8080'] = process.argv.slice(2);
  if (!folder || !/^\d{1,5}$/.test(port) || Number(port) > 65535) {
    console.error('usage: node serve.mjs FOLDER [PORT]');
    process.exit(2);
  }
  serve(folder, Number(port)).then(
    (server) => console.log(`Quendra is at http://127.0.0.1:${server.address().port}/`),
    (error) => { console.error(`serve.mjs: ${error.message}`); process.exit(1); });
}
