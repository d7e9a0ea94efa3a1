// What each test file of the page shares: a browser and a scratch folder, opened before its tests
// and removed after them, and arbolith-render, whose pictures and files the page's must equal.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { mkdtemp, rm } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { after, before } from 'node:test';

import { openBrowser } from './browser.mjs';

export const renderer = process.env.ARBOLITH_RENDER ??
  new URL('../../build/dev/cli/arbolith-render', import.meta.url).pathname;

export let browser;
export let folder;

// Opens the browser (with these options) and the folder for the tests of the file calling it.
export function useBrowser(options = {}) {
  before(async () => {
    browser = await openBrowser(options);
    folder = await mkdtemp(join(tmpdir(), 'arbolith-web-'));
  });
  after(async () => {
    await browser?.close();
    if (folder) {
      await rm(folder, { recursive: true, force: true });
    }
  });
}

// arbolith-render's file for the arguments, written at the path.
export function renderTo(args, path) {
  const run = spawnSync(renderer, [...args, '-o', path], { encoding: 'utf8' });
  assert.equal(run.status, 0, `${renderer} ${args.join(' ')}: ${run.stderr}`);
}
