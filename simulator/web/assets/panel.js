// The browser panel: draws the state that panel_host publishes and sends the
// operator's actions back as requests. The simulation decides everything; the
// page only shows it.
'use strict';

const $ = (id) => document.getElementById(id);
let state = null;
let shownTrace = 0;

function showError(text) {
  $('error').textContent = text;
  $('error').hidden = !text;
}

async function send(request) {
  let answer;
  try {
    const response = await fetch('/api/step', {
      method: 'POST',
      headers: {'Content-Type': 'application/json'},
      body: JSON.stringify(request),
    });
    const text = await response.text();
    try {
      answer = JSON.parse(text);
    } catch {
      answer = {ok: false, error: `panel_host answered ${response.status}: ${text || 'nothing'}`};
    }
  } catch (error) {
    answer = {ok: false, error: 'no answer from panel_host: ' + error};
  }
  showError(answer.ok ? '' : answer.error);
  return answer;
}

const message = (name, value) => send({do: 'message', name, value});

// Options of a <select>, rebuilt only when they change so that a choice in
// progress is not lost.
function fillSelect(select, options, chosen) {
  const key = JSON.stringify(options);
  if (select.dataset.key !== key) {
    select.replaceChildren(...options.map(([value, label]) => {
      const option = document.createElement('option');
      option.value = value;
      option.textContent = label;
      return option;
    }));
    select.dataset.key = key;
  }
  if (document.activeElement !== select && chosen !== undefined) select.value = chosen;
}

function routerOf(device) {
  return state.routers.find((router) => router.device === device);
}

// The router of the instance that the component was last sent, through the
// message it declares to take an instance name.
function instanceDevice() {
  const declared = state.messages.find((m) => m.shape === 'instance');
  const chosen = declared && state.instances.find((i) => i.name === state.parent[declared.name]);
  return chosen ? chosen.device : undefined;
}

function applyStyle(element, sheet) {
  const style = state.styles[sheet];
  element.style.background = style ? style.background : '';
  element.style.color = style && style.text ? style.text : '';
  element.dataset.statesheet = sheet || '';
  const label = element.querySelector('.sheet');
  if (label) label.textContent = sheet && !style ? sheet : '';
}

function drawControl(control) {
  const element = document.createElement(control.kind === 'button' ? 'button' : 'div');
  element.className = 'control ' + control.kind;
  element.dataset.control = control.name;
  element.dataset.enabled = control.enabled;
  if (!control.enabled) element.classList.add('disabled');
  if (control.doublePush) element.classList.add('double');
  if (control.waitsForSecond) element.classList.add('waiting');
  const properties = control.properties;
  const text = document.createElement('span');
  text.textContent = control.kind === 'button' ? (properties.text || control.name) : (properties.text || '');
  element.append(text);
  const name = document.createElement('span');
  name.className = 'name';
  name.textContent = control.kind === 'button' ? '' : control.name;
  const sheet = document.createElement('span');
  sheet.className = 'sheet';
  element.append(name, sheet);
  if (control.doublePush) {
    const badge = document.createElement('span');
    badge.className = 'badge';
    badge.textContent = control.waitsForSecond ? 'push again' : '2×';
    element.append(badge);
  }
  applyStyle(element, properties.statesheet);
  if (control.kind === 'button') {
    // A disabled control is pressed too: the host ignores the push, as in the field.
    element.addEventListener('click', () => send({do: 'press', control: control.name}));
  }
  return element;
}

// A box is the panel's frame; the other controls follow in layout order, one
// row for each run of controls of one kind.
function drawPanel(panel) {
  const frame = document.createElement('div');
  frame.className = 'panel';
  frame.dataset.panel = panel.id;
  let row = null;
  let rowKind = null;
  for (const control of panel.controls) {
    if (control.kind === 'box') {
      applyStyle(frame, control.properties.statesheet);
      frame.dataset.box = control.name;
      continue;
    }
    if (control.kind !== rowKind) {
      row = document.createElement('div');
      row.className = 'row';
      frame.append(row);
      rowKind = control.kind;
    }
    row.append(drawControl(control));
  }
  return frame;
}

const choiceShapes = ['instance', 'source', 'destination', 'boolean'];

// One control for each message the component declares, made for the shape of
// its value: a choice of what the installation holds, a statesheet or a text
// field, or a button for a message whose value is fixed. Rebuilt only when
// the declaration changes.
function buildParent() {
  const key = JSON.stringify(state.messages);
  if ($('messages').dataset.key === key) return;
  $('messages').dataset.key = key;
  const fields = [];
  const queries = [];
  for (const declared of state.messages) {
    if (declared.shape === 'all' || declared.shape === 'none') {
      const button = document.createElement('button');
      button.dataset.query = declared.name;
      button.dataset.value = declared.shape === 'all' ? 'all' : '';
      button.textContent = declared.name + (declared.shape === 'all' ? '=all' : '');
      button.title = declared.description;
      button.addEventListener('click', () => message(declared.name, button.dataset.value));
      queries.push(button);
      continue;
    }
    const field = document.createElement(choiceShapes.includes(declared.shape) ? 'select' : 'input');
    field.dataset.message = declared.name;
    field.dataset.shape = declared.shape;
    if (declared.shape === 'statesheet') field.setAttribute('list', 'styles');
    if (field.tagName === 'INPUT') field.placeholder = declared.shape;
    field.addEventListener('change', (e) => {
      const value = e.target.value;
      if (declared.shape === 'boolean' && value === '') return;
      // "(none)" of an index is index 0.
      const index = declared.shape === 'source' || declared.shape === 'destination';
      message(declared.name, index && value === '' ? '0' : value);
    });
    const label = document.createElement('label');
    label.title = declared.description;
    label.append(declared.name + ' ', field);
    fields.push(label);
  }
  $('messages').replaceChildren(...fields);
  $('queries').replaceChildren(...queries);
  $('free').hidden = state.messages.length !== 0;
}

function drawParent() {
  buildParent();
  const router = routerOf(instanceDevice());
  const named = (list) => list.filter((entry) => entry.name !== '').map((e) => [String(e.index), `${e.index} ${e.name}`]);
  const choices = {
    instance: () => state.instances.map((i) => [i.name, `${i.name} (device ${i.device})`]),
    source: () => (router ? named(router.sources) : []),
    destination: () => (router ? named(router.destinations) : []),
  };
  fillSelect($('styles'), Object.keys(state.styles).map((s) => [s, s]));
  for (const field of document.querySelectorAll('[data-message]')) {
    const sent = state.parent[field.dataset.message];
    const shape = field.dataset.shape;
    if (choices[shape]) {
      fillSelect(field, [['', '(none)'], ...choices[shape]()], sent || '');
    } else if (shape === 'boolean') {
      fillSelect(field, [['', '(not sent)'], ['true', 'true'], ['false', 'false']],
                 sent === undefined ? '' : sent.toLowerCase());
    } else if (document.activeElement !== field) {
      field.value = sent || '';
    }
  }
}

let drawnRoutes = {};
function drawRouter() {
  const devices = state.routers.map((r) => [String(r.device), `device ${r.device}`]);
  const select = $('device');
  const wanted = select.dataset.chosen || String(instanceDevice() || (devices[0] || [''])[0]);
  fillSelect(select, devices, wanted);
  const router = routerOf(Number(select.value));
  if (!router) return;
  $('registered').textContent = 'component registered: ' + router.registered;
  // A real router: where it is, and a lost connection in plain sight.
  const connection = $('router-connection');
  connection.hidden = !router.connection;
  connection.textContent = router.connection || '';
  connection.classList.toggle('lost', !!router.connection && !router.connection.endsWith(': connected'));
  const sourceName = (index) => (router.sources[index - 1] || {name: ''}).name;
  const rows = router.destinations.map((d) => {
    const row = document.createElement('tr');
    row.dataset.destination = d.index;
    row.dataset.source = d.source;
    const key = router.device + ':' + d.index;
    if (drawnRoutes[key] !== undefined && drawnRoutes[key] !== d.source) row.classList.add('changed');
    drawnRoutes[key] = d.source;
    let lock = {L: 'locked by another client', O: 'locked by this host'}[d.lock] || '';
    if (lock) row.classList.add('locked');
    if (d.levels === 'disagree') {
      lock += (lock ? '; ' : '') + 'levels disagree';
      row.classList.add('split');
    }
    for (const text of [String(d.index), d.name, d.source ? `${d.source} ${sourceName(d.source)}` : '—', lock]) {
      const cell = document.createElement('td');
      cell.textContent = text;
      row.append(cell);
    }
    return row;
  });
  $('router').replaceChildren(...rows);
  fillSelect($('route-source'), router.sources.map((s) => [String(s.index), `${s.index} ${s.name}`]));
  fillSelect($('route-destination'), router.destinations.map((d) => [String(d.index), `${d.index} ${d.name}`]));
}

function drawTrace() {
  const list = $('trace');
  const atEnd = list.scrollTop + list.clientHeight >= list.scrollHeight - 4;
  for (const entry of state.trace) {
    if (entry.sequence <= shownTrace) continue;
    const item = document.createElement('li');
    item.className = entry.kind;
    item.textContent = entry.line;
    list.append(item);
    shownTrace = entry.sequence;
  }
  while (list.children.length > 1000) list.firstChild.remove();
  if (atEnd) list.scrollTop = list.scrollHeight;
}

function draw(next) {
  state = next;
  $('clock').textContent = state.stamp;
  $('realtime').checked = state.realtime;
  $('window').textContent = state.secondPushWindow;
  $('summary').textContent = state.summary;
  $('panels').replaceChildren(...state.panels.map(drawPanel));
  if (state.panels.length === 0) $('panels').textContent = 'no panel is shown';
  drawParent();
  drawRouter();
  drawTrace();
}

function wire() {
  $('free-send').addEventListener('click', () => message($('free-name').value, $('free-value').value));
  for (const button of document.querySelectorAll('[data-wait]')) {
    button.addEventListener('click', () => send({do: 'wait', ms: Number(button.dataset.wait)}));
  }
  $('realtime').addEventListener('change', (e) => send({do: 'realtime', on: e.target.checked}));
  $('device').addEventListener('change', (e) => {
    e.target.dataset.chosen = e.target.value;
    drawRouter();
  });
  $('route').addEventListener('click', () => send({
    do: 'route',
    device: Number($('device').value),
    source: Number($('route-source').value),
    destination: Number($('route-destination').value),
  }));
}

function connect() {
  const events = new EventSource('/api/events');
  events.onopen = () => {
    $('connection').textContent = 'live';
    $('connection').classList.add('live');
  };
  events.onmessage = (event) => draw(JSON.parse(event.data));
  events.onerror = () => {
    $('connection').textContent = 'reconnecting…';
    $('connection').classList.remove('live');
  };
}

wire();
fetch('/api/state').then((response) => response.json()).then(draw).finally(connect);
