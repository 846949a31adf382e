// A static web server for the browser test, on 127.0.0.1 only: the site at
// /, the test's own files (scripts) at /work/. Every request that fails is
// remembered, and one file can be replaced by other bytes (damaged content).
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';

const types = {
  '.html': 'text/html',
  '.js': 'text/javascript',
  '.wasm': 'application/wasm',
  '.data': 'application/octet-stream',
  '.ico': 'image/x-icon',
  '.png': 'image/png',
  '.webmanifest': 'application/manifest+json',
  '.txt': 'text/plain',
  '.TXT': 'text/plain',
};

export async function serve(site, work) {
  const server = {site, failed: [], replaced: new Map()};
  const http_ = http.createServer((request, response) => {
    const url = new URL(request.url, 'http://localhost');
    let name = decodeURIComponent(url.pathname);
    if (name === '/')
      name = '/index.html';
    const file = name.startsWith('/work/') ? path.join(work, name.slice(6)) : path.join(site, name);
    const replacement = server.replaced.get(name);
    if (replacement) {
      response.writeHead(200, {'Content-Type': types[path.extname(file)] || 'application/octet-stream'});
      response.end(replacement);
      return;
    }
    fs.readFile(file, (error, bytes) => {
      if (error) {
        server.failed.push(name);
        response.writeHead(404);
        response.end();
        return;
      }
      response.writeHead(200, {'Content-Type': types[path.extname(file)] || 'application/octet-stream',
                               'Content-Length': bytes.length});
      response.end(bytes);
    });
  });
  await new Promise(resolve => http_.listen(0, '127.0.0.1', resolve));
  server.url = `http://127.0.0.1:${http_.address().port}/`;
  server.close = () => http_.close();
  return server;
}
