// An HTTP/2 server over TLS on 127.0.0.1 for the tests (Node's own http2 module):
//   /N/page.html   a page of N images i1.gif ... iN.gif
//   /N/iK.gif      "IMAGE K", answered after (N - K) × STEP ms, so later images finish first
//   /N-stallJ/...  the same, but image J sends its head and 4 bytes, then nothing
//   /N-resetJ/...  the same, but image J is reset (RST_STREAM) after its head and 4 bytes
// After every response it writes "SESSIONS MOST_STREAMS" to PORT_FILE.stats: the TLS
// connections so far and the most requests open at once.
// Usage: node h2_server.js CERT KEY PORT_FILE STEP_MS [http1]
'use strict';
const fs = require('fs');
const http2 = require('http2');
const { dirname } = require('path');

const [cert, key, portFile, stepArg, http1] = process.argv.slice(2);
const step = Number(stepArg);
let sessions = 0;
let open = 0;
let mostStreams = 0;

const server = http2.createSecureServer({
  cert: fs.readFileSync(cert),
  key: fs.readFileSync(key),
  allowHTTP1: http1 === 'http1',
  settings: { maxConcurrentStreams: 1000 },
});
server.on('secureConnection', () => { sessions += 1; });
server.on('request', (req, res) => {
  open += 1;
  mostStreams = Math.max(mostStreams, open);
  const finish = (status, type, body) => {
    open -= 1;
    res.writeHead(status, { 'content-type': type });
    res.end(body);
    fs.writeFileSync(portFile + '.stats', `${sessions} ${mostStreams}`);
  };
  const path = req.url.split('?')[0];
  let m;
  if ((m = /^\/(\d+)(?:-\w+)?\/page\.html$/.exec(path))) {
    let page = '';
    for (let k = 1; k <= Number(m[1]); k++) page += `<img src="i${k}.gif">\n`;
    finish(200, 'text/html', page);
  } else if ((m = /^\/(\d+)(?:-(stall|reset)(\d+))?\/i(\d+)\.gif$/.exec(path))) {
    const delay = (Number(m[1]) - Number(m[4])) * step;
    if (m[2] && m[3] === m[4]) {
      res.writeHead(200, { 'content-type': 'image/gif', 'content-length': 100 });
      res.write('GIF8', () => {
        if (m[2] === 'reset') res.stream.close(http2.constants.NGHTTP2_INTERNAL_ERROR);
      });
      return;
    }
    setTimeout(() => finish(200, 'image/gif', `IMAGE ${m[4]}`), delay);
  } else {
    finish(404, 'text/plain', 'not found');
  }
});
server.listen(0, '127.0.0.1', () => {
  fs.writeFileSync(portFile + '.tmp', String(server.address().port));
  fs.renameSync(portFile + '.tmp', portFile);
});
// Ends with the test that started it, should the test die without stopping it: when its
// stdin, a pipe from the test, ends; without one (Wine gives a Unix program it starts none),
// when the test removes the folder of PORT_FILE, or after ten minutes.
const input = fs.fstatSync(0);
if (input.isFIFO() || input.isSocket()) {
  process.stdin.resume();
  process.stdin.on('end', () => process.exit(0));
} else {
  setInterval(() => fs.existsSync(dirname(portFile)) || process.exit(0), 200);
  setTimeout(() => process.exit(0), 10 * 60 * 1000);
}
