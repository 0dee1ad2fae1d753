// The browser panel with a real router: a peer on the loopback as the
// installation's device 12. The router card shows the router's names, locks
// and connection; a Take changes its routing; a lost router shows as lost.
//
// node browser_panel_real_router_test.mjs --chromium PATH --chromedriver PATH
//      --peer PEER [--protocol videohub|swp08|ember] --screenshot FILE -- PANEL_HOST ARGS...
// The peer is videohub_peer, or swp08_peer or ember_peer for their protocol.
// FILE shows the page after the Take; FILE with "-lost" before its
// extension, after the router went away.
import {writeFileSync} from 'node:fs';
import {
  carries, chooseMessage, click, control, fail, openBrowser, openPage, option, run, script,
  sleep, start, startPanelHost, until, webdriver,
} from './browser_session.mjs';

async function screenshot(file) {
  writeFileSync(file, Buffer.from(await webdriver('GET', '/screenshot'), 'base64'));
  console.log('screenshot: ' + file);
}

// The cells of the router card's row for `destination`.
const row = (destination) => script(
  `const row = document.querySelector('#router tr[data-destination="' + arguments[0] + '"]');
   return row && [...row.cells].map((cell) => cell.textContent);`, destination);
const connection = () => script(
  `const e = document.getElementById('router-connection');
   return {text: e.textContent, shown: !e.hidden, lost: e.classList.contains('lost')};`);

// Each protocol's peer with 20 sources and 24 destinations, destination 9 on
// the wire (10 here) locked by another client, and the names it gives (an
// Ember+ matrix has no lock to show until a Take meets it).
const protocols = {
  videohub: {
    peerArgs: ['--inputs', '20', '--outputs', '24', '--lock', '9'],
    query: '',
    source: 'Input',
    destination: 'Output',
    locked: 'locked by another client',
  },
  // Two levels: another client routes destination 12 on the second only.
  swp08: {
    peerArgs: ['--sources', '20', '--destinations', '24', '--protect', '0:9', '--levels', '2',
               '--route-at', '300:1:11:4'],
    query: '?names=16&level=0,1',
    disagree: ['12', 'Destination 12', '12 Source 12', 'levels disagree'],
    source: 'Source',
    destination: 'Destination',
    locked: 'locked by another client',
  },
  ember: {
    peerArgs: ['--targets', '24', '--sources', '20', '--lock', '9'],
    query: '/router.video',
    source: 'Source',
    destination: 'Target',
    locked: '',
  },
};

// A message chosen while the page redraws its inputs can be lost with the
// old input (seen in slow sanitizer builds): it is chosen again until what
// it does shows.
async function chooseUntil(name, value, what, done) {
  await until(what, async () => {
    if (await done()) return true;
    await chooseMessage(name, value);
    await sleep(500);
    return done();
  });
}

run(async () => {
  const scheme = option('--protocol') ?? 'videohub';
  const protocol = protocols[scheme];
  if (!protocol) fail('--protocol is one of ' + Object.keys(protocols).join(', '));
  const peer = start(option('--peer'), protocol.peerArgs);
  const listening = /^listening on 127\.0\.0\.1:(\d+)$/.exec(await peer.firstLine);
  if (!listening) fail('the peer: ' + peer.output());
  const address = `${scheme}://127.0.0.1:${listening[1]}`;
  const host = startPanelHost(['--router', `12=${address}${protocol.query}`]);
  const base = await host.address;
  const closeBrowser = await openBrowser();
  try {
    await openPage(base);
    await chooseMessage('instance', 'studioA');
    await until('the router\'s 24 outputs', () => script(
      `return document.querySelectorAll('#router tr').length === 24;`));
    const {source, destination: output} = protocol;
    const wanted = [[8, ['8', `${output} 8`, `8 ${source} 8`, '']],
                    [10, ['10', `${output} 10`, `10 ${source} 10`, protocol.locked]]];
    // A router may tell a lock after its start (the protects of SW-P-08).
    for (const [destination, cells] of wanted) {
      await until(`destination ${destination}: ${JSON.stringify(cells)}`, async () =>
        JSON.stringify(await row(destination)) === JSON.stringify(cells));
    }
    if (protocol.disagree) {
      await until('levels that disagree', async () =>
        JSON.stringify(await row(12)) === JSON.stringify(protocol.disagree));
    }
    const connected = await connection();
    if (!connected.shown || connected.lost || connected.text !== `${address}: connected`) {
      fail('the connection: ' + JSON.stringify(connected));
    }

    await chooseUntil('sourceID', '3', `Source shows ${source} 3`,
                      async () => (await control('Source')).text.startsWith(`${source} 3`));
    await chooseUntil('destID', '8', 'Take enabled',
                      async () => (await control('Take')).enabled === 'true');
    await click('[data-control="Take"]');
    await until('a waiting first push', async () => (await control('Take')).waiting);
    await click('[data-control="Take"]');
    await until('the route on the router', async () => await carries(8) === 3);
    // Whole: with several levels the row says they disagree until each
    // level's report has come.
    const routed = ['8', `${output} 8`, `3 ${source} 3`, ''];
    await until('the route\'s row', async () =>
      JSON.stringify(await row(8)) === JSON.stringify(routed));
    await screenshot(option('--screenshot'));

    peer.child.kill('SIGTERM');
    await until('the lost connection', async () => {
      const now = await connection();
      return now.shown && now.lost && now.text.startsWith(`${address}: connection lost`);
    });
    await screenshot(option('--screenshot').replace(/(\.png)?$/, '-lost.png'));
  } finally {
    await closeBrowser();
  }
  // The lost connection is the run's one error.
  host.child.kill('SIGTERM');
  const code = await host.exited;
  if (code !== 1 || !/\n1 error\n$/.test(host.output())) {
    fail(`panel_host after SIGTERM: exit ${code}, ending ${JSON.stringify(host.output().slice(-300))}`);
  }
  console.log('1 passed, 0 failed');
});
