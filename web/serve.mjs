// A small static server for the page on this machine only (127.0.0.1).
//   node web/serve.mjs [DIR] [--port N]    serves DIR (default build-web/)
// The browser tests start it on a free port, optionally with files to
// answer 404 for (a missing picture).
import { createServer } from 'node:http';
import { readFile } from 'node:fs/promises';
import { extname, join, normalize, resolve, sep } from 'node:path';
import { fileURLToPath } from 'node:url';

const TYPES = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8', '.wasm': 'application/wasm', '.txt': 'text/plain; charset=utf-8',
  '.jpg': 'image/jpeg', '.mp3': 'audio/mpeg', '.3ds': 'application/octet-stream',
};

export function serve(root, { port = 0, hidden = [] } = {}) {
  const base = resolve(root);
  const server = createServer(async (request, response) => {
    const path = decodeURIComponent(new URL(request.url, 'http://127.0.0.1').pathname);
    const file = normalize(join(base, path.endsWith('/') ? path + 'index.html' : path));
    if (!file.startsWith(base + sep) || hidden.includes(path.replace(/^\//, ''))) {
      response.writeHead(404).end('not found');
      return;
    }
    try {
      const body = await readFile(file);
      response.writeHead(200, {
        'Content-Type': TYPES[extname(file)] || 'application/octet-stream',
        'Content-Length': body.length, 'Cache-Control': 'no-cache',
      });
      response.end(body);
    } catch {
      response.writeHead(404).end('not found');
    }
  });
  return new Promise(done => server.listen(port, '127.0.0.1', () => done(server)));
}

if (process.argv[1] === fileURLToPath(import.meta.url)) {
  const args = process.argv.slice(2);
  const at = args.indexOf('--port');
  const port = at >= 0 ? Number(args[at + 1]) : 8080;
  const root = args.find((a, i) => !a.startsWith('--') && args[i - 1] !== '--port') ||
               join(fileURLToPath(new URL('.', import.meta.url)), '..', 'build-web');
  const server = await serve(root, { port });
  console.log(`The show's page: http://127.0.0.1:${server.address().port}/`);
}
