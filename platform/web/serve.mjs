// A static file server for the browser version, on this machine only:
//   node serve.mjs FOLDER [PORT]   (PORT 0 picks a free one; the address goes to stdout)
import { createServer } from 'node:http';
import { readFile, realpath } from 'node:fs/promises';
import { extname, join, sep } from 'node:path';

const types = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript; charset=utf-8',
  '.wasm': 'application/wasm', '.css': 'text/css; charset=utf-8',
};

export async function serve(folder, port = 0) {
  const root = await realpath(folder);
  const server = createServer(async (request, response) => {
    try {
      let path = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
      if (path.endsWith('/')) path += 'index.html';
      // Only files inside the folder, after symlinks are followed, and only of known types.
      const file = await realpath(join(root, path));
      const type = types[extname(file)];
      if (!file.startsWith(root + sep) || !type || request.method !== 'GET') throw new Error();
      const body = await readFile(file);
      response.writeHead(200, { 'Content-Type': type, 'Cache-Control': 'no-cache' });
      response.end(body);
    } catch {
      response.writeHead(404, { 'Content-Type': 'text/plain' });
      response.end('not found\n');
    }
  });
  await new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(port, '127.0.0.1', resolve);
  });
  return server;
}

if (import.meta.url === `file://${process.argv[1]}`) {
  const [folder, port = '8080'] = process.argv.slice(2);
  if (!folder) {
    console.error('usage: node serve.mjs FOLDER [PORT]');
    process.exit(2);
  }
  serve(folder, Number(port)).then(
    (server) => console.log(`Quendra is at http://127.0.0.1:${server.address().port}/`),
    (error) => { console.error(`serve.mjs: ${error.message}`); process.exit(1); });
}
