// The page: the dialog's fields, the canvas and the share link. The core reads every field and
// every link value by the rules the desktop programs use, once a tree; the trees are drawn in a
// worker, so the page never waits for one.
import Arbolith from './arbolith.js';
import { treeWorkers } from './tree-workers.js';
import { View3D } from './view3d.js';
import { Crc32, zipFiles } from './zip.js';

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
let wheelRest = 0;

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
  neighbours: null,    // the worker drawing the trees of the neighbouring seconds, if any
  nextId: 1,
  linkNotes: [],
  fieldNotes: [],
  latestPress: -1,     // the second the latest press drew; below 0 for none
  zoom: null,          // device pixels a picture pixel chosen by zooming; null follows the room
  pan: { x: 0, y: 0 }, // how far the picture lies from the middle of its room, in CSS pixels
  view3d: null,        // the 3-D view, once first shown
  showing3d: false,
  growing3d: false,    // the 3-D view is growing its records
};

// How a run stands, numbered as the core's RunState.
const kDrawing = 0;
const kComplete = 1;
const kStopped = 2;

function oneLine(text) {
  return text.replace(/[\r\n]/g, ' ');
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

// Shows the text on the status line, as every message is shown, the arbolith-render command in it
// as code.
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
  const worker = treeWorkers(compiled);
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
      showNeighbours();
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

// Stop (and Esc) ends a run, the 3-D view's growth or a saving, whichever is going.
function updateStop() {
  $('stop').disabled = !state.run && !state.saver && !state.growing3d;
}

// Ends the run going, if any: the canvas keeps its picture, which holds exactly the polygons
// counted when it was taken, so the stopped tree is the tree with that branch limit.
function stop() {
  state.view3d?.stop();
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

// "Generate new tree": a new second every press (ui/TreeSeconds.h), held in the second field so
// that an edit retunes its tree.
function press() {
  const typed = Number(secondField.value.trim());
  const shown = /^\d+$/.test(secondField.value.trim()) ? typed
    : state.second === null ? -1 : Number(state.second);
  state.latestPress = core.pressedSecond(Number(nowSecond()), state.latestPress, shown);
  secondField.value = String(state.latestPress);
  draw();
}

// The tree of the second `step` seconds from the one held (or shown, or now).
function stepSecond(step) {
  const typed = secondField.value.trim();
  const held = /^\d+$/.test(typed) ? Number(typed) : Number(state.second ?? nowSecond());
  secondField.value = String(core.neighbourSecond(held, step));
  draw();
}

// Draws the fields' tree: of the second the second field shows, or else of the latest tree's
// second (the moment's, for the first). A limit keeps as many branches as a stopped tree.
function draw({ limit = Infinity } = {}) {
  const typed = secondField.value.trim();
  const second = typed || (state.second === null ? nowSecond() : state.second);
  const entry = treeEntry(second, limit);
  const tree = core.readTree(entry);
  state.fieldNotes = [];
  if (tree.error) {
    state.fieldNotes.push(tree.error);
    tree.delete();
    showMessages();
    return;
  }
  noteFieldReadings();
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
  if (state.showing3d) {
    state.view3d.setTree(entry, tree.total);
  }
}

// Draws the tree on the canvas again, as many branches as it shows, after the view changed.
function redrawTurned() {
  const shown = state.shown;
  const limit = shown && shown.state === kStopped ? shown.drawn : Infinity;
  draw({ limit });
}

// A field whose text reads as something else says so, and shows it.
function noteFieldReadings() {
  state.fieldNotes = [];
  for (const field of state.fields) {
    const note = core.readingNote(field.id, oneLine(field.input.value));
    field.input.classList.toggle('noted', note !== '');
    if (note) {
      state.fieldNotes.push(note);
    }
    syncSlider(field);
  }
}

// A slider shows its field's value where it lies in the slider's range.
function syncSlider(field) {
  const value = Number(field.input.value.trim());
  if (field.slider && Number.isFinite(value) && field.input.value.trim() !== '') {
    field.slider.value = String(value);
  }
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

// Each field on a row of its own with a slider beside it over the range that makes sense; the
// field keeps any text the dialog's rules read, and says what it does while it has the focus.
function buildFields() {
  const list = core.fields();
  const box = $('fields');
  box.replaceChildren();
  $('hint').textContent = 'Point at a field, or tap it, to see what it does.';
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
    input.title = field.hint;
    input.addEventListener('input', () => draw());
    const slider = document.createElement('input');
    slider.type = 'range';
    slider.min = String(field.low);
    slider.max = String(field.high);
    slider.step = String(field.step);
    slider.tabIndex = -1;
    slider.setAttribute('aria-label', `${field.heading} ${field.label}`.replace(/:/g, '').trim());
    slider.addEventListener('input', () => {
      input.value = slider.value;
      draw();
    });
    for (const control of [input, slider]) {
      control.addEventListener('focus', () => { $('hint').textContent = field.hint; });
    }
    const row = document.createElement('p');
    row.className = 'row';
    row.append(label, input, slider);
    if (field.heading) {
      if (!group || group.dataset.heading !== field.heading) {
        const heading = document.createElement('p');
        heading.className = 'heading';
        heading.textContent = field.heading;
        heading.setAttribute('aria-hidden', 'true');
        group = document.createElement('div');
        group.className = 'point';
        group.dataset.heading = field.heading;
        box.append(heading, group);
      }
      group.append(row);
    } else {
      group = null;
      box.append(row);
    }
    const built = { ...field, input, slider };
    syncSlider(built);
    state.fields.push(built);
  }
}

// The presets of the one table: choosing one fills the fields and the second, and draws.
function buildPresets() {
  const choice = $('preset');
  const presets = core.presets();
  for (const preset of presets) {
    const option = document.createElement('option');
    option.value = preset.name;
    option.textContent = `${preset.name}: ${preset.description}`;
    choice.append(option);
  }
  choice.addEventListener('change', () => {
    const preset = presets.find((p) => p.name === choice.value);
    if (!preset) {
      return;
    }
    state.fields.forEach((field, i) => {
      field.input.value = preset.fields[i];
    });
    secondField.value = preset.second;
    draw();
  });
}

// The canvas's bitmap is the picture itself. It fills the room it is given: as large as the
// room holds it in whole device pixels a picture pixel, each a sharp block, or scaled down where
// even its own size does not fit; zooming steps through these scales about the pointer.
const kZoomSteps = [0.25, 1 / 3, 0.5, 1, 2, 3, 4, 6, 8, 12, 16];
const viewport = $('viewport');
const kPicture = { width: 560, height: 670 };

// The room for the picture, in CSS pixels: the column's width, and the window's height less
// what goes below the picture (on a phone, most of the screen, the fields below).
function room() {
  const narrow = window.matchMedia('(max-width: 720px)').matches;
  const height = narrow ? window.innerHeight * 0.75
    : window.innerHeight - viewport.getBoundingClientRect().top - window.scrollY - 80;
  return { width: viewport.clientWidth - 2, height: Math.max(height, 120) - 2 };
}

// Device pixels a picture pixel where the scale follows the room.
function fittingScale() {
  const ratio = window.devicePixelRatio || 1;
  const space = room();
  const across = (space.width * ratio) / kPicture.width;
  const down = (space.height * ratio) / kPicture.height;
  const whole = Math.min(Math.floor(across), Math.floor(down), 16);
  return whole >= 1 ? whole : Math.min(across, down);
}

function pictureScale() {
  return state.zoom ?? fittingScale();
}

// Sizes the room to the picture as it fits there, and places the canvas in it.
function layoutPicture() {
  const ratio = window.devicePixelRatio || 1;
  const fit = fittingScale();
  const scale = pictureScale();
  const width = (kPicture.width * scale) / ratio;
  const height = (kPicture.height * scale) / ratio;
  viewport.style.height = `${(kPicture.height * fit) / ratio + 2}px`;
  const space = { width: viewport.clientWidth, height: viewport.clientHeight };
  // Centred where it fits; a larger picture keeps covering the room however it is moved.
  const clamp = (pan, length, across) => (length + 2 <= across ? 0
    : Math.min(Math.max(pan, (across - length - 2) / 2), (length + 2 - across) / 2));
  state.pan = { x: clamp(state.pan.x, width, space.width), y: clamp(state.pan.y, height, space.height) };
  canvas.style.width = `${width}px`;
  canvas.style.height = `${height}px`;
  canvas.style.left = `${(space.width - width - 2) / 2 + state.pan.x}px`;
  canvas.style.top = `${(space.height - height - 2) / 2 + state.pan.y}px`;
  canvas.classList.toggle('reduced', scale < 1);
  // The 3-D view takes the picture's place, at the size the picture fits the room.
  const view3d = $('view3d');
  const fitted = { width: (kPicture.width * fit) / ratio, height: (kPicture.height * fit) / ratio };
  view3d.style.width = `${fitted.width}px`;
  view3d.style.height = `${fitted.height}px`;
  view3d.style.left = `${(space.width - fitted.width - 2) / 2}px`;
  view3d.style.top = '0';
  $('zoom-level').textContent = scale >= 1 ? `${Math.round(scale)}×`
    : `${Math.round(scale * 100)} %`;
  $('zoom-level').title = state.zoom === null ? 'As large as the room holds it' : 'Zoomed';
}

// Zooms whole steps in (or out, below 0), keeping the picture's point under `about` (client
// coordinates) where it is.
function zoomBy(steps, about) {
  const from = pictureScale();
  let at = steps > 0 ? kZoomSteps.findIndex((s) => s > from + 1e-9)
    : kZoomSteps.findLastIndex((s) => s < from - 1e-9);
  if (at < 0) {
    at = steps > 0 ? kZoomSteps.length - 1 : 0;
  }
  at = Math.min(Math.max(at + steps - Math.sign(steps), 0), kZoomSteps.length - 1);
  const to = kZoomSteps[at];
  const box = canvas.getBoundingClientRect();
  const point = about ?? { x: box.left + box.width / 2, y: box.top + box.height / 2 };
  const before = { x: point.x - box.left, y: point.y - box.top };
  state.zoom = to;
  // The point moves with the scale about the canvas's middle; the pan takes it back.
  state.pan.x -= (before.x - box.width / 2) * (to / from - 1);
  state.pan.y -= (before.y - box.height / 2) * (to / from - 1);
  layoutPicture();
}

function fitRoom() {
  state.zoom = null;
  state.pan = { x: 0, y: 0 };
  layoutPicture();
}

function panBy(dx, dy) {
  state.pan.x += dx;
  state.pan.y += dy;
  layoutPicture();
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

// Tells what a save wrote, and marks it for the page's tests.
function saved(names, note = '') {
  say(`Saved ${names.join(' and ')}${note}.`);
  document.body.dataset.saved = names.join(',');
}

function saveScale() {
  return Number($('save-scale').value);
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
  const scale = saveScale();
  const larger = format === 'png' || format === 'svg' ? scale : 1;
  const tree = core.readTree(shown.entry);
  const base = `arbolith-${tree.second}${larger > 1 ? `-${larger}x` : ''}`;
  let name = `${base}.${format}`;
  const levelsOfDetail = Number($('levels-of-detail').value);
  const most = tree.mostBytes(format, name, larger, levelsOfDetail);
  const command = tree.command && larger === 1 ? tree.command : '';
  tree.delete();
  if (format === 'png' && larger === 1) {
    canvas.toBlob((blob) => {
      download(blob, name);
      saved([name]);
    }, 'image/png');
    return;
  }
  stopSaving('');
  // A file picked for a large one: an OBJ goes there alone, as to any single stream, naming no
  // material library.
  let writable = null;
  // A picture (PNG) has no such bound: however large the tree, it is its pixels.
  if (Number.isFinite(most) && most > kLargestHeld) {
    const picked = await pickFile(name, most, command);
    if (!picked) {
      return;
    }
    ({ name, writable } = picked);
  }
  const saving = { worker: newSaver(), writable, files: [], writing: Promise.resolve() };
  state.saver = saving;
  updateStop();
  const going = () => state.saver === saving;
  const fail = (reason) => {
    if (going()) {
      stopSaving(`Could not save ${name}: ${reason}.`);
    }
  };
  const done = (names, note) => {
    state.saver = null;
    saving.worker.terminate();
    updateStop();
    saved(names, note);
  };
  // A file's parts in order: into the picked file, or gathered into blobs, counted for an archive.
  const take = (index, bytes) => {
    if (writable) {
      saving.writing = saving.writing.then(() => writable.write(bytes));
      saving.writing.catch((error) => fail(error.message));
      return;
    }
    const file = saving.files[index] ??= { parts: [], held: [], heldBytes: 0, size: 0,
      crc: new Crc32() };
    if (format === 'obj') {
      file.crc.add(bytes);
    }
    file.size += bytes.length;
    file.held.push(bytes);
    file.heldBytes += bytes.length;
    if (file.heldBytes >= kBlobBytes) {
      file.parts.push(new Blob(file.held.splice(0)));
      file.heldBytes = 0;
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
    if (writable) {
      done([name], format === 'obj' ? ', alone: arbolith-render writes its material library too'
        : '');
      return;
    }
    const files = saving.files.map((file, i) => ({
      name: i === 0 ? name : core.materialLibraryName(name),
      parts: [...file.parts, ...file.held],
      size: file.size,
      crc: file.crc.value,
    }));
    if (files.length > 1) {
      // A file and the files it names beside it, in one archive.
      const archive = `${base}.zip`;
      download(zipFiles(files), archive);
      done([archive], `, holding ${files.map((f) => f.name).join(' and ')}`);
      return;
    }
    download(new Blob(files[0].parts), name);
    done([name]);
  };
  // The larger picture through the browser's own encoder, as the canvas's is.
  const encode = async (picture) => {
    try {
      const encoder = new OffscreenCanvas(picture.width, picture.height);
      encoder.getContext('2d').putImageData(new ImageData(
        new Uint8ClampedArray(picture.pixels.buffer), picture.width, picture.height), 0, 0);
      const blob = await encoder.convertToBlob({ type: 'image/png' });
      if (going()) {
        download(blob, name);
        done([name]);
      }
    } catch (error) {
      fail(error.message);
    }
  };
  say(`Saving ${name}… Esc stops.`);
  saving.worker.onerror = (event) => {
    event.preventDefault();
    fail(event.message || 'the page\'s writer failed');
  };
  saving.worker.onmessageerror = () => fail('a part of the file could not be passed on');
  let picture = null;
  saving.worker.onmessage = ({ data }) => {
    if (!going()) {
      return;
    }
    if (data.kind === 'progress') {
      say(`Saving ${name}: ${data.done.toLocaleString('en')} branches…`);
    } else if (data.kind === 'picture') {
      picture = data;
    } else if (data.kind === 'part') {
      take(data.file, data.bytes);
    } else if (!data.ok) {
      fail(data.reason ?? 'the writer gave up');
    } else if (data.kind === 'larger') {
      encode(picture);
    } else {
      finish();
    }
  };
  if (format === 'png') {
    saving.worker.postMessage({ kind: 'larger', entry: shown.entry, scale: larger });
  } else {
    saving.worker.postMessage({ kind: 'write', format, entry: shown.entry,
      fileName: writable ? '' : name, scale: larger, levelsOfDetail });
  }
}

// A button for each row of the format table that this build writes, and PNG, which the
// browser's encoder writes from the canvas; the levels of detail a 3-D file may hold.
function buildSaveButtons() {
  for (let levels = 1; levels <= core.mostLevelsOfDetail; levels++) {
    $('levels-of-detail').append(new Option(String(levels), String(levels)));
  }
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

// The pointers down on the canvas: one turns the view, as the desktop's drag does, a degree for
// every two CSS pixels whatever the picture's scale; two pinch to zoom and move the picture
// together, as does a drag with the middle button or with Shift.
const pointers = new Map();

function startDrag(event) {
  const panning = event.button === 1 || (event.button === 0 && event.shiftKey);
  if (event.button !== 0 && !panning) {
    return;
  }
  event.preventDefault();
  canvas.setPointerCapture(event.pointerId);
  pointers.set(event.pointerId, { x: event.clientX, y: event.clientY });
  if (pointers.size === 2) {
    return;
  }
  if (pointers.size > 2) {
    return;
  }
  canvas.classList.add('dragging');
  const from = state.view;
  const start = { x: event.clientX, y: event.clientY };
  let last = start;
  let pinch = null;
  const move = (e) => {
    if (!pointers.has(e.pointerId)) {
      return;
    }
    pointers.set(e.pointerId, { x: e.clientX, y: e.clientY });
    if (pointers.size === 2) {
      const [a, b] = [...pointers.values()];
      const middle = { x: (a.x + b.x) / 2, y: (a.y + b.y) / 2 };
      const distance = Math.hypot(a.x - b.x, a.y - b.y);
      if (pinch) {
        panBy(middle.x - pinch.middle.x, middle.y - pinch.middle.y);
        const steps = Math.trunc(Math.log2(distance / pinch.distance) / 0.5);
        if (steps !== 0) {
          zoomBy(steps, middle);
          pinch.distance = distance;
        }
        pinch.middle = middle;
      } else {
        pinch = { middle, distance };
      }
      return;
    }
    if (panning || pinch) {
      panBy(e.clientX - last.x, e.clientY - last.y);
      last = { x: e.clientX, y: e.clientY };
      return;
    }
    const view = core.viewAfterDrag(from, Math.trunc(e.clientX - start.x),
      Math.trunc(e.clientY - start.y));
    if (view.yaw !== state.view.yaw || view.pitch !== state.view.pitch) {
      state.view = view;
      redrawTurned();
    }
  };
  const end = (e) => {
    pointers.delete(e.pointerId);
    if (pointers.size > 0) {
      return;
    }
    canvas.classList.remove('dragging');
    canvas.removeEventListener('pointermove', move);
    canvas.removeEventListener('pointerup', end);
    canvas.removeEventListener('pointercancel', end);
  };
  canvas.addEventListener('pointermove', move);
  canvas.addEventListener('pointerup', end);
  canvas.addEventListener('pointercancel', end);
}

// More like this: the trees of the seconds round the one shown, drawn small in a worker of their
// own; a click takes one's second.
const kNeighboursEachSide = 3;
const kLargestNeighbours = 2000000;

function showNeighbours() {
  const strip = $('neighbours');
  state.neighbours?.terminate();
  state.neighbours = null;
  if (strip.hidden || !state.shown || state.shown.state !== kComplete) {
    return;
  }
  strip.replaceChildren();
  if (state.tree.total > kLargestNeighbours) {
    const note = document.createElement('p');
    note.textContent = 'Too large a tree to draw its neighbours in a moment.';
    strip.append(note);
    return;
  }
  const seconds = core.neighbourSeconds(state.tree.second, kNeighboursEachSide);
  const pictures = seconds.map((second) => {
    const button = document.createElement('button');
    button.type = 'button';
    button.title = `The tree of second ${second}`;
    const picture = document.createElement('canvas');
    picture.width = 112;
    picture.height = 134;
    button.append(picture, String(second));
    button.addEventListener('click', () => {
      secondField.value = String(second);
      draw();
    });
    strip.append(button);
    return picture;
  });
  const worker = newSaver();
  state.neighbours = worker;
  let next = 0;
  const ask = () => worker.postMessage({ kind: 'larger', scale: 1,
    entry: { ...state.shown.entry, second: String(seconds[next]) } });
  worker.onmessage = async ({ data }) => {
    if (data.kind === 'picture') {
      const bitmap = await createImageBitmap(new ImageData(
        new Uint8ClampedArray(data.pixels.buffer), data.width, data.height));
      const small = pictures[next].getContext('2d');
      small.imageSmoothingQuality = 'high';
      small.drawImage(bitmap, 0, 0, 112, 134);
    } else if (data.kind === 'larger') {
      next += 1;
      if (next < seconds.length) {
        ask();
      } else {
        worker.terminate();
        document.body.dataset.neighbours = seconds.join(',');
      }
    }
  };
  ask();
}

function frontView() {
  if (state.view.yaw !== 0 || state.view.pitch !== 0) {
    state.view = kFront;
    redrawTurned();
  }
}

// The picture, the default, or the tree in 3-D in the canvas's place; the 3-D view grows its
// records only while it is shown.
function showViews(in3d) {
  state.showing3d = in3d;
  // Made when first shown: a page that never shows it keeps no WebGL context.
  if (in3d) {
    state.view3d ??= new View3D($('view3d'), $('view3d-note'), core,
                               { onChange: show3dProgress, worker: newSaver });
  }
  const view3d = state.view3d;
  if (!view3d) {
    return;
  }
  $('show-picture').setAttribute('aria-pressed', String(!in3d));
  $('show-3d').setAttribute('aria-pressed', String(in3d));
  $('from-here').disabled = !in3d || Boolean(view3d.unavailable);
  canvas.hidden = in3d;
  $('view3d').hidden = !in3d || Boolean(view3d.unavailable);
  $('view3d-note').hidden = !in3d || !view3d.unavailable;
  $('view3d-note').textContent = view3d.unavailable;
  document.body.dataset.shown = in3d ? '3d' : 'picture';
  if (!in3d) {
    view3d.stop();
  } else if (state.tree) {
    view3d.setTree(state.run?.entry ?? state.shown.entry, state.tree.total);
    view3d.requestDraw();
  }
}

// The 3-D view's growth shows on the progress bar once the picture's run has ended, and Stop
// (or Esc) ends it as it ends that run.
function show3dProgress({ grown, expected, going }) {
  document.body.dataset.scene = going ? 'growing' : 'complete';
  state.growing3d = going;
  if (!state.run) {
    progress.hidden = !going;
    progress.value = expected > 0 ? Math.min(grown / expected, 1) : 0;
  }
  updateStop();
}

function pictureFromHere() {
  state.view = state.view3d.pictureView();
  showViews(false);
  redrawTurned();
}

async function start() {
  core = await instantiate();
  buildFields();
  buildPresets();
  layoutPicture();
  // The browser's zoom changes the device pixel ratio and resizes the window.
  window.addEventListener('resize', layoutPicture);
  viewport.addEventListener('wheel', (event) => {
    event.preventDefault();
    wheelRest += event.deltaY;
    const steps = Math.trunc(wheelRest / 100);
    wheelRest -= steps * 100;
    if (steps !== 0) {
      zoomBy(-steps, { x: event.clientX, y: event.clientY });
    }
  }, { passive: false });
  $('zoom-in').addEventListener('click', () => zoomBy(1));
  $('zoom-out').addEventListener('click', () => zoomBy(-1));
  $('zoom-fit').addEventListener('click', fitRoom);
  $('more').addEventListener('click', () => {
    const strip = $('neighbours');
    strip.hidden = !strip.hidden;
    $('more').setAttribute('aria-pressed', String(!strip.hidden));
    showNeighbours();
  });
  $('previous').addEventListener('click', () => stepSecond(-1));
  $('next').addEventListener('click', () => stepSecond(1));
  if (location.hash.length > 1) {
    applyLink();
  } else {
    // It opens as the desktop program does, on the example tree of its second, held.
    secondField.value = core.presets()[0].second;
  }
  showMessages();
  $('dialog').addEventListener('submit', (event) => {
    event.preventDefault();
    press();
  });
  // Enter in the second's field draws the second typed there, not a new one.
  secondField.addEventListener('keydown', (event) => {
    if (event.key === 'Enter') {
      event.preventDefault();
      draw();
    }
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
    if (event.key === 'PageUp' || event.key === 'PageDown') {
      event.preventDefault();
      stepSecond(event.key === 'PageUp' ? -1 : 1);
    }
    if (event.key === 'Escape') {
      stop();
      stopSaving();
    }
  });
  canvas.addEventListener('keydown', (event) => {
    if (event.key === 'Home') {
      frontView();
    } else if (event.key === '+' || event.key === '=') {
      zoomBy(1);
    } else if (event.key === '-') {
      zoomBy(-1);
    } else if (event.key === '0') {
      fitRoom();
    }
  });
  canvas.addEventListener('pointerdown', startDrag);
  $('show-picture').addEventListener('click', () => showViews(false));
  $('show-3d').addEventListener('click', () => showViews(true));
  $('from-here').addEventListener('click', pictureFromHere);
  window.addEventListener('hashchange', () => {
    applyLink();
    showMessages();
    draw();
  });
  document.body.dataset.ready = 'true';
  draw();
}

start();
