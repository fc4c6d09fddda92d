// The TLS benchmark's gallery server, on Node's own http2 module: HTTP/2 over TLS (ALPN),
// HTTP/1.1 over TLS for clients that do not offer HTTP/2 (wget, pelmoa-harvest --http1.1),
// and plain HTTP/1.1 on a second port, all serving the same galleries:
//
//   /g/N-SIZE-LATENCY/index.html   a page of N images, odd ones <img src>, even ones <a href>
//   /g/N-SIZE-LATENCY/pK.EXT       image K (p00001.jpg, p00002.png, p00003.gif, ...):
//                                  SIZE bytes of a fixed pseudo-random table read from an
//                                  offset that depends on K
//
// Every response of a gallery, the page too, waits LATENCY ms first (a timer, so any number
// of requests wait at once). Writes "TLS_PORT PLAIN_PORT" to PORT_FILE when listening.
//
//   node h2_gallery_server.js CERT KEY PORT_FILE
'use strict';
const fs = require('fs');
const http = require('http');
const http2 = require('http2');

const [certFile, keyFile, portFile] = process.argv.slice(2);
const kExtensions = ['jpg', 'png', 'gif'];
const kTypes = ['image/jpeg', 'image/png', 'image/gif'];
const kChunk = 64 * 1024;

const pattern = Buffer.alloc(1 << 20);
let x = 0x9e3779b9;
for (let i = 0; i < pattern.length; i++) {
  x ^= x << 13; x >>>= 0;
  x ^= x >>> 17;
  x ^= x << 5; x >>>= 0;
  pattern[i] = x >>> 24;
}

function imageName(k) {
  return `p${String(k).padStart(5, '0')}.${kExtensions[k % 3]}`;
}

function page(id, count) {
  let html = '<html><head><meta charset="utf-8"><title>gallery</title></head><body>\n';
  for (let k = 1; k <= count; k++) {
    const path = `/g/${id}/${imageName(k)}`;
    html += k % 2 ? `<div class="thumb"><img src="${path}" alt="image ${k}"></div>\n`
                  : `<p><a href="${path}">image ${k}</a></p>\n`;
  }
  return html + '</body></html>\n';
}

// SIZE bytes of the table from K's offset, written as fast as the client takes them.
function sendImage(res, k, size) {
  res.writeHead(200, { 'content-type': kTypes[k % 3], 'content-length': size });
  let at = (k * 4099) % pattern.length;
  let left = size;
  const pump = () => {
    while (left > 0) {
      const n = Math.min(left, kChunk, pattern.length - at);
      const more = res.write(pattern.subarray(at, at + n));
      left -= n;
      at = (at + n) % pattern.length;
      if (!more) {
        res.once('drain', pump);
        return;
      }
    }
    res.end();
  };
  pump();
}

const route = /^\/g\/((\d+)-(\d+)-(\d+))\/(?:(index\.html)|p(\d+)\.(jpg|png|gif))$/;

function handle(req, res) {
  const m = route.exec(req.url);
  if (!m) {
    res.writeHead(404);
    res.end();
    return;
  }
  const [, id, countText, sizeText, latencyText, index, kText, ext] = m;
  const count = Number(countText);
  const respond = () => {
    if (index) {
      const body = Buffer.from(page(id, count));
      res.writeHead(200, { 'content-type': 'text/html; charset=utf-8',
                           'content-length': body.length });
      res.end(body);
      return;
    }
    const k = Number(kText);
    if (k < 1 || k > count || ext !== kExtensions[k % 3]) {
      res.writeHead(404);
      res.end();
      return;
    }
    sendImage(res, k, Number(sizeText));
  };
  const latency = Number(latencyText);
  if (latency > 0) setTimeout(respond, latency); else respond();
}

const secure = http2.createSecureServer({
  cert: fs.readFileSync(certFile),
  key: fs.readFileSync(keyFile),
  allowHTTP1: true,
  settings: { maxConcurrentStreams: 1000 },
  // Node's default of 10 MB per session refuses streams when a client keeps 100 open.
  maxSessionMemory: 256,
}, handle);
const plain = http.createServer({ keepAliveTimeout: 30000 }, handle);
let listening = 0;
const ready = () => {
  if (++listening < 2) return;
  fs.writeFileSync(portFile + '.tmp', `${secure.address().port} ${plain.address().port}`);
  fs.renameSync(portFile + '.tmp', portFile);
};
secure.listen(0, '127.0.0.1', ready);
plain.listen(0, '127.0.0.1', ready);
// Nagle's algorithm and delayed ACKs would add 40 ms to responses of kept-alive connections.
// Node's guard against floods of stream resets (not adjustable in Node 20) ends a connection
// with GOAWAY (INTERNAL_ERROR) after about a thousand streams of libcurl 7.88, failing the
// streams under way in curl -Z. Like a web server's limit of requests per connection, each
// connection is closed gracefully after kStreamsPerConnection streams instead: the streams
// under way finish and the client opens a new connection. Connections are counted in
// PORT_FILE.sessions.
const kStreamsPerConnection = 900;
secure.on('session', (session) => {
  let streams = 0;
  session.on('stream', () => {
    if (++streams === kStreamsPerConnection) session.close();
  });
});
let sessions = 0;
secure.on('secureConnection', (socket) => {
  socket.setNoDelay(true);
  fs.writeFileSync(portFile + '.sessions', String(++sessions));
});
plain.on('connection', (socket) => socket.setNoDelay(true));
// Stops by itself after an hour should the benchmark be killed.
setTimeout(() => process.exit(0), 3600 * 1000).unref();
