// The browser panel in a real headless browser: starts `panel_host --serve 0`,
// drives Debian's chromium through chromedriver (WebDriver over HTTP), and
// operates a whole Take and Undo as an operator would.
//
// node browser_panel_test.mjs --chromium PATH --chromedriver PATH
//      --screenshot FILE -- PANEL_HOST ARGS...
// CMake registers it only where both are installed: a missing one fails.
import {writeFileSync} from 'node:fs';
import {
  carries, choose, chooseMessage, click, control, fail, openBrowser, openPage, option, run,
  script, shownError, sleep, startPanelHost, traced, until, webdriver,
} from './browser_session.mjs';

const screenshot = option('--screenshot');

async function operate(base) {
  await openPage(base);

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

run(async () => {
  const host = startPanelHost();
  const base = await host.address;
  const closeBrowser = await openBrowser();
  try {
    await operate(base);
  } finally {
    await closeBrowser();
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
});
