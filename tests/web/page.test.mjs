// The page in a real browser against arbolith-render: the same pixels and the same files for
// the same values, second and view.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { mkdtemp, readFile } from 'node:fs/promises';
import { join } from 'node:path';
import { test } from 'node:test';

import { followLink, openPage, waitForTree } from './browser.mjs';
import { browser, folder, renderTo, renderer, useBrowser } from './session.mjs';

useBrowser();

// arbolith-render's file for the arguments.
let files = 0;
async function render(args, extension = 'png') {
  const path = join(folder, `render-${files++}.${extension}`);
  renderTo(args, path);
  return readFile(path);
}

// The files of a zip archive that stores them as they are, by name, in its order.
function storedZipEntries(bytes) {
  const entries = new Map();
  let at = 0;
  while (bytes.readUInt32LE(at) === 0x04034b50) {
    assert.equal(bytes.readUInt16LE(at + 8), 0, 'stored, not compressed');
    const size = bytes.readUInt32LE(at + 18);
    const nameLength = bytes.readUInt16LE(at + 26);
    const extra = bytes.readUInt16LE(at + 28);
    const name = bytes.subarray(at + 30, at + 30 + nameLength).toString('utf8');
    const start = at + 30 + nameLength + extra;
    entries.set(name, bytes.subarray(start, start + size));
    at = start + size;
  }
  assert.equal(bytes.readUInt32LE(at), 0x02014b50, 'the central directory follows the files');
  return entries;
}

function argsOfLink(fragment) {
  return fragment.split('&').flatMap((pair) => {
    const [key, value] = pair.split('=');
    return [`--${key}`, value];
  });
}

// Pixels in which the canvas differs from the PNG, each decoded by the browser.
function differingPixels(page, png) {
  return page.evaluate(async (base64) => {
    const bytes = Uint8Array.from(atob(base64), (c) => c.charCodeAt(0));
    const bitmap = await createImageBitmap(new Blob([bytes], { type: 'image/png' }),
      { colorSpaceConversion: 'none', premultiplyAlpha: 'none' });
    const picture = new OffscreenCanvas(bitmap.width, bitmap.height).getContext('2d');
    picture.drawImage(bitmap, 0, 0);
    const theirs = picture.getImageData(0, 0, bitmap.width, bitmap.height).data;
    const canvas = document.getElementById('canvas');
    const ours = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
    if (ours.length !== theirs.length) {
      return -1;
    }
    let differing = 0;
    for (let i = 0; i < ours.length; i += 4) {
      differing += ours[i] !== theirs[i] || ours[i + 1] !== theirs[i + 1] ||
        ours[i + 2] !== theirs[i + 2] ? 1 : 0;
    }
    return differing;
  }, png.toString('base64'));
}

// The link's tree with the branch limit, drawn by the module itself on the page's own thread, as
// a PNG.
async function limitedPicture(page, fragment, branchLimit) {
  const base64 = await page.evaluate(async ({ link, limit }) => {
    const { default: Arbolith } = await import(new URL('arbolith.js', location.href).href);
    let picture = null;
    const core = await Arbolith({
      onPicture(pixels, width, height) {
        picture = new ImageData(new Uint8ClampedArray(pixels.buffer), width, height);
      },
    });
    const read = core.readLink(link);
    const tree = core.readTree({ fields: read.fields, second: read.second, view: read.view,
      branchLimit: limit });
    core.drawTree(tree);
    tree.delete();
    const canvas = new OffscreenCanvas(picture.width, picture.height);
    canvas.getContext('2d').putImageData(picture, 0, 0);
    const bytes = new Uint8Array(await (await canvas.convertToBlob({ type: 'image/png' }))
      .arrayBuffer());
    return btoa(Array.from(bytes, (byte) => String.fromCharCode(byte)).join(''));
  }, { link: fragment, limit: branchLimit });
  return Buffer.from(base64, 'base64');
}

test('trees drawn from share links are arbolith-render\'s pixels', async () => {
  const links = [
    'time=1000000006',
    'max-xy=33&max-yz=17&max-xz=58&scale=0.71&limbs=4&reference=300,600,25&vector=15,-140,-30&levels=6&time=1234567890',
    'limbs=0&levels=5&time=1500000000',
    'limbs=0&levels=4&scale=0.6&time=1500000001',
    'time=1000000006&view=35,10',
    'view=-120,-45&levels=6&limbs=2&time=42',
    'view=180,90&time=3',
    'levels=0&time=7',
    'scale=0&time=99',
    'vector=0,0,0&time=5',
    'scale=1e300&levels=3&time=11',
    'reference=-5000,99999,7&max-xy=-2147483648&levels=4&time=4294967295',
    // Large enough to grow in one worker while the other draws it.
    'limbs=2&levels=18&time=1000000006',
    'limbs=2&levels=15&view=-40,25&time=1234',
    'scale=1e300&limbs=2&levels=15&time=12',
  ];
  const page = await openPage(browser);
  for (const link of links) {
    await followLink(page, link);
    assert.equal(await differingPixels(page, await render(argsOfLink(link))), 0, link);
  }
  await page.close();
});

test('typing the second draws its tree; every press draws a new tree and holds its second', async () => {
  const page = await openPage(browser);
  await page.getByLabel('Limbs degree:').fill('2');
  await page.getByLabel('Levels:').fill('9');
  await page.getByLabel('Scale factor:').fill('8d-1');
  await page.getByLabel('First vector: Y:').fill('-170');
  await page.getByLabel('Second:').fill('1111111111');
  await waitForTree(page);
  assert.match(await page.locator('#status').textContent(),
    /^Tree of second 1111111111, 2,047 branches\. arbolith-render --time 1111111111 .* draws it again\.$/);
  assert.match(page.url(), /limbs=2&.*levels=9&.*time=1111111111/);
  const png = await render(['--limbs', '2', '--levels', '9', '--scale', '0.8', '--vector',
    '-40,-170,0', '--time', '1111111111']);
  assert.equal(await differingPixels(page, png), 0);
  // Each press a second of its own, from the clock on, shown in the second field.
  const before = Math.floor(Date.now() / 1000);
  const pressed = [];
  for (let press = 0; press < 3; press++) {
    await page.getByRole('button', { name: 'Generate new tree' }).click();
    await waitForTree(page);
    const second = Number(/time=(\d+)/.exec(page.url())[1]);
    assert.equal(await page.getByLabel('Second:').inputValue(), String(second));
    pressed.push(second);
  }
  assert.equal(new Set(pressed).size, 3, pressed.join(' '));
  assert.ok(pressed[0] >= before && pressed[0] <= Math.floor(Date.now() / 1000) + 1, page.url());
  // Next and Previous, and their keys, step to the neighbouring trees.
  const held = pressed[2];
  await page.getByRole('button', { name: 'Next' }).click();
  await page.waitForFunction((s) => location.hash.includes(`time=${s}`), held + 1);
  await page.getByLabel('Levels:').press('PageUp');
  await page.waitForFunction((s) => location.hash.endsWith(`time=${s}`), held);
  await waitForTree(page);
  assert.equal(await page.getByLabel('Second:').inputValue(), String(held));
  // Enter in the second's field draws the second typed there.
  await page.getByLabel('Second:').fill('77');
  await page.getByLabel('Second:').press('Enter');
  await waitForTree(page);
  assert.match(page.url(), /time=77$/);
  await page.close();
});

test('a drag turns the view as the desktop does, and the status line\'s command draws the canvas', async () => {
  const page = await openPage(browser, 'time=1000000006&levels=6');
  // A degree for every two CSS pixels, as the desktop's for every two screen pixels, whatever
  // the picture's scale.
  const box = await page.locator('#canvas').boundingBox();
  const ratio = 1;
  await page.mouse.move(box.x + 200, box.y + 300);
  await page.mouse.down();
  await page.mouse.move(box.x + 200 + 71 / ratio, box.y + 300 + 21 / ratio, { steps: 5 });
  await page.mouse.up();
  await page.waitForFunction(() => location.hash.includes('view=35,10'));
  await waitForTree(page);
  const command = await page.locator('#status code').textContent();
  assert.match(command, /^arbolith-render --time 1000000006 --levels 6 --view 35,10$/);
  assert.equal(await differingPixels(page, await render(command.split(' ').slice(1))), 0);
  // Far down the pitch stops at straight above.
  await page.mouse.move(box.x + 100, box.y + 100);
  await page.mouse.down();
  await page.mouse.move(box.x + 100, box.y + 100 + 400 / ratio, { steps: 4 });
  await page.mouse.up();
  await page.waitForFunction(() => location.hash.includes('view=35,90'));
  await page.getByRole('button', { name: 'Front view' }).click();
  await page.waitForFunction(() => location.hash.includes('view=0,0'));
  await waitForTree(page);
  await page.close();
});

test('saved files are arbolith-render\'s bytes, the PNG its pixels', async () => {
  const link = 'limbs=2&levels=8&time=1700000000&view=20,-15';
  const page = await openPage(browser, link);
  // The format table's rows this build writes, and PNG from the canvas: no PDF.
  assert.deepEqual(await page.locator('#saving button').allTextContents(),
    ['PNG', 'SVG', 'GLB', 'OBJ']);
  const args = argsOfLink(link);
  // One download a save, which the status line names; an OBJ and its material library come in
  // one zip archive. Levels of detail go into the 3-D files alone.
  for (const [format, levels] of [['svg', 3], ['glb', 0], ['obj', 0], ['glb', 3], ['obj', 2]]) {
    const names = format === 'obj' ? ['arbolith-1700000000.obj', 'arbolith-1700000000.mtl']
      : [`arbolith-1700000000.${format}`];
    await page.locator('#levels-of-detail').selectOption(String(levels));
    const [download] = await Promise.all([page.waitForEvent('download'),
      page.locator(`[data-format=${format}]`).click()]);
    await page.waitForFunction(() => document.body.dataset.saved);
    const file = download.suggestedFilename();
    assert.equal(file, format === 'obj' ? 'arbolith-1700000000.zip' : names[0]);
    assert.match(await page.locator('#status').textContent(), new RegExp(`^Saved ${file}`));
    const bytes = await readFile(await download.path());
    const received = format === 'obj' ? storedZipEntries(bytes) : new Map([[file, bytes]]);
    assert.deepEqual([...received.keys()], names);
    const cliFolder = await mkdtemp(join(folder, 'cli-'));
    // A 3-D file holds the tree itself, whatever the view.
    const formatArgs = format === 'svg' ? args
      : [...argsOfLink(link.replace(/&view=[^&]*/, '')), ...(levels ? ['--lod', String(levels)] : [])];
    const run = spawnSync(renderer, [...formatArgs, '-o', join(cliFolder, names[0])],
      { encoding: 'utf8' });
    assert.equal(run.status, 0, run.stderr);
    for (const [name, ours] of received) {
      const theirs = await readFile(join(cliFolder, name));
      assert.ok(ours.equals(theirs), `${name} differs from arbolith-render's`);
    }
    await page.evaluate(() => { delete document.body.dataset.saved; });
  }
  const [png] = await Promise.all([page.waitForEvent('download'),
    page.locator('[data-format=png]').click()]);
  assert.equal(png.suggestedFilename(), 'arbolith-1700000000.png');
  await page.waitForFunction(() => document.body.dataset.saved === 'arbolith-1700000000.png');
  assert.equal(await page.locator('#status').textContent(), 'Saved arbolith-1700000000.png.');
  // The canvas is the saved picture: compare the file with arbolith-render's through it.
  const saved = await readFile(await png.path());
  assert.equal(await differingPixels(page, saved), 0);
  assert.equal(await differingPixels(page, await render(args)), 0);
  // A file is named after the tree's second, however the second field writes it.
  await page.getByLabel('Second:').fill('0042');
  await waitForTree(page);
  const [named] = await Promise.all([page.waitForEvent('download'),
    page.locator('[data-format=png]').click()]);
  assert.equal(named.suggestedFilename(), 'arbolith-42.png');
  await page.close();
});

test('a large tree grows in the background and Esc stops it; the page goes on', async () => {
  const page = await openPage(browser, 'levels=0&time=5');
  // Deep enough to take seconds, shallow enough that every few thousand branches change pixels.
  const large = 'scale=0.9&limbs=2&levels=24&time=5';
  await page.evaluate((link) => { location.hash = link; }, large);
  await page.waitForFunction(() => document.body.dataset.run === 'drawing' &&
    /: [1-9][\d,]* of 67,108,863 branches/.test(document.getElementById('status').textContent));
  // The page answers while the tree grows.
  await page.getByLabel('Scale factor:').focus();
  await page.keyboard.press('Escape');
  await page.waitForFunction(() => document.body.dataset.run === 'stopped');
  const stopped = /^Stopped: ([\d,]+) branches of the tree of second 5\.$/
    .exec(await page.locator('#status').textContent());
  assert.ok(stopped, await page.locator('#status').textContent());
  // The canvas holds exactly the branches counted: it is the tree with that branch limit.
  const limit = Number(stopped[1].replaceAll(',', ''));
  assert.equal(await differingPixels(page, await limitedPicture(page, large, limit)), 0);
  await page.getByLabel('Levels:').fill('5');
  await waitForTree(page);
  assert.equal(await page.locator('#status').textContent(),
    'Tree of second 5, 127 branches. arbolith-render --time 5 --scale 0.9 --limbs 2 --levels 5 ' +
    'draws it again.');
  await page.close();
});

test('bad link values and field texts are named, and the rest applies', async () => {
  const page = await openPage(browser, 'levels=abc&limbs=2&view=999,0&bogus=1&time=8');
  const messages = () => page.locator('#messages li').allTextContents();
  assert.deepEqual(await messages(), [
    'Link: invalid value "abc" for levels: expected a whole number within 32 bits, such as 7',
    'Link: invalid value "999,0" for view: expected two whole numbers of degrees YAW,PITCH, ' +
      'yaw from -180 to 180 and pitch from -90 to 90, such as 30,-15',
    'Link: unknown key "bogus": expected one of max-xy, max-yz, max-xz, scale, limbs, ' +
      'reference, vector, levels, view, time',
  ]);
  assert.equal(await page.getByLabel('Limbs degree:').inputValue(), '2');
  assert.equal(await page.getByLabel('Levels:').inputValue(), '7');
  assert.match(await page.locator('#status').textContent(), /^Tree of second 8, 511 branches/);
  // Field texts are read by the dialog's rules: 19 characters, the number at the front.
  await page.getByLabel('Levels:').fill('3 levels');
  await page.getByLabel('Maximal XZ angle:').fill('12345678901234567895');
  await waitForTree(page);
  assert.match(page.url(), /max-xz=2112454933&.*levels=3&/);
  assert.ok((await messages()).includes('Levels: "3 levels" reads as 3'));
  await page.getByLabel('Second:').fill('12x');
  assert.ok((await messages()).includes(
    'invalid value "12x" for the second: expected whole seconds from 0 to 4294967295'));
  await page.close();
});

test('the picture fills its room in whole device pixels a picture pixel, or scaled down', async () => {
  const cases = [[1400, 900, 1], [1400, 900, 2], [1400, 900, 1.5], [1400, 900, 3],
    [1920, 1600, 1], [1000, 600, 1]];
  for (const [width, height, ratio] of cases) {
    const page = await browser.context.newPage();
    const session = await page.context().newCDPSession(page);
    await session.send('Emulation.setDeviceMetricsOverride',
      { width, height, deviceScaleFactor: ratio, mobile: false });
    await page.goto(`${browser.address}#time=1000000006`);
    await waitForTree(page);
    const shown = await page.locator('#canvas').evaluate((canvas) => {
      const room = document.getElementById('viewport').getBoundingClientRect();
      return {
        bitmap: [canvas.width, canvas.height],
        scale: ((canvas.getBoundingClientRect().width - 2) * devicePixelRatio) / canvas.width,
        roomWidth: (room.width - 2) * devicePixelRatio,
        roomBelow: (innerHeight - room.top) * devicePixelRatio,
      };
    });
    const label = `${width}x${height} at ${ratio}`;
    assert.deepEqual(shown.bitmap, [560, 670]);
    const whole = Math.round(shown.scale);
    if (whole >= 1 && Math.abs(shown.scale - whole) < 0.01) {
      // The largest whole scale the room holds.
      assert.ok(560 * whole <= shown.roomWidth + 0.5 && 670 * whole <= shown.roomBelow, label);
      assert.ok(560 * (whole + 1) > shown.roomWidth || 670 * (whole + 1) > shown.roomBelow,
        `${label}: ${whole} times, and the room holds more`);
    } else {
      assert.ok(shown.scale < 1, `${label}: ${shown.scale} times, not a whole number`);
    }
    await page.close();
  }
});

test('messages show what they quote escaped and short, from links and fields alike', async () => {
  const page = await openPage(browser,
    `levels=%E2%80%AE5%22%20is%20fine&limbs=${'9'.repeat(10000)}&time=8`);
  const messages = () => page.locator('#messages li').allTextContents();
  const quoted = `"${'9'.repeat(64)}..." (10,000 characters)`;
  assert.deepEqual(await messages(), [
    'Link: invalid value "\\u202e5" is fine" for levels: expected a whole number within 32 ' +
      'bits, such as 7',
    `Link: invalid value ${quoted} for limbs: expected a whole number within 32 bits, such as 3`,
  ]);
  await page.getByLabel('Levels:').fill(`4\u202e${'x'.repeat(100000)}`);
  await waitForTree(page);
  assert.ok((await messages()).includes(
    `Levels: "4\\u202e${'x'.repeat(62)}..." (100,002 characters) reads as 4`), await messages());
  await page.close();
});

// A saving page whose browser cannot write a file part by part, or whose picked file is stood in
// for by one of the page's own, and whose largest file held may be made small.
async function openSavingPage(fragment, { largestHeld, picker } = {}) {
  const page = await browser.context.newPage();
  page.on('pageerror', (error) => { throw error; });
  await page.addInitScript(({ largest, kind }) => {
    if (largest !== undefined) {
      globalThis.arbolithLargestHeld = largest;
    }
    // The page's own files stand in for the one a person would pick; a writable may fail or
    // hang, as a full disk or a stalled one would.
    const picked = async ({ suggestedName }) => {
      const folder = await navigator.storage.getDirectory();
      const handle = await folder.getFileHandle(suggestedName, { create: true });
      if (kind === 'file') {
        return handle;
      }
      return {
        name: suggestedName,
        async createWritable() {
          const real = await handle.createWritable();
          globalThis.aborted = false;
          return {
            write: (bytes) => (kind === 'full'
              ? Promise.reject(new DOMException('No space left on the disk', 'QuotaExceededError'))
              : new Promise(() => {})),
            close: () => real.close(),
            abort: () => { globalThis.aborted = true; return real.abort(); },
          };
        },
      };
    };
    if (kind) {
      window.showSaveFilePicker = picked;
    } else {
      delete window.showSaveFilePicker;
    }
  }, { largest: largestHeld, kind: picker });
  await page.goto(`${browser.address}#${fragment}`);
  await waitForTree(page);
  return page;
}

const statusText = (page) => page.locator('#status').textContent();

test('a file too large for the page is refused before it starts, pointing to arbolith-render', async () => {
  const page = await openSavingPage('limbs=2&levels=18&time=5&max-xy=0&max-xz=0&max-yz=0');
  await page.locator('[data-format=obj]').click();
  assert.match(await statusText(page), new RegExp(
    '^arbolith-5\\.obj could take up to [\\d.]+ GB, more than this page can hold \\(1\\.1 GB\\); ' +
    'arbolith-render --time 5 .*--levels 18 -o arbolith-5\\.obj writes it\\.$'));
  assert.ok(await page.locator('#stop').isDisabled());
  await page.close();
});

test('a large file goes part by part into the file picked, the same bytes as arbolith-render\'s', async () => {
  const link = 'limbs=2&levels=6&time=1700000000';
  const page = await openSavingPage(link, { largestHeld: 1000, picker: 'file' });
  await page.locator('[data-format=obj]').click();
  await page.waitForFunction(() => document.body.dataset.saved);
  // A single file, as a stream is: the OBJ alone, naming no material library.
  assert.equal(await statusText(page),
    'Saved arbolith-1700000000.obj, alone: arbolith-render writes its material library too.');
  const ours = Buffer.from(await page.evaluate(async () => {
    const folder = await navigator.storage.getDirectory();
    const file = await (await folder.getFileHandle('arbolith-1700000000.obj')).getFile();
    return [...new Uint8Array(await file.arrayBuffer())];
  }));
  const run = spawnSync(renderer, [...argsOfLink(link), '--format', 'obj', '-o', '-'],
    { maxBuffer: 1 << 30 });
  assert.equal(run.status, 0, String(run.stderr));
  assert.ok(ours.equals(run.stdout), 'the OBJ differs from arbolith-render\'s');
  await page.close();
});

test('every saving ends with its file or with a message saying why not', async () => {
  const link = 'limbs=2&levels=6&time=1700000000';
  const full = await openSavingPage(link, { largestHeld: 1000, picker: 'full' });
  await full.locator('[data-format=svg]').click();
  await full.waitForFunction(() => /^Could not/.test(document.getElementById('status').textContent));
  assert.equal(await statusText(full),
    'Could not save arbolith-1700000000.svg: No space left on the disk.');
  assert.ok(await full.evaluate(() => globalThis.aborted && !document.body.dataset.saved));
  assert.ok(await full.locator('#stop').isDisabled());
  await full.close();
  // A saving that makes no progress is stopped by Stop as by Esc.
  const stalled = await openSavingPage(link, { largestHeld: 1000, picker: 'stalled' });
  await stalled.locator('[data-format=glb]').click();
  await stalled.waitForFunction(() => !document.getElementById('stop').disabled);
  await stalled.locator('#stop').click();
  assert.equal(await statusText(stalled), 'Stopped saving; nothing was saved.');
  assert.ok(await stalled.evaluate(() => globalThis.aborted && !document.body.dataset.saved));
  await stalled.close();
});
