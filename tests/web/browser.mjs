// The system's Chromium, driven headless, and the site served on 127.0.0.1: what the page's
// tests and its benchmark share.
import { mkdtemp, rm } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { chromium } from 'playwright-core';

import { serve } from '../../web/serve.mjs';

export const site = process.env.ARBOLITH_SITE ?? new URL('../../build/web/site', import.meta.url).pathname;

// WebGL 2 in software, needing no display: ANGLE on Mesa's llvmpipe through EGL (the tests'), or
// on SwiftShader.
const kSoftwareGl = {
  llvmpipe: ['--ignore-gpu-blocklist', '--use-gl=angle', '--use-angle=gl-egl'],
  swiftshader: ['--enable-unsafe-swiftshader', '--use-angle=swiftshader'],
};

// Chromium started on a closed network: no sandbox as root, no GPU (or a software one, for the
// 3-D view), nothing fetched for itself; the site, or another folder, served.
export async function openBrowser({ gl = false, folder = site } = {}) {
  const glArgs = gl ? kSoftwareGl[gl === true ? 'llvmpipe' : gl] : ['--disable-gpu'];
  const profile = await mkdtemp(join(tmpdir(), 'arbolith-chromium-'));
  const server = await serve(folder);
  const browser = await chromium.launchPersistentContext(profile, {
    executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
    headless: true,
    acceptDownloads: true,
    // Room for the picture at its own size, its controls and its status line below it.
    viewport: { width: 1000, height: 820 },
    args: ['--headless', '--no-sandbox', ...glArgs, '--disable-quic',
      '--no-first-run', '--disable-background-networking', '--disable-component-update',
      '--disable-sync'],
  });
  const address = `http://127.0.0.1:${server.address().port}/`;
  return {
    context: browser,
    address,
    async close() {
      await browser.close();
      server.close();
      await rm(profile, { recursive: true, force: true });
    },
  };
}

// A new page opened at the link, once it has drawn its tree.
export async function openPage(browser, fragment = '') {
  const page = await browser.context.newPage();
  page.on('pageerror', (error) => { throw error; });
  await page.goto(`${browser.address}${fragment ? `#${fragment}` : ''}`);
  await waitForTree(page);
  return page;
}

export async function waitForTree(page) {
  await page.waitForFunction(() => document.body.dataset.run && document.body.dataset.run !== 'drawing');
}

// Opens the link in the page that is open, once its tree is drawn: the page draws anew when its
// address's fragment changes.
export async function followLink(page, fragment) {
  const runs = await page.evaluate(() => performance.getEntriesByName('run').length);
  await page.evaluate((link) => { location.hash = link; }, fragment);
  await page.waitForFunction((before) => performance.getEntriesByName('run').length > before &&
    document.body.dataset.run !== 'drawing', runs);
}
