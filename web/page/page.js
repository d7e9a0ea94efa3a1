// The page: the dialog's fields, the canvas and the share link. The core reads every field and
// every link value by the rules the desktop programs use, once a tree; the trees are drawn in a
// worker, so the page never waits for one.
import Arbolith from './arbolith.js';

const $ = (id) => document.getElementById(id);
const canvas = $('canvas');
const statusLine = $('status');
const progress = $('progress');
const messages = $('messages');
const secondField = $('second');

// The module is compiled once and instantiated here and in every worker.
const compiled = fetch(new URL('arbolith.wasm', import.meta.url))
  .then((response) => response.arrayBuffer())
  .then((bytes) => WebAssembly.compile(bytes));

function instantiate(handlers = {}) {
  return compiled.then((module) =>
    Arbolith({
      ...handlers,
      instantiateWasm(imports, done) {
        WebAssembly.instantiate(module, imports).then((instance) => done(instance));
        return {};
      },
    }));
}

let core;

const kFront = { yaw: 0, pitch: 0 };

// What the page knows besides its fields.
const state = {
  fields: [],          // {id, heading, label, input}
  second: null,        // the second of the latest tree, kept while the second field is empty
  view: kFront,        // {yaw, pitch}
  tree: null,          // the core's reading of the tree drawn or shown: its link, texts, status
  run: null,           // the run going: {id, entry, drawn}
  shown: null,         // the tree the canvas shows once a run has ended: {entry, drawn, state}
  worker: null,
  saver: null,         // the worker writing a file, if any
  nextId: 1,
  linkNotes: [],
  fieldNotes: [],
};

// How a run stands, numbered as the core's RunState.
const kDrawing = 0;
const kComplete = 1;
const kStopped = 2;

function fieldName(field) {
  return `${field.heading} ${field.label}`.replace(/:/g, '').trim();
}

// The tree as the page's controls hold it, which the core reads and a worker draws or writes. A
// stopped tree's picture shows just so many branches.
function treeEntry(second, branchLimit = Infinity) {
  return { fields: state.fields.map((f) => f.input.value), second, view: state.view, branchLimit };
}

function nowSecond() {
  return String(Math.floor(Date.now() / 1000));
}

function showMessages() {
  messages.replaceChildren(...[...state.linkNotes, ...state.fieldNotes].map((text) => {
    const item = document.createElement('li');
    item.textContent = core.printable(text);
    return item;
  }));
}

// Shows the text on the status line, the arbolith-render command in it as code.
function say(text, command = '') {
  const shown = core.printable(text);
  if (!command || !shown.includes(command)) {
    statusLine.textContent = shown;
    return;
  }
  const [before, after] = shown.split(command);
  // Lines break between the command's words only, never inside an option.
  const code = document.createElement('code');
  command.split(' ').forEach((word, i) => {
    const part = document.createElement('span');
    part.textContent = word;
    code.append(...(i > 0 ? [' ', part] : [part]));
  });
  statusLine.replaceChildren(before, code, after);
}

function showStatus(drawn, runState) {
  const status = state.tree.status(drawn, runState);
  say(status.text, status.command);
  progress.hidden = runState !== kDrawing;
  progress.value = state.tree.total > 0 ? Math.min(drawn / state.tree.total, 1) : 0;
  document.body.dataset.run = ['drawing', 'complete', 'stopped', 'stopped'][runState];
}

function paint(pixels, width, height) {
  canvas.getContext('2d').putImageData(
    new ImageData(new Uint8ClampedArray(pixels.buffer, pixels.byteOffset, pixels.length),
                  width, height), 0, 0);
}

function newWorker() {
  const worker = new Worker(new URL('worker.js', import.meta.url), { type: 'module' });
  compiled.then((module) => worker.postMessage({ module }));
  worker.onmessage = ({ data }) => {
    const run = state.run;
    if (!run || data.id !== run.id) {
      return;
    }
    if (data.kind === 'picture') {
      paint(data.pixels, data.width, data.height);
      run.drawn = data.drawn;
      showStatus(run.drawn, kDrawing);
    } else if (data.kind === 'drawn') {
      state.run = null;
      state.shown = { entry: run.entry, drawn: run.drawn, state: data.state };
      showStatus(run.drawn, data.state);
      updateStop();
      // For the benchmark (bench/web-bench.mjs): each run's time, and the first tree's.
      performance.measure('run', `run-${run.id}`);
      if (performance.getEntriesByName('first-tree').length === 0) {
        performance.mark('first-tree');
      }
    }
  };
  return worker;
}

// Stop (and Esc) ends a run or a saving, whichever is going.
function updateStop() {
  $('stop').disabled = !state.run && !state.saver;
}

// Ends the run going, if any: the canvas keeps its picture, which holds exactly the polygons
// counted when it was taken, so the stopped tree is the tree with that branch limit.
function stop() {
  const run = state.run;
  if (!run) {
    return;
  }
  state.worker.terminate();
  state.worker = null;
  state.run = null;
  if (run.drawn === 0) {
    const context = canvas.getContext('2d');
    context.fillStyle = '#fff';
    context.fillRect(0, 0, canvas.width, canvas.height);
  }
  const entry = { ...run.entry, branchLimit: run.drawn };
  state.shown = { entry, drawn: run.drawn, state: kStopped };
  showStatus(run.drawn, kStopped);
  updateStop();
}

// Draws the fields' tree: of the second the second field shows, or else of a new second for a
// press and of the same second for an edit. A limit keeps as many branches as a stopped tree.
function draw({ fresh = false, limit = Infinity } = {}) {
  const typed = secondField.value.trim();
  const second = typed || (fresh || state.second === null ? nowSecond() : state.second);
  const entry = treeEntry(second, limit);
  const tree = core.readTree(entry);
  state.fieldNotes = [];
  if (tree.error) {
    state.fieldNotes.push(tree.error);
    tree.delete();
    showMessages();
    return;
  }
  const texts = tree.texts;
  state.fields.forEach((field, i) => {
    const text = field.input.value.trim();
    if (text !== texts[i]) {
      state.fieldNotes.push(`${fieldName(field)}: ${core.quoted(field.input.value)} reads as ` +
                            `${texts[i]}`);
    }
  });
  showMessages();
  state.second = String(tree.second);
  history.replaceState(null, '', `#${tree.link}`);
  state.tree?.delete();
  state.tree = tree;
  if (state.run) {
    state.worker.terminate();
    state.worker = null;
  }
  state.worker ??= newWorker();
  state.run = { id: state.nextId++, entry, drawn: 0 };
  performance.mark(`run-${state.run.id}`);
  state.shown = null;
  updateStop();
  showStatus(0, kDrawing);
  state.worker.postMessage({ kind: 'draw', id: state.run.id, entry });
}

// Draws the tree on the canvas again, as many branches as it shows, after the view changed.
function redrawTurned() {
  const shown = state.shown;
  const limit = shown && shown.state === kStopped ? shown.drawn : Infinity;
  draw({ limit });
}

function applyLink() {
  const fragment = location.hash.slice(1, 20000);
  const link = core.readLink(fragment);
  state.fields.forEach((field, i) => {
    field.input.value = link.fields[i];
  });
  secondField.value = link.second;
  state.view = link.view;
  state.linkNotes = link.errors.map((error) => `Link: ${error}`);
}

function buildFields() {
  const list = core.fields();
  const box = $('fields');
  box.replaceChildren();
  let group = null;
  for (const field of list) {
    const id = `field-${field.id}`;
    const label = document.createElement('label');
    label.htmlFor = id;
    if (field.heading) {
      const hidden = document.createElement('span');
      hidden.className = 'hidden-text';
      hidden.textContent = `${field.heading} `;
      label.append(hidden);
    }
    label.append(field.label);
    const input = document.createElement('input');
    input.id = id;
    input.autocomplete = 'off';
    input.spellcheck = false;
    input.value = field.text;
    input.addEventListener('input', () => draw());
    if (field.heading) {
      if (!group || group.dataset.heading !== field.heading) {
        const heading = document.createElement('p');
        heading.className = 'heading';
        heading.textContent = field.heading;
        heading.setAttribute('aria-hidden', 'true');
        group = document.createElement('p');
        group.className = 'point';
        group.dataset.heading = field.heading;
        box.append(heading, group);
      }
      group.append(label, input);
    } else {
      group = null;
      const row = document.createElement('p');
      row.className = 'row';
      row.append(label, input);
      box.append(row);
    }
    state.fields.push({ ...field, input });
  }
}

// The canvas's bitmap is the picture itself; CSS shows it at a whole number of device pixels a
// picture pixel wherever the window has room.
function fitCanvas() {
  const ratio = window.devicePixelRatio || 1;
  const scale = Math.max(1, Math.round(ratio));
  canvas.style.width = `${(canvas.width * scale) / ratio}px`;
}

function download(blob, name) {
  const anchor = document.createElement('a');
  anchor.href = URL.createObjectURL(blob);
  anchor.download = name;
  document.body.append(anchor);
  anchor.click();
  anchor.remove();
  setTimeout(() => URL.revokeObjectURL(anchor.href), 60000);
}

// The largest file the page holds until the browser takes it as a download. A larger one is
// written into a file the user picks, part by part as it is made, where the browser lets a page
// write a file; elsewhere it is refused before it starts. Tests set a smaller one.
const kLargestHeld = globalThis.arbolithLargestHeld ?? 2 ** 30;
// Parts gathered into one blob, which the browser keeps outside the page, on its disk if need be.
const kBlobBytes = 64 * 2 ** 20;

function sizeText(bytes) {
  for (const [unit, size] of [['GB', 1e9], ['MB', 1e6], ['kB', 1e3]]) {
    if (bytes >= size) {
      return `${(bytes / size).toLocaleString('en', { maximumFractionDigits: 1 })} ${unit}`;
    }
  }
  return `${bytes} bytes`;
}

// Ends the saving going, if any, leaving no file: a picked file keeps what it held.
function stopSaving(words = 'Stopped saving; nothing was saved.') {
  const saving = state.saver;
  if (!saving) {
    return;
  }
  state.saver = null;
  saving.worker.terminate();
  saving.writable?.abort().catch(() => {});
  updateStop();
  say(words);
}

// Asks for the file to write a large one into; null, having said why, if there is none.
async function pickFile(name, most, command) {
  if (!window.showSaveFilePicker) {
    const writer = command ? `${command} -o ${name}` : 'arbolith-render';
    say(`${name} could take up to ${sizeText(most)}, more than this page can hold ` +
        `(${sizeText(kLargestHeld)}); ${writer} writes it.`, writer);
    return null;
  }
  try {
    const handle = await window.showSaveFilePicker({ suggestedName: name, id: 'arbolith-tree' });
    return { name: handle.name, writable: await handle.createWritable() };
  } catch (error) {
    say(error.name === 'AbortError' ? `Not saved: no file was chosen for ${name}.`
      : `Could not save ${name}: ${error.message}`);
    return null;
  }
}

// Saves the tree the canvas shows, the same bytes as arbolith-render writes for it (PNG: the
// same pixels, through the browser's own encoder). Every saving ends with its file or with a
// message saying why not.
async function save(format) {
  const shown = state.shown;
  if (!shown) {
    say(state.run ? 'Wait for the tree, or press Esc, before saving.'
      : 'Draw a tree first, then save it.');
    return;
  }
  const tree = core.readTree(shown.entry);
  let name = `arbolith-${tree.second}.${format}`;
  const most = tree.mostBytes(format, name);
  const command = tree.command;
  tree.delete();
  if (format === 'png') {
    canvas.toBlob((blob) => download(blob, name), 'image/png');
    return;
  }
  stopSaving('');
  let writable = null;
  if (most > kLargestHeld) {
    const picked = await pickFile(name, most, command);
    if (!picked) {
      return;
    }
    ({ name, writable } = picked);
  }
  const saving = {
    worker: newSaver(), writable, files: [[], []], held: [[], []], heldBytes: [0, 0],
    writing: Promise.resolve(),
  };
  state.saver = saving;
  updateStop();
  const going = () => state.saver === saving;
  const fail = (reason) => {
    if (going()) {
      stopSaving(`Could not save ${name}: ${reason}.`);
    }
  };
  // The file's parts in order: into the picked file, or gathered into blobs.
  const take = (file, bytes) => {
    if (writable && file === 0) {
      saving.writing = saving.writing.then(() => writable.write(bytes));
      saving.writing.catch((error) => fail(error.message));
      return;
    }
    saving.held[file].push(bytes);
    saving.heldBytes[file] += bytes.length;
    if (saving.heldBytes[file] >= kBlobBytes) {
      saving.files[file].push(new Blob(saving.held[file].splice(0)));
      saving.heldBytes[file] = 0;
    }
  };
  const finish = async () => {
    try {
      await saving.writing;
      await writable?.close();
    } catch (error) {
      fail(error.message);
      return;
    }
    if (!going()) {
      return;
    }
    state.saver = null;
    saving.worker.terminate();
    updateStop();
    const names = [name];
    if (!writable) {
      download(new Blob([...saving.files[0], ...saving.held[0]]), name);
    }
    if (format === 'obj') {
      names.push(core.materialLibraryName(name));
      download(new Blob([...saving.files[1], ...saving.held[1]]), names[1]);
    }
    say(`Saved ${names.join(' and ')}.`);
    document.body.dataset.saved = names.join(',');
  };
  say(`Saving ${name}… Esc stops.`);
  saving.worker.onerror = (event) => {
    event.preventDefault();
    fail(event.message || 'the page\'s writer failed');
  };
  saving.worker.onmessageerror = () => fail('a part of the file could not be passed on');
  saving.worker.onmessage = ({ data }) => {
    if (!going()) {
      return;
    }
    if (data.kind === 'progress') {
      say(`Saving ${name}: ${data.done.toLocaleString('en')} branches…`);
    } else if (data.kind === 'part') {
      take(data.file, data.bytes);
    } else if (data.kind === 'written') {
      if (data.ok) {
        finish();
      } else {
        fail(data.reason ?? 'the writer gave up');
      }
    }
  };
  saving.worker.postMessage({ kind: 'write', format, entry: shown.entry, fileName: name });
}

// A button for each row of the format table that this build writes, and PNG, which the
// browser's encoder writes from the canvas.
function buildSaveButtons() {
  for (const format of core.formats()) {
    if (format.written || format.name === 'png') {
      const button = document.createElement('button');
      button.type = 'button';
      button.dataset.format = format.name;
      button.title = format.description;
      button.textContent = format.name.toUpperCase();
      button.addEventListener('click', () => save(format.name));
      $('saving').append(button);
    }
  }
}

function newSaver() {
  const worker = new Worker(new URL('worker.js', import.meta.url), { type: 'module' });
  compiled.then((module) => worker.postMessage({ module }));
  return worker;
}

function startDrag(event) {
  if (event.button !== 0) {
    return;
  }
  canvas.setPointerCapture(event.pointerId);
  canvas.classList.add('dragging');
  const from = state.view;
  const scale = canvas.width / canvas.clientWidth;
  const start = { x: event.clientX, y: event.clientY };
  const move = (e) => {
    // In picture pixels, as the desktop canvas counts them.
    const dx = Math.trunc((e.clientX - start.x) * scale);
    const dy = Math.trunc((e.clientY - start.y) * scale);
    const view = core.viewAfterDrag(from, dx, dy);
    if (view.yaw !== state.view.yaw || view.pitch !== state.view.pitch) {
      state.view = view;
      redrawTurned();
    }
  };
  const end = () => {
    canvas.classList.remove('dragging');
    canvas.removeEventListener('pointermove', move);
    canvas.removeEventListener('pointerup', end);
    canvas.removeEventListener('pointercancel', end);
  };
  canvas.addEventListener('pointermove', move);
  canvas.addEventListener('pointerup', end);
  canvas.addEventListener('pointercancel', end);
}

function frontView() {
  if (state.view.yaw !== 0 || state.view.pitch !== 0) {
    state.view = kFront;
    redrawTurned();
  }
}

async function start() {
  core = await instantiate();
  buildFields();
  fitCanvas();
  // Zooming changes the device pixel ratio and resizes the window.
  window.addEventListener('resize', fitCanvas);
  if (location.hash.length > 1) {
    applyLink();
  }
  showMessages();
  $('dialog').addEventListener('submit', (event) => {
    event.preventDefault();
    draw({ fresh: true });
  });
  secondField.addEventListener('input', () => draw());
  $('stop').addEventListener('click', () => {
    stop();
    stopSaving();
  });
  $('front').addEventListener('click', frontView);
  buildSaveButtons();
  $('copy-link').addEventListener('click', async () => {
    try {
      await navigator.clipboard.writeText(location.href);
      say('Copied the link.');
    } catch {
      say(`The link: ${location.href}`);
    }
  });
  document.addEventListener('keydown', (event) => {
    if (event.key === 'Escape') {
      stop();
      stopSaving();
    }
  });
  canvas.addEventListener('keydown', (event) => {
    if (event.key === 'Home') {
      frontView();
    }
  });
  canvas.addEventListener('pointerdown', startDrag);
  window.addEventListener('hashchange', () => {
    applyLink();
    showMessages();
    draw();
  });
  document.body.dataset.ready = 'true';
  draw();
}

start();
