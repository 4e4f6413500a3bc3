// Serves a folder of static files on 127.0.0.1, as a well-set static web host would:
// the browser page's site in build-web/site/, for playing it here and for its tests.
// Every file goes with the page's Content-Security-Policy, since a worker takes its
// policy from its own response, never from the page's <meta> (docs/browser.md).
//   node tools/serve.mjs [FOLDER] [PORT]     (PORT 0 picks a free one)
import { createServer } from 'node:http';
import { readFile } from 'node:fs/promises';
import { extname, join, normalize, resolve, sep } from 'node:path';
import { pathToFileURL } from 'node:url';

const TYPES = {
  '.html': 'text/html; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.mjs': 'text/javascript; charset=utf-8',
  '.wasm': 'application/wasm',
  '.woff': 'font/woff',
  '.woff2': 'font/woff2',
  '.svg': 'image/svg+xml',
  '.png': 'image/png',
  '.webmanifest': 'application/manifest+json',
  '.json': 'application/json',
  '.txt': 'text/plain; charset=utf-8',
};

// The policy of the page's <meta>, with what only a header can say.
export const POLICY =
  "default-src 'self'; script-src 'self' 'wasm-unsafe-eval'; style-src 'self'; " +
  "img-src 'self' blob:; object-src 'none'; base-uri 'none'; form-action 'none'; frame-ancestors 'none'";

// Resolves with the listening server; `server.address().port` tells the port.
export function serve(folder, port = 8000, host = '127.0.0.1') {
  const top = resolve(folder);
  const server = createServer(async (request, response) => {
    if (request.method !== 'GET' && request.method !== 'HEAD') {
      response.writeHead(405, { Allow: 'GET, HEAD' }).end();
      return;
    }
    let path;
    try {
      path = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
    } catch {
      response.writeHead(400).end();
      return;
    }
    if (path.endsWith('/')) path += 'index.html';
    const file = normalize(join(top, path));
    // Nothing outside the folder, however the path is spelled.
    if (file !== top && !file.startsWith(top + sep)) {
      response.writeHead(403).end();
      return;
    }
    try {
      const body = await readFile(file);
      response.writeHead(200, {
        'Content-Type': TYPES[extname(file)] || 'application/octet-stream',
        'Content-Length': body.length,
        // The versioned files never change under their names (docs/browser.md); the
        // page, the service worker and the manifest are asked for again each time.
        'Cache-Control': path.startsWith('/v/') ? 'public, max-age=31536000, immutable' : 'no-cache',
        'Content-Security-Policy': POLICY,
        'X-Content-Type-Options': 'nosniff',
      });
      response.end(request.method === 'HEAD' ? undefined : body);
    } catch {
      response.writeHead(404, { 'Content-Type': 'text/plain' }).end('not found\n');
    }
  });
  return new Promise((done, fail) => {
    server.once('error', fail);
    server.listen(port, host, () => done(server));
  });
}

if (import.meta.url === pathToFileURL(process.argv[1]).href) {
  const folder = process.argv[2] || 'build-web/site';
  const port = Number(process.argv[3] ?? process.env.PORT ?? 8000);
  serve(folder, port).then(
    (server) => console.log(`Tilerush is served on http://127.0.0.1:${server.address().port}/ (Ctrl+C stops)`),
    (error) => {
      console.error(`serve.mjs: cannot serve on port ${port}: ${error.message}`);
      process.exit(1);
    },
  );
}
