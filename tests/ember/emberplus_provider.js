// Runs the npm package node-emberplus as an Ember+ provider on 127.0.0.1, an
// independent implementation of the provider's side, with one matrix and its
// labels built from a JSON tree:
//
//   0 router (node)
//     0.0 video (matrix, one-to-N, linear, TARGETS x SOURCES; target i on source i)
//     0.1000 labels: 0.1000.1 targets "Target 1"..., 0.1000.2 sources "Source 1"...
//
// node emberplus_provider.js --module DIR [--port N] [--port-file FILE]
//      [--targets N] [--sources N] [--lock TARGET] [--route-later MS TARGET SOURCE]
//   DIR: the package's folder (ZANT_EMBERPLUS_MODULE). Port 0 or none: a free
//   port picked here. --lock locks TARGET (0-based). --route-later connects SOURCE to TARGET (0-based) on the
//   provider itself MS ms after the first consumer came. Prints "listening on
//   127.0.0.1:PORT", then "connection TARGET SOURCES" for each connection a
//   consumer asks; runs until SIGINT or SIGTERM.
'use strict';

const net = require('node:net');
const fs = require('node:fs');
const path = require('node:path');

const argv = process.argv.slice(2);
const option = (name, index = 1) => {
  const at = argv.indexOf(name);
  return at >= 0 ? argv[at + index] : undefined;
};
const moduleDir = option('--module');
const portFile = option('--port-file');
const wanted = Number(option('--port') || 0);
const targets = Number(option('--targets') || 16);
const sources = Number(option('--sources') || 16);
const locked = option('--lock');
const later = argv.includes('--route-later') ?
  [1, 2, 3].map((index) => Number(option('--route-later', index))) : undefined;

if (!moduleDir || !fs.existsSync(path.join(moduleDir, 'package.json')) ||
    !Number.isInteger(wanted) || wanted < 0 || wanted > 65535 ||
    !(targets >= 1) || !(sources >= 1) || (later && later.some((n) => !Number.isInteger(n)))) {
  console.error('usage: node emberplus_provider.js --module DIR [--port N] [--port-file FILE] ' +
                '[--targets N] [--sources N] [--route-later MS TARGET SOURCE]');
  process.exit(2);
}
const {EmberServer} = require(path.resolve(moduleDir));

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

const labels = (count, prefix) => Array.from({length: count}, (_, i) =>
  ({identifier: `${prefix[0].toLowerCase()}-${i}`, value: `${prefix} ${i + 1}`}));

const tree = [{
  identifier: 'router',
  children: [
    {
      identifier: 'video',
      type: 'oneToN',
      mode: 'linear',
      targetCount: targets,
      sourceCount: sources,
      connections: Array.from({length: targets}, (_, i) =>
        ({target: i, sources: [i < sources ? i : 0]})),
      labels: [{basePath: '0.1000', description: 'primary'}],
    },
    {
      identifier: 'labels',
      number: 1000,
      children: [
        {identifier: 'targets', number: 1, children: labels(targets, 'Target')},
        {identifier: 'sources', number: 2, children: labels(sources, 'Source')},
      ],
    },
  ],
}];

async function main() {
  const port = wanted || await freePort();
  const root = EmberServer.createTreeFromJSON(tree);
  if (locked !== undefined) root.getElementByPath('0.0').connections[Number(locked)].lock();
  const server = new EmberServer({host: '127.0.0.1', port, tree: root});
  server.on('error', (error) => console.error(`emberplus_provider: ${error.message}`));
  server.on('clientError', (info) =>
    console.error(`emberplus_provider: a consumer's connection failed: ${info.error}`));
  for (const event of ['matrix-change', 'matrix-connect', 'matrix-disconnect']) {
    server.on(event, (info) => console.log(`connection ${info.target} ${info.sources}`));
  }
  let laterDone = !later;
  server.on('connection', () => {
    if (laterDone) return;
    laterDone = true;
    setTimeout(() => server.matrixSet('0.0', later[1], [later[2]]), later[0]);
  });
  for (const signal of ['SIGINT', 'SIGTERM']) {
    process.on(signal, () => {
      console.log(`stopped by ${signal}`);
      process.exit(0);
    });
  }
  await server.listen();
  if (portFile) {
    fs.writeFileSync(portFile + '.partial', `${port}\n`);
    fs.renameSync(portFile + '.partial', portFile);
  }
  console.log(`listening on 127.0.0.1:${port}`);
}

main().catch((error) => {
  console.error(`emberplus_provider: ${error.stack || error.message}`);
  process.exit(1);
});
