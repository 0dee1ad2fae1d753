// The browser panel in a real headless browser: starts `panel_host --serve 0`,
// drives Debian's chromium through chromedriver (WebDriver over HTTP), and
// operates a whole Take and Undo as an operator would.
//
// node browser_panel_test.mjs --chromium PATH --chromedriver PATH
//      --screenshot FILE -- PANEL_HOST ARGS...
// CMake registers it only where both are installed: a missing one fails.
import {spawn} from 'node:child_process';
import {existsSync, mkdtempSync, rmSync, writeFileSync} from 'node:fs';
import {createServer} from 'node:net';
import {tmpdir} from 'node:os';
import {join} from 'node:path';

const argv = process.argv.slice(2);
const split = argv.indexOf('--');
const option = (name) => argv[argv.indexOf(name) + 1];
const chromium = option('--chromium');
const chromedriver = option('--chromedriver');
const screenshot = option('--screenshot');
const [panelHost, ...panelArgs] = argv.slice(split + 1);

if (!chromium || !existsSync(chromium) || !chromedriver || !existsSync(chromedriver)) {
  console.error('FAILED: chromium or chromedriver is not installed');
  process.exit(1);
}

const children = [];
const profile = mkdtempSync(join(tmpdir(), 'panel-host-browser-'));
let failed = false;

function cleanUp() {
  for (const child of children) if (child.exitCode === null) child.kill('SIGKILL');
  rmSync(profile, {recursive: true, force: true});
}

function fail(message) {
  console.error('FAILED: ' + message);
  failed = true;
  throw new Error(message);
}

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

async function until(what, check, ms = 10000) {
  const end = Date.now() + ms;
  let last;
  while (Date.now() < end) {
    last = await check();
    if (last) return last;
    await sleep(100);
  }
  fail(`timed out waiting for ${what} (last: ${JSON.stringify(last)})`);
}

function freePort() {
  return new Promise((resolve) => {
    const server = createServer();
    server.listen(0, '127.0.0.1', () => {
      const {port} = server.address();
      server.close(() => resolve(port));
    });
  });
}

// panel_host, and the address from its first line.
function startPanelHost() {
  const child = spawn(panelHost, panelArgs, {stdio: ['ignore', 'pipe', 'inherit']});
  children.push(child);
  let output = '';
  const exited = new Promise((resolve) => child.on('exit', (code) => resolve(code)));
  const address = new Promise((resolve, reject) => {
    child.stdout.on('data', (chunk) => {
      output += chunk;
      const first = output.split('\n')[0];
      if (output.includes('\n')) {
        const match = /^serving (http:\/\/127\.0\.0\.1:\d+\/)$/.exec(first);
        match ? resolve(match[1]) : reject(new Error('first line: ' + first));
      }
    });
    child.on('exit', (code) => reject(new Error('panel_host ended with ' + code)));
  });
  return {child, address, exited, output: () => output};
}

let driver;
let session;
async function webdriver(method, path, body) {
  const response = await fetch(`${driver}/session${session ? '/' + session : ''}${path}`, {
    method,
    headers: {'Content-Type': 'application/json'},
    body: body === undefined ? undefined : JSON.stringify(body),
  });
  const answer = await response.json();
  if (!response.ok) fail(`${method} ${path}: ${JSON.stringify(answer.value)}`);
  return answer.value;
}
const script = (source, ...args) => webdriver('POST', '/execute/sync', {script: source, args});
async function click(selector) {
  const found = await webdriver('POST', '/element', {using: 'css selector', value: selector});
  await webdriver('POST', `/element/${Object.values(found)[0]}/click`, {});
}
// Chooses `value` in a <select> or types it into an <input>, as a person does.
const choose = (id, value) => script(
  `const e = document.getElementById(arguments[0]); e.value = arguments[1];
   e.dispatchEvent(new Event('change')); return e.value;`, id, value);
// The same for the parent panel's control of the declared message `name`.
const chooseMessage = (name, value) => script(
  `const e = document.querySelector('[data-message="' + arguments[0] + '"]'); e.value = arguments[1];
   e.dispatchEvent(new Event('change')); return e.value;`, name, value);
const control = (name) => script(
  `const e = document.querySelector('[data-control="' + arguments[0] + '"]');
   return e && {enabled: e.dataset.enabled, sheet: e.dataset.statesheet, text: e.textContent,
                colour: e.style.background, waiting: e.classList.contains('waiting')};`, name);
const carries = (destination) => script(
  `const row = document.querySelector('#router tr[data-destination="' + arguments[0] + '"]');
   return row ? Number(row.dataset.source) : null;`, destination);
const shownError = () => script(`return document.getElementById('error').hidden ? '' :
   document.getElementById('error').textContent;`);
const traced = (text) => script(
  `return [...document.querySelectorAll('#trace li')].some((li) => li.textContent.includes(arguments[0]));`,
  text);

async function operate(base) {
  await webdriver('POST', '/url', {url: base});
  await until('the live page', () => script(
    `return document.getElementById('connection').textContent === 'live' &&
            !!document.querySelector('[data-control="Take"]');`));

  // The parent panel, built from Quorvex's declaration (so no free-form
  // message): styles, instance, source and destination by name.
  if (await script(`return getComputedStyle(document.getElementById('free')).display;`) !== 'none') {
    fail('the free-form message shows beside declared messages');
  }
  await chooseMessage('takeHigh', 'red');
  await chooseMessage('takeLow', 'dim');
  await chooseMessage('instance', 'studioA');
  await until('the sources of studioA', () => script(
    `return document.querySelector('[data-message="sourceID"]').options.length > 10;`));
  const before = await carries(3);
  await chooseMessage('sourceID', '3');
  await chooseMessage('destID', '3');
  await until('Take enabled', async () => (await control('Take')).enabled === 'true');
  if ((await control('Source')).text !== 'CAM 3 JibSource') fail('Source shows the name');

  // Take flashes as the clock moves.
  const lit = await control('Take');
  await click('[data-wait="1000"]');
  const dark = await until('a flash', async () => {
    const now = await control('Take');
    return now.sheet !== lit.sheet && now;
  });
  if (lit.sheet !== 'red' || dark.sheet !== 'dim' || lit.colour === dark.colour) {
    fail(`Take flashes red and dim: ${JSON.stringify([lit, dark])}`);
  }

  // Take needs two pushes by default: the first one waits.
  await click('[data-control="Take"]');
  await until('a waiting first push', async () => (await control('Take')).waiting);
  if (await carries(3) !== before) fail('one push of a double-push Take routed');
  await click('[data-control="Take"]');
  await until('the route on the router', async () => await carries(3) === 3);
  await until('Undo enabled', async () => (await control('Undo')).enabled === 'true');
  if (!(await control('UndoSource')).text.startsWith('CAM 1')) fail('UndoSource shows CAM 1');

  await click('[data-control="Undo"]');
  await until('the undone route', async () => await carries(3) === before);
  await click('[data-control="Deselect"]');
  await until('an empty Source', async () => (await control('Source')).text === 'Source');
  await until('the parent event', () => traced('deselect=-1'));

  // Another panel's route reaches the component as a revertive.
  await choose('route-source', '5');
  await choose('route-destination', '4');
  await click('#route');
  await until('the revertive', async () => await carries(4) === 5);
  await until('the revertive in the trace', () => traced('destination 4 carries source 5'));

  // A disabled Take ignores the push.
  await click('[data-control="Take"]');
  await until('the ignored push', () => traced('Take is disabled: the push does nothing'));

  // Bad requests are answered with errors, shown and traced; the server goes on.
  await script(`fetch('/api/step', {method: 'POST', headers: {'Content-Type': 'application/json'},
                 body: '{"do":"press","control":"Volume"}'}).then((r) => r.json())
                 .then((a) => { const e = document.getElementById('error');
                                e.textContent = a.error; e.hidden = false; });`);
  await until('the error on the page', async () => (await shownError()).includes('no button "Volume"'));
  await until('the error in the trace', () => traced('error: browser: panel 1 has no button "Volume"'));
  // A request too large for the server is refused as the others are.
  await script(`send({do: 'message', name: 'takeHigh', value: 'x'.repeat(70000)});`);
  await until('the size refusal on the page',
              async () => (await shownError()).includes('the request is larger than 64 KiB'));
  await until('the size refusal in the trace',
              () => traced('error: browser: the request is larger than 64 KiB'));
  for (const [body, type, status] of [
    ['not json', 'application/json', 400],
    ['{"do":"shell","command":"ls"}', 'application/json', 400],
    ['{"do":"message","name":"instance","value":"nowhere"}', 'application/json', 404],
    [JSON.stringify({do: 'message', name: 'takeHigh', value: 'x'.repeat(70000)}), 'application/json', 413],
    ['{"do":"wait","ms":-5}', 'application/json', 400],
    ['{"do":"press","control":"Take"}', 'text/plain', 415],
  ]) {
    const response = await fetch(base + 'api/step', {method: 'POST', headers: {'Content-Type': type}, body});
    const answer = await response.json();
    if (response.status !== status || answer.ok !== false || !answer.error) {
      fail(`${body} as ${type}: ${response.status} ${JSON.stringify(answer)}`);
    }
  }

  // A route armed again, for the picture: Take lit and flashing.
  await chooseMessage('sourceID', '4');
  await chooseMessage('destID', '2');
  await until('Take armed again', async () => (await control('Take')).enabled === 'true');
  await click('[data-wait="1000"]');
  await click('[data-wait="1000"]');
  await until('Take lit', async () => (await control('Take')).sheet === 'red');
  await sleep(300);
  writeFileSync(screenshot, Buffer.from(await webdriver('GET', '/screenshot'), 'base64'));
  console.log('screenshot: ' + screenshot);
}

async function main() {
  const host = startPanelHost();
  const base = await host.address;
  const port = await freePort();
  const chrome = spawn(chromedriver, [`--port=${port}`], {stdio: 'ignore'});
  children.push(chrome);
  driver = `http://127.0.0.1:${port}`;
  await until('chromedriver', () => fetch(driver + '/status').then((r) => r.ok, () => false));
  const created = await webdriver('POST', '', {capabilities: {alwaysMatch: {
    browserName: 'chrome',
    'goog:chromeOptions': {binary: chromium, args: [
      '--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      '--disable-dev-shm-usage', `--user-data-dir=${profile}`, '--window-size=1360,860',
    ]},
  }}});
  session = created.sessionId;
  try {
    await operate(base);
  } finally {
    await webdriver('DELETE', '').catch(() => {});
    session = undefined;
    chrome.kill('SIGTERM');
  }
  // Interrupted, panel_host ends cleanly and destroys the component; the
  // refused requests count as bad input, as at the prompt.
  host.child.kill('SIGTERM');
  const code = await host.exited;
  const end = host.output().split('[').pop();
  if (code !== 2 || !/destroy the component\n    RU 12\n    AS .*\n8 steps not understood\n$/.test(end)) {
    fail(`panel_host after SIGTERM: exit ${code}, ending ${JSON.stringify(end)}`);
  }
  console.log('1 passed, 0 failed');
}

main().catch((error) => {
  if (!failed) console.error('FAILED: ' + error.message);
  process.exitCode = 1;
}).finally(cleanUp);
