// What the browser panel's tests share: panel_host and other programs as
// children, headless chromium through chromedriver (WebDriver over HTTP), and
// the page's parts as an operator sees them.
import {spawn} from 'node:child_process';
import {existsSync, mkdtempSync, rmSync} from 'node:fs';
import {createServer} from 'node:net';
import {tmpdir} from 'node:os';
import {join} from 'node:path';

const argv = process.argv.slice(2);
const split = argv.indexOf('--');
// The value after `name` on the command line, before "--".
export const option = (name) => {
  const at = argv.indexOf(name);
  return at >= 0 && (split < 0 || at < split) ? argv[at + 1] : undefined;
};
// PANEL_HOST ARGS..., after "--".
export const [panelHost, ...panelArgs] = argv.slice(split + 1);

const children = [];
const profile = mkdtempSync(join(tmpdir(), 'panel-host-browser-'));
let failed = false;

export function fail(message) {
  console.error('FAILED: ' + message);
  failed = true;
  throw new Error(message);
}

export const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

export async function until(what, check, ms = 30000) {
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

// A child killed at the end at the latest; `firstLine` resolves to the
// first line of its standard output.
export function start(program, args) {
  const child = spawn(program, args, {stdio: ['ignore', 'pipe', 'inherit']});
  children.push(child);
  let output = '';
  const exited = new Promise((resolve) => child.on('exit', (code) => resolve(code)));
  const firstLine = new Promise((resolve, reject) => {
    child.stdout.on('data', (chunk) => {
      output += chunk;
      if (output.includes('\n')) resolve(output.split('\n')[0]);
    });
    child.on('exit', (code) => reject(new Error(`${program} ended with ${code}`)));
  });
  return {child, firstLine, exited, output: () => output};
}

// panel_host, and the address from its first line.
export function startPanelHost(extra = []) {
  const host = start(panelHost, [...panelArgs, ...extra]);
  host.address = host.firstLine.then((first) => {
    const match = /^serving (http:\/\/127\.0\.0\.1:\d+\/)$/.exec(first);
    if (!match) throw new Error('first line: ' + first);
    return match[1];
  });
  return host;
}

let driver;
let session;
async function ask(method, path, body) {
  const response = await fetch(`${driver}/session${session ? '/' + session : ''}${path}`, {
    method,
    headers: {'Content-Type': 'application/json'},
    body: body === undefined ? undefined : JSON.stringify(body),
  });
  return {ok: response.ok, value: (await response.json()).value};
}
export async function webdriver(method, path, body) {
  const answer = await ask(method, path, body);
  if (!answer.ok) fail(`${method} ${path}: ${JSON.stringify(answer.value)}`);
  return answer.value;
}

// Headless chromium through chromedriver, both from the command line's
// --chromium and --chromedriver; a missing one fails.
export async function openBrowser() {
  const chromium = option('--chromium');
  const chromedriver = option('--chromedriver');
  if (!chromium || !existsSync(chromium) || !chromedriver || !existsSync(chromedriver)) {
    fail('chromium or chromedriver is not installed');
  }
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
  return async () => {
    await webdriver('DELETE', '').catch(() => {});
    session = undefined;
    chrome.kill('SIGTERM');
  };
}

// Runs `test`; any failure sets the exit status, and every child ends.
export function run(test) {
  test().catch((error) => {
    if (!failed) console.error('FAILED: ' + error.message);
    process.exitCode = 1;
  }).finally(() => {
    for (const child of children) if (child.exitCode === null) child.kill('SIGKILL');
    rmSync(profile, {recursive: true, force: true});
  });
}

export const script = (source, ...args) => webdriver('POST', '/execute/sync', {script: source, args});
// Each new state redraws the panels: an element found just before may be
// gone by the click, which then never happened and is tried again.
export async function click(selector) {
  for (let tries = 1; ; ++tries) {
    const found = await webdriver('POST', '/element', {using: 'css selector', value: selector});
    const answer = await ask('POST', `/element/${Object.values(found)[0]}/click`, {});
    if (answer.ok) return;
    if (answer.value.error !== 'stale element reference' || tries === 5) {
      fail(`click ${selector}: ${JSON.stringify(answer.value)}`);
    }
  }
}
// Chooses `value` in a <select> or types it into an <input>, as a person does.
export const choose = (id, value) => script(
  `const e = document.getElementById(arguments[0]); e.value = arguments[1];
   e.dispatchEvent(new Event('change')); return e.value;`, id, value);
// The same for the parent panel's control of the declared message `name`.
export const chooseMessage = (name, value) => script(
  `const e = document.querySelector('[data-message="' + arguments[0] + '"]'); e.value = arguments[1];
   e.dispatchEvent(new Event('change')); return e.value;`, name, value);
export const control = (name) => script(
  `const e = document.querySelector('[data-control="' + arguments[0] + '"]');
   return e && {enabled: e.dataset.enabled, sheet: e.dataset.statesheet, text: e.textContent,
                colour: e.style.background, waiting: e.classList.contains('waiting')};`, name);
export const carries = (destination) => script(
  `const row = document.querySelector('#router tr[data-destination="' + arguments[0] + '"]');
   return row ? Number(row.dataset.source) : null;`, destination);
export const shownError = () => script(`return document.getElementById('error').hidden ? '' :
   document.getElementById('error').textContent;`);
export const traced = (text) => script(
  `return [...document.querySelectorAll('#trace li')].some((li) => li.textContent.includes(arguments[0]));`,
  text);
// Opens the page and waits for its event stream and the sub-panel.
export async function openPage(base) {
  await webdriver('POST', '/url', {url: base});
  await until('the live page', () => script(
    `return document.getElementById('connection').textContent === 'live' &&
            !!document.querySelector('[data-control="Take"]');`));
}
