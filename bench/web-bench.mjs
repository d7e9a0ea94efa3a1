// The browser edition's figures for bench/README.md: the size of what a visitor downloads, the
// time from opening the page to its first tree, and the tree of 1,048,575 branches drawn in the
// browser against arbolith-render. Needs build/web and build/dev; prints a Markdown table.
// Usage: node bench/web-bench.mjs   (from the repository, after scripts/setup.sh)
import { spawnSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { gzipSync } from 'node:zlib';

import { openBrowser, site } from '../tests/web/browser.mjs';

const kRuns = 5;
const kLargeTree = 'limbs=2&levels=18&time=1000000006';
const renderer = new URL('../build/dev/cli/arbolith-render', import.meta.url).pathname;

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const kib = (bytes) => `${(bytes / 1024).toFixed(1)} KiB`;

const gzipped = Object.fromEntries(['arbolith.wasm', 'arbolith.js'].map((name) => {
  const bytes = readFileSync(join(site, name));
  return [name, { raw: bytes.length, gzip: gzipSync(bytes, { level: 9 }).length }];
}));

const browser = await openBrowser();
const firstTree = [];
const largeTree = [];
for (let i = 0; i < kRuns; ++i) {
  const page = await browser.context.newPage();
  await page.goto(`${browser.address}#time=1000000006`);
  await page.waitForFunction(() => performance.getEntriesByName('first-tree').length > 0);
  firstTree.push(await page.evaluate(() => performance.getEntriesByName('first-tree')[0].startTime));
  await page.evaluate((fragment) => { location.hash = fragment; }, kLargeTree);
  await page.waitForFunction(() => performance.getEntriesByName('run').length === 2 &&
    document.body.dataset.run === 'complete');
  largeTree.push(await page.evaluate(() => performance.getEntriesByName('run')[1].duration));
  await page.close();
}
await browser.close();

const native = [];
for (let i = 0; i < kRuns; ++i) {
  const started = performance.now();
  const run = spawnSync(renderer, [...kLargeTree.split('&').flatMap((pair) => {
    const [key, value] = pair.split('=');
    return [`--${key}`, value];
  }), '-o', join(tmpdir(), 'arbolith-web-bench.png')]);
  if (run.status !== 0) {
    throw new Error(`${renderer} failed: ${run.stderr}`);
  }
  native.push(performance.now() - started);
}

const wasm = gzipped['arbolith.wasm'];
const js = gzipped['arbolith.js'];
console.log('| Measure | Figure | Target |');
console.log('|---|---|---|');
console.log(`| arbolith.wasm + arbolith.js, gzipped | ${kib(wasm.gzip)} + ${kib(js.gzip)} = ` +
  `${kib(wasm.gzip + js.gzip)} (${kib(wasm.raw)} + ${kib(js.raw)} as served) | under 100 KiB |`);
console.log(`| from opening the page to its first tree drawn (median of ${kRuns}) | ` +
  `${median(firstTree).toFixed(0)} ms | |`);
console.log(`| 2 limbs, 18 levels (1,048,575 branches): in the browser's worker / arbolith-render ` +
  `to PNG, whole process (medians of ${kRuns}) | ${median(largeTree).toFixed(0)} ms / ` +
  `${median(native).toFixed(0)} ms = ${(median(largeTree) / median(native)).toFixed(2)} times | ` +
  'within 2 times |');
