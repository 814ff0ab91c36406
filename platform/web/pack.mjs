// The browser version's last build step: the offline worker FOLDER/sw.js (the template beside
// this file under the build's list of files and their SHA-256) and the gzip and brotli copies
// of every file a server may send compressed.
//   node pack.mjs FOLDER FILE...   (each FILE a page file, relative to FOLDER)
import { createHash } from 'node:crypto';
import { readFileSync, renameSync, writeFileSync } from 'node:fs';
import { dirname, extname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { brotliCompressSync, constants, gzipSync } from 'node:zlib';

// Pictures are compressed already.
const COMPRESSIBLE = new Set(['.html', '.js', '.wasm', '.css', '.webmanifest']);

const [folder, ...files] = process.argv.slice(2);
if (!folder || !files.length) {
  console.error('usage: node pack.mjs FOLDER FILE...');
  process.exit(2);
}
const sha256 = (data) => createHash('sha256').update(data).digest('hex');

// Whole or not at all: a server may be serving the folder while it is built.
function write(path, data) {
  writeFileSync(`${path}.part`, data);
  renameSync(`${path}.part`, path);
}

const template = readFileSync(join(dirname(fileURLToPath(import.meta.url)), 'sw.js'), 'utf8');
const contents = new Map(files.map((file) => [file, readFileSync(join(folder, file))]));
const hashes = Object.fromEntries([...contents].map(([file, data]) => [file, sha256(data)]));
// The version names the worker's cache: any change to a file or to the worker makes a new one.
const version = sha256(JSON.stringify(hashes) + template).slice(0, 16);
const worker = `const BUILD = ${JSON.stringify({ version, files: hashes })};\n${template}`;

// A copy is written after its file: serve.mjs takes a copy older than its file for a leftover.
function compress(file, data) {
  if (!COMPRESSIBLE.has(extname(file))) return;
  write(join(folder, `${file}.gz`), gzipSync(data, { level: 9 }));
  const { BROTLI_PARAM_QUALITY: quality, BROTLI_PARAM_SIZE_HINT: sizeHint } = constants;
  write(join(folder, `${file}.br`),
    brotliCompressSync(data, { params: { [quality]: 11, [sizeHint]: data.length } }));
}

for (const [file, data] of contents) compress(file, data);
// The worker last, once every copy is in place: a browser that sees a new worker fetches the
// new files.
write(join(folder, 'sw.js'), worker);
compress('sw.js', Buffer.from(worker));
