// The page as a person uses it on any screen: a phone, a wide window; the presets, the fields'
// hints and sliders, zooming, larger pictures, and a page that loads without a missing file.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { readFile } from 'node:fs/promises';
import { join } from 'node:path';
import { test } from 'node:test';

import { openPage, waitForTree } from './browser.mjs';
import { browser, folder, renderTo, renderer, useBrowser } from './session.mjs';

useBrowser();

function render(args, name) {
  const path = join(folder, name);
  renderTo(args, path);
  return readFile(path);
}

// A page on a screen of this size and device pixel ratio, a touch screen where asked.
async function openScreen(width, height, ratio, touch, fragment = '') {
  const page = await browser.context.newPage();
  const failures = [];
  page.on('response', (response) => {
    if (response.status() >= 400) {
      failures.push(`${response.status()} ${response.url()}`);
    }
  });
  page.on('console', (message) => {
    if (message.type() === 'error') {
      failures.push(message.text());
    }
  });
  const session = await page.context().newCDPSession(page);
  await session.send('Emulation.setDeviceMetricsOverride',
    { width, height, deviceScaleFactor: ratio, mobile: touch });
  await session.send('Emulation.setTouchEmulationEnabled', { enabled: touch });
  await page.goto(`${browser.address}${fragment ? `#${fragment}` : ''}`);
  await waitForTree(page);
  return { page, session, failures };
}

test('on a phone the picture comes first at the screen\'s width, nothing scrolls sideways, and every control takes a finger', async () => {
  const { page, session, failures } = await openScreen(390, 844, 3, true, 'time=1000000006');
  const layout = await page.evaluate(() => {
    const canvas = document.getElementById('canvas').getBoundingClientRect();
    const form = document.getElementById('dialog').getBoundingClientRect();
    const small = [...document.querySelectorAll('button, select, input:not([type=range])')]
      .map((c) => [c.id || c.textContent, c.getBoundingClientRect().height])
      .filter(([, h]) => h < 44);
    return {
      scrollWidth: document.documentElement.scrollWidth,
      canvas: { left: canvas.left, width: canvas.width, bottom: canvas.bottom },
      formTop: form.top,
      small,
      status: document.getElementById('status').getBoundingClientRect().right,
    };
  });
  assert.equal(layout.scrollWidth, 390, 'no sideways scrolling');
  // 2 device pixels a picture pixel: 1120 of the screen's 1170, its border outside.
  assert.ok(Math.abs(layout.canvas.width - 2 - 1120 / 3) < 0.1, `${layout.canvas.width}`);
  assert.ok(layout.formTop >= layout.canvas.bottom, 'the fields below the picture');
  assert.deepEqual(layout.small, [], 'touch targets of at least 44 pixels');
  assert.ok(layout.status <= 390, 'the status line wraps within the screen');
  // A 60-pixel swipe turns the view by 30 degrees, as 60 pixels of a desktop drag do.
  const box = await page.locator('#canvas').boundingBox();
  const touch = (type, x) => session.send('Input.dispatchTouchEvent', {
    type, touchPoints: type === 'touchEnd' ? [] : [{ x: box.x + x, y: box.y + 200 }] });
  await touch('touchStart', 100);
  for (const x of [120, 140, 160]) {
    await touch('touchMove', x);
  }
  await touch('touchEnd', 160);
  await page.waitForFunction(() => location.hash.includes('view=30,0'));
  assert.deepEqual(failures, [], 'the page loads every file it asks for');
  await page.close();
});

test('in a wide window the page stands in the middle', async () => {
  const { page } = await openScreen(1920, 1080, 1, false);
  const main = await page.locator('main').boundingBox();
  assert.ok(main.x > 100 && Math.abs(main.x - (1920 - main.x - main.width)) < 2,
    `${main.x} left of ${main.width}`);
  await page.close();
});

test('the presets are the core\'s table, each drawing arbolith-render\'s picture', async () => {
  const page = await openPage(browser);
  const list = spawnSync(renderer, ['--list-presets'], { encoding: 'utf8' }).stdout
    .trim().split('\n').map((line) => line.split(/\s+/)[0]);
  const offered = await page.locator('#preset option').evaluateAll(
    (options) => options.map((o) => o.value).filter((v) => v));
  assert.deepEqual(offered, list);
  for (const name of [list[1], list.at(-1)]) {
    await page.locator('#preset').selectOption(name);
    await page.waitForFunction(() => document.body.dataset.run === 'drawing' ||
      document.body.dataset.run === 'complete');
    await waitForTree(page);
    const png = await render(['--preset', name], `${name}.png`);
    const differing = await page.evaluate(async (base64) => {
      const bytes = Uint8Array.from(atob(base64), (c) => c.charCodeAt(0));
      const bitmap = await createImageBitmap(new Blob([bytes]),
        { colorSpaceConversion: 'none', premultiplyAlpha: 'none' });
      const picture = new OffscreenCanvas(560, 670).getContext('2d');
      picture.drawImage(bitmap, 0, 0);
      const theirs = picture.getImageData(0, 0, 560, 670).data;
      const ours = document.getElementById('canvas').getContext('2d')
        .getImageData(0, 0, 560, 670).data;
      return ours.filter((v, i) => v !== theirs[i]).length;
    }, png.toString('base64'));
    assert.equal(differing, 0, name);
  }
  await page.close();
});

test('each field has a hint and a slider, and says what its text reads as', async () => {
  const page = await openPage(browser, 'time=3');
  await page.getByLabel('Limbs degree:').focus();
  assert.match(await page.locator('#hint').textContent(), /^The limbs at every fork.*Sensible: 0 to 8; 0 gives random limbs/);
  // The slider writes its value into the field, which draws.
  const slider = page.locator('#field-1015 + input[type=range]');
  await slider.evaluate((s) => {
    s.value = '4';
    s.dispatchEvent(new Event('input'));
  });
  await page.waitForFunction(() => location.hash.includes('levels=4'));
  assert.equal(await page.getByLabel('Levels:').inputValue(), '4');
  // Any text the rules read stays in the field, named with what it reads as.
  await page.getByLabel('Limbs degree:').fill('three');
  await waitForTree(page);
  assert.ok((await page.locator('#messages li').allTextContents()).includes(
    'Limbs degree: "three" reads as 0 (random limbs, 0 to 19 at every fork)'));
  assert.equal(await page.getByLabel('Limbs degree:').inputValue(), 'three');
  await page.close();
});

test('the wheel zooms in whole steps about the pointer, and a larger save draws larger', async () => {
  const { page } = await openScreen(1400, 1000, 1, false, 'levels=5&time=1700000000');
  assert.equal(await page.locator('#zoom-level').textContent(), '1×');
  const box = await page.locator('#canvas').boundingBox();
  await page.mouse.move(box.x + 300, box.y + 350);
  await page.mouse.wheel(0, -100);
  await page.waitForFunction(() => document.getElementById('zoom-level').textContent === '2×');
  const zoomed = await page.locator('#canvas').boundingBox();
  assert.ok(Math.abs(zoomed.width - 2 * (box.width - 2) - 2) < 1, `${zoomed.width}`);
  // The picture's point under the pointer stays under it.
  assert.ok(Math.abs(zoomed.x + 1 + 2 * (300 - 1) - (box.x + 300)) < 2, `${zoomed.x}`);
  assert.ok(Math.abs(zoomed.y + 1 + 2 * (350 - 1) - (box.y + 350)) < 2, `${zoomed.y}`);
  await page.getByRole('button', { name: 'Fit' }).click();
  await page.waitForFunction(() => document.getElementById('zoom-level').textContent !== '2×');

  await page.locator('#save-scale').selectOption('3');
  for (const format of ['png', 'svg']) {
    const [download] = await Promise.all([page.waitForEvent('download'),
      page.locator(`[data-format=${format}]`).click()]);
    assert.equal(download.suggestedFilename(), `arbolith-1700000000-3x.${format}`);
    const theirs = await render(['--levels', '5', '--time', '1700000000', '--zoom', '3'],
      `large.${format}`);
    const ours = await readFile(await download.path());
    if (format === 'svg') {
      assert.ok(ours.equals(theirs), 'the SVG is arbolith-render\'s --zoom 3');
      continue;
    }
    const differing = await page.evaluate(async ([a, b]) => {
      const decode = async (base64) => {
        const bitmap = await createImageBitmap(new Blob([Uint8Array.from(atob(base64),
          (c) => c.charCodeAt(0))]), { colorSpaceConversion: 'none', premultiplyAlpha: 'none' });
        const context = new OffscreenCanvas(bitmap.width, bitmap.height).getContext('2d');
        context.drawImage(bitmap, 0, 0);
        return context.getImageData(0, 0, bitmap.width, bitmap.height);
      };
      const [mine, render3] = [await decode(a), await decode(b)];
      if (mine.width !== render3.width || mine.height !== render3.height) {
        return -1;
      }
      return mine.data.filter((v, i) => v !== render3.data[i]).length;
    }, [ours.toString('base64'), theirs.toString('base64')]);
    assert.equal(differing, 0, 'the PNG is arbolith-render\'s --zoom 3, 1680 x 2010');
  }
  await page.close();
});

test('more like this shows the trees of the neighbouring seconds, a click taking one', async () => {
  const page = await openPage(browser, 'levels=5&time=500');
  await page.getByRole('button', { name: 'More like this' }).click();
  await page.waitForFunction(() => document.body.dataset.neighbours === '497,498,499,501,502,503');
  // Each picture is its tree's, drawn small: not blank, and not all alike.
  const inked = await page.locator('#neighbours canvas').evaluateAll((pictures) => pictures.map(
    (p) => p.getContext('2d').getImageData(0, 0, p.width, p.height).data
      .filter((v, i) => i % 4 === 0 && v < 200).length));
  assert.ok(inked.every((n) => n > 0) && new Set(inked).size > 1, inked.join(' '));
  await page.locator('#neighbours button', { hasText: '502' }).click();
  await page.waitForFunction(() => location.hash.endsWith('time=502'));
  await page.waitForFunction(() => document.body.dataset.neighbours === '499,500,501,503,504,505');
  await page.close();
});
