// The page's 3-D view in Chromium's software WebGL 2, its pixels read back against the camera
// and the .glb arbolith-render writes for the same tree.
import assert from 'node:assert/strict';
import { readFile } from 'node:fs/promises';
import { join } from 'node:path';
import { test } from 'node:test';

import { openPage, waitForTree } from './browser.mjs';
import { browser, folder, renderTo, useBrowser } from './session.mjs';

const kOak = 'max-xy=40&max-yz=40&max-xz=360&scale=0.78&limbs=3&reference=280,660,0' +
  '&vector=0,-140,0&levels=8&time=1700000008';

useBrowser({ gl: true });

// The .glb's vertex positions, read through its JSON as an importer does.
async function glbPositions(fragment) {
  const path = join(folder, 'tree.glb');
  const args = fragment.split('&').flatMap((pair) => [`--${pair.split('=')[0]}`, pair.split('=')[1]]);
  renderTo(args, path);
  const bytes = await readFile(path);
  const jsonLength = bytes.readUInt32LE(12);
  const json = JSON.parse(bytes.subarray(20, 20 + jsonLength).toString());
  const accessor = json.accessors[json.meshes[0].primitives[0].attributes.POSITION];
  const view = json.bufferViews[accessor.bufferView];
  const start = 20 + jsonLength + 8 + view.byteOffset + (accessor.byteOffset ?? 0);
  const stride = view.byteStride ?? 12;
  const points = [];
  for (let i = 0; i < accessor.count; i += 1) {
    const at = start + i * stride;
    points.push([bytes.readFloatLE(at), bytes.readFloatLE(at + 4), bytes.readFloatLE(at + 8)]);
  }
  return points;
}

// Where the camera puts each point, in CSS pixels of a view of that size: the camera's own
// maths, written out again here.
function projectedBox(camera, points, width, height) {
  const rad = Math.PI / 180;
  const [y, p] = [camera.yaw * rad, camera.pitch * rad];
  const forward = [Math.sin(y) * Math.cos(p), -Math.sin(p), -Math.cos(y) * Math.cos(p)];
  const up = [Math.sin(y) * Math.sin(p), Math.cos(p), -Math.cos(y) * Math.sin(p)];
  const right = [Math.cos(y), 0, Math.sin(y)];
  const eye = camera.target.map((t, k) => t - forward[k] * camera.distance);
  const dot = (a, b) => a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
  const half = Math.tan((camera.fov * rad) / 2);
  const box = { left: Infinity, top: Infinity, right: -Infinity, bottom: -Infinity };
  for (const point of points) {
    const offset = point.map((v, k) => v - eye[k]);
    const depth = dot(offset, forward);
    const x = (dot(offset, right) / (half * depth * (width / height)) + 1) / 2 * width;
    const yy = (1 - dot(offset, up) / (half * depth)) / 2 * height;
    box.left = Math.min(box.left, x);
    box.right = Math.max(box.right, x);
    box.top = Math.min(box.top, yy);
    box.bottom = Math.max(box.bottom, yy);
  }
  return {
    left: Math.max(box.left, 0), top: Math.max(box.top, 0),
    right: Math.min(box.right, width), bottom: Math.min(box.bottom, height),
  };
}

// The 3-D view's pixels: the box of those that are not the sky, how many brightnesses the tree
// shows, and the camera they were drawn with.
function readView(page) {
  return page.evaluate(() => {
    const view = document.getElementById('view3d');
    const copy = new OffscreenCanvas(view.width, view.height).getContext('2d');
    copy.drawImage(view, 0, 0);
    const { data } = copy.getImageData(0, 0, view.width, view.height);
    const sky = data.slice(0, 3);
    const box = { left: Infinity, top: Infinity, right: -Infinity, bottom: -Infinity };
    const greys = new Set();
    for (let y = 0; y < view.height; y += 1) {
      for (let x = 0; x < view.width; x += 1) {
        const i = 4 * (y * view.width + x);
        if (Math.abs(data[i] - sky[0]) + Math.abs(data[i + 1] - sky[1]) + Math.abs(data[i + 2] - sky[2]) > 3) {
          box.left = Math.min(box.left, x);
          box.right = Math.max(box.right, x + 1);
          box.top = Math.min(box.top, y);
          box.bottom = Math.max(box.bottom, y + 1);
          greys.add(Math.round((data[i] + data[i + 1] + data[i + 2]) / 3));
        }
      }
    }
    return { box, greys: greys.size, width: view.clientWidth, height: view.clientHeight,
      camera: JSON.parse(view.dataset.camera) };
  });
}

async function show3d(page) {
  await page.click('#show-3d');
  await page.waitForFunction(() => document.body.dataset.scene === 'complete' &&
    JSON.parse(document.getElementById('view3d').dataset.camera ?? '{"going":true}').going === false);
}

// The camera's latest frame drawn, after a move.
async function settled(page) {
  await page.evaluate(() => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done))));
}

function assertSameBox(pixels, mesh) {
  for (const side of ['left', 'top', 'right', 'bottom']) {
    assert.ok(Math.abs(pixels[side] - mesh[side]) <= 2,
      `${side}: pixels ${pixels[side]}, mesh ${mesh[side].toFixed(1)}`);
  }
}

test('the 3-D view shows the tree where the camera puts the .glb, framed, orbited and zoomed', async () => {
  const page = await openPage(browser, kOak);
  await show3d(page);
  const points = await glbPositions(kOak);
  const framed = await readView(page);
  assert.equal(framed.width, 560);
  assertSameBox(framed.box, projectedBox(framed.camera, points, framed.width, framed.height));
  // Framing fits the whole tree and fills much of the view.
  assert.ok(framed.box.left > 0 && framed.box.top > 0 && framed.box.right < 560 && framed.box.bottom < 670);
  assert.ok((framed.box.bottom - framed.box.top) / 670 > 0.55);
  assert.ok(framed.greys > 20, `${framed.greys} brightnesses`);

  // A drag of (60, -30) pixels turns the camera by half a degree a pixel.
  const canvas = await page.locator('#view3d').boundingBox();
  await page.mouse.move(canvas.x + 200, canvas.y + 300);
  await page.mouse.down();
  await page.mouse.move(canvas.x + 230, canvas.y + 285);
  await page.mouse.move(canvas.x + 260, canvas.y + 270);
  await page.mouse.up();
  await settled(page);
  const turned = await readView(page);
  assert.equal(turned.camera.yaw, framed.camera.yaw + 30);
  assert.equal(turned.camera.pitch, framed.camera.pitch - 15);
  assertSameBox(turned.box, projectedBox(turned.camera, points, turned.width, turned.height));

  await page.mouse.move(canvas.x + 150, canvas.y + 200);
  await page.mouse.wheel(0, -100);
  await settled(page);
  const zoomed = await readView(page);
  assert.ok(zoomed.camera.distance < turned.camera.distance);
  assertSameBox(zoomed.box, projectedBox(zoomed.camera, points, zoomed.width, zoomed.height));
  await page.close();
});

test('the picture stays as it was, and Picture from here draws it from the camera\'s side', async () => {
  const page = await openPage(browser, 'levels=5&time=1000000006');
  const pictureOf = () => page.evaluate(() => {
    const c = document.getElementById('canvas');
    return c.getContext('2d').getImageData(0, 0, c.width, c.height).data.join(',');
  });
  const before = await pictureOf();
  await show3d(page);
  const canvas = await page.locator('#view3d').boundingBox();
  await page.mouse.move(canvas.x + 300, canvas.y + 300);
  await page.mouse.down();
  await page.mouse.move(canvas.x + 340, canvas.y + 280);
  await page.mouse.up();
  await page.click('#show-picture');
  assert.equal(await pictureOf(), before);
  assert.equal(await page.evaluate(() => document.body.dataset.run), 'complete');

  await page.click('#show-3d');
  const { camera } = await readView(page);
  const yaw = ((Math.round(camera.yaw) + 540 - 1) % 360) - 179;
  const pitch = Math.round(camera.pitch);
  await page.click('#from-here');
  await waitForTree(page);
  assert.equal(await page.evaluate(() => document.body.dataset.shown), 'picture');
  assert.match(await page.evaluate(() => location.hash), new RegExp(`[#&]view=${yaw},${pitch}(&|$)`));
  await page.close();
});

test('without WebGL 2 the view says so in one line and the picture works on', async () => {
  const page = await browser.context.newPage();
  await page.addInitScript(() => {
    const getContext = HTMLCanvasElement.prototype.getContext;
    HTMLCanvasElement.prototype.getContext = function (kind, ...rest) {
      return kind === 'webgl2' ? null : getContext.call(this, kind, ...rest);
    };
  });
  await page.goto(`${browser.address}#levels=4&time=7`);
  await waitForTree(page);
  await page.click('#show-3d');
  const note = page.locator('#view3d-note');
  assert.equal(await note.isVisible(), true);
  assert.equal(await note.textContent(), 'The 3-D view needs WebGL 2, which this browser does not offer.');
  assert.equal(await page.locator('#from-here').isDisabled(), true);
  await page.click('#show-picture');
  await page.getByLabel('Levels:').fill('3');
  await waitForTree(page);
  assert.match(await page.locator('#status').textContent(), /^Tree of second 7, /);
  await page.close();
});

test('a large tree streams into the 3-D view and Esc stops its growth', async () => {
  const page = await openPage(browser, 'limbs=2&levels=19&time=5');
  await page.click('#show-3d');
  const count = () => page.evaluate(() =>
    JSON.parse(document.getElementById('view3d').dataset.camera ?? '{"count":0}').count);
  await page.waitForFunction(() => document.body.dataset.scene === 'growing' &&
    JSON.parse(document.getElementById('view3d').dataset.camera ?? '{"count":0}').count > 0);
  assert.equal(await page.locator('#stop').isDisabled(), false);
  await page.keyboard.press('Escape');
  await page.waitForFunction(() => document.body.dataset.scene === 'complete');
  const shown = await count();
  assert.ok(shown > 0 && shown < 2097151, `${shown} branches shown`);
  // A new tree grows from the start.
  await page.getByLabel('Levels:').fill('4');
  await waitForTree(page);
  await page.waitForFunction(() => document.body.dataset.scene === 'complete' &&
    JSON.parse(document.getElementById('view3d').dataset.camera).count === 63);
  await page.close();
});
