// Pins what node-emberplus 3.0.8 does differently from the protocol's facts
// (or where the facts leave a choice), as raw bytes seen by two consumers,
// so that a new version that changes it is noticed:
// - it answers in qualified elements only, a nested request too;
// - the matrix inside its parent's directory carries an empty connections
//   list: "none reported here", not "every target disconnected";
// - a connection one consumer makes reaches the other consumers with
//   disposition modified, as the asker's answer does, not tally: a client
//   cannot tell its answer from another's change to the same target;
// - its packets say Glow version 1F 02.
//
// node emberplus_pins.js PROVIDER_SCRIPT --module DIR
'use strict';

const {spawn} = require('node:child_process');
const net = require('node:net');

const [script, ...providerArgs] = process.argv.slice(2);
const table = Array.from({length: 256}, (_, i) => {
  let c = i;
  for (let k = 0; k < 8; k++) c = c & 1 ? (c >>> 1) ^ 0x8408 : c >>> 1;
  return c;
});
const crc = (bytes) => ~bytes.reduce((c, b) => (c >>> 8) ^ table[(c ^ b) & 0xff], 0xffff) & 0xffff;
const header = [0x00, 0x0e, 0x00, 0x01, 0xc0, 0x01, 0x02, 0x1f, 0x02];

function frame(ber) {
  const payload = [...header, ...Buffer.from(ber.replace(/ /g, ''), 'hex')];
  const check = crc(payload);
  const out = [0xfe];
  for (const b of [...payload, check & 0xff, check >>> 8]) {
    out.push(...(b >= 0xf8 ? [0xfd, b ^ 0x20] : [b]));
  }
  return Buffer.from([...out, 0xff]);
}

// The payloads of the frames in `bytes`, unescaped, CRC dropped.
function payloads(bytes) {
  const found = [];
  let current = null;
  let escaped = false;
  for (let b of bytes) {
    if (b === 0xfe) {
      current = [];
    } else if (current === null) {
      continue;
    } else if (b === 0xff) {
      found.push(Buffer.from(current.slice(0, -2)));
      current = null;
    } else if (b === 0xfd) {
      escaped = true;
    } else {
      if (escaped) b ^= 0x20;
      escaped = false;
      current.push(b);
    }
  }
  return found;
}

const getDirectoryRoot = '6080 6b80 a080 6280 a003020120 0000 0000 0000 0000';
const getDirectoryNode0 =
  '6080 6b80 a080 6380 a003020100 a280 6480 a080 6280 a003020120 0000 0000 0000 0000 0000 0000 0000 0000';
const getDirectoryMatrix = '6080 6b80 a080 7180 a0040d020000 a280 6480 a080 6280 a003020120' +
                           ' 0000 0000 0000 0000 0000 0000 0000 0000';
const connect3to0 = '6080 6b80 a080 7180 a0040d020000 a580 3080 a080 7080 a003020103' +
                    ' a1030d0100 a203020100 0000 0000 0000 0000 0000 0000 0000 0000 0000';

function consumer(port) {
  const socket = net.connect(port, '127.0.0.1');
  let received = Buffer.alloc(0);
  socket.on('data', (data) => (received = Buffer.concat([received, data])));
  return {
    socket,
    // What arrives within `ms` of sending `ber` (null: of now).
    ask: (ber, ms = 400) => new Promise((resolve) => {
      received = Buffer.alloc(0);
      if (ber) socket.write(frame(ber));
      setTimeout(() => resolve(payloads(received)), ms);
    }),
  };
}

const failures = [];
const pin = (ok, what) => {
  console.log(`${ok ? 'ok' : 'FAILED'}: ${what}`);
  if (!ok) failures.push(what);
};
// The offset of the content of the BER element at `at` (one-byte tags).
const content = (bytes, at) =>
  at + 2 + (bytes[at + 1] > 0x80 ? bytes[at + 1] & 0x7f : 0);
// The tag of the first element of a Root's collection.
const firstElement = (payload) =>
  payload[content(payload, content(payload, content(payload, header.length)))];
const has = (payload, hex) => payload.includes(Buffer.from(hex.replace(/ /g, ''), 'hex'));

async function main() {
  const provider = spawn(process.execPath, [script, ...providerArgs, '--targets', '4',
                                            '--sources', '4'], {stdio: ['ignore', 'pipe', 'inherit']});
  const port = await new Promise((resolve, reject) => {
    provider.stdout.on('data', (data) => {
      const found = /listening on 127\.0\.0\.1:(\d+)/.exec(String(data));
      if (found) resolve(Number(found[1]));
    });
    provider.on('exit', () => reject(new Error('the provider ended')));
    setTimeout(() => reject(new Error('the provider did not start within 10 s')), 10000);
  });
  try {
    const a = consumer(port);
    const b = consumer(port);
    const [root] = await a.ask(getDirectoryRoot);
    pin(root && root.subarray(0, header.length).equals(Buffer.from(header)),
        'its packets say Glow version 1F 02');
    const [node] = await a.ask(getDirectoryNode0);
    pin(node && firstElement(node) === 0x71 && has(node, 'a5 02 30 00'),
        'a nested getDirectory is answered with a qualified matrix whose connections list is empty');
    await b.ask(getDirectoryMatrix);
    const other = b.ask(null, 600);
    await a.ask(connect3to0);
    const [pushed] = await other;
    pin(pushed && has(pushed, 'a0 03 02 01 03') && has(pushed, 'a3 03 02 01 01'),
        "another consumer's connection arrives with disposition modified, not tally");
    a.socket.destroy();
    b.socket.destroy();
  } finally {
    provider.kill('SIGTERM');
  }
  process.exit(failures.length === 0 ? 0 : 1);
}

main().catch((error) => {
  console.error(`emberplus_pins: ${error.message}`);
  process.exit(1);
});
