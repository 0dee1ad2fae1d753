// Runs the npm package videohub-server, an independent implementation of a
// router's side of the Videohub Ethernet protocol, on 127.0.0.1.
//
// node videohub_server.js --module DIR [--port N] [--port-file FILE]
//   DIR: the package's folder (ZANT_VIDEOHUB_SERVER_MODULE). Port 0 or none:
//   a free port picked here, since the package takes 0 for its default 9990.
//   Prints "listening on 127.0.0.1:PORT", then "route OUTPUT INPUT" for
//   each route line it is sent; runs until SIGINT or SIGTERM.
//
// What version 0.3.0 does, seen from a raw client (it was written to serve
// a hardware control panel, not to be a router):
// - Its dump is fixed: 41 inputs and 10 outputs, whatever is asked; every
//   label "no label"; every output on input 40; all unlocked; then a
//   CONFIGURATION block ("Take Mode: true") before END PRELUDE.
// - Two lines of VIDEOHUB DEVICE run together, their line feed missing:
//   "Video inputs: 41Video processing units: 0" and
//   "Video outputs: 10Video monitoring outputs: 0".
// - It answers ACK to every block, unknown or malformed ones too, and never
//   NAK. Route requests are ACKed and never carried out nor reported (the
//   routing stays as dumped); label and lock requests are ACKed and ignored;
//   a header alone is ACKed and the block is not sent again.
// - Of the blocks that arrive in one read it answers only the first; the
//   rest stay buffered and each later read answers one more, so after a
//   burst the answers lag behind for good (three PINGs at once: one ACK).
// - Each new client makes it connect back to the client's address on port
//   9991 (a panel's configuration port); where nothing listens there it
//   keeps the connection all the same.
// - A connection with no traffic either way for 20 s is closed: a client
//   must PING more often than that.
// - A client's connection that is reset (closed with data unread) throws an
//   error that nothing handles, which ends the whole process; this script
//   handles it, so only that connection ends.
'use strict';

const net = require('node:net');
const fs = require('node:fs');
const path = require('node:path');

const argv = process.argv.slice(2);
const option = (name) => {
  const at = argv.indexOf(name);
  return at >= 0 ? argv[at + 1] : undefined;
};
const moduleDir = option('--module');
const portFile = option('--port-file');
const wanted = Number(option('--port') || 0);

if (!moduleDir || !fs.existsSync(path.join(moduleDir, 'package.json')) ||
    !Number.isInteger(wanted) || wanted < 0 || wanted > 65535) {
  console.error('usage: node videohub_server.js --module DIR [--port N] [--port-file FILE]');
  process.exit(2);
}
const VideohubServer = require(path.resolve(moduleDir));

function freePort() {
  return new Promise((resolve, reject) => {
    const probe = net.createServer();
    probe.once('error', reject);
    probe.listen(0, '127.0.0.1', () => {
      const {port} = probe.address();
      probe.close(() => resolve(port));
    });
  });
}

async function main() {
  const port = wanted || await freePort();
  // The package keeps its listening socket to itself: taken as it is made,
  // only to learn when it listens.
  const createServer = net.createServer;
  let listening;
  net.createServer = (...args) => (listening = createServer(...args));
  const server = new VideohubServer();
  net.createServer = createServer;

  server.on('error', (error) => {
    console.error(`videohub_server: cannot listen on 127.0.0.1:${port}: ${error.message}`);
    process.exit(1);
  });
  server.on('press', (client, output, input) => console.log(`route ${output} ${input}`));
  // The package sets no error handler on a client's socket, so one reset
  // connection would end the process; here it ends only that connection.
  listening.on('connection', (socket) => socket.on('error', (error) => {
    console.error(`videohub_server: a client's connection failed: ${error.message}`);
  }));
  listening.once('listening', () => {
    if (portFile) {
      fs.writeFileSync(portFile + '.partial', `${port}\n`);
      fs.renameSync(portFile + '.partial', portFile);
    }
    console.log(`listening on 127.0.0.1:${port}`);
  });
  for (const signal of ['SIGINT', 'SIGTERM']) {
    process.on(signal, () => {
      server.destroy();
      console.log(`stopped by ${signal}`);
      process.exit(0);
    });
  }
  server.start('127.0.0.1', port);
}

main().catch((error) => {
  console.error(`videohub_server: ${error.message}`);
  process.exit(1);
});
