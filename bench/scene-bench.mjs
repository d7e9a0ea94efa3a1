// The page's 3-D view in headless Chromium's software WebGL 2: the time of a frame while orbiting
// trees of about 10^4, 10^5 and 10^6 branches, on ANGLE over Mesa's llvmpipe and over SwiftShader,
// and the time from the press of "3-D" to the first frame of the example tree. Needs build/web and
// build/dev; prints Markdown tables.
// Usage: node bench/scene-bench.mjs   (from the repository, after scripts/setup.sh); GL=llvmpipe
// or GL=swiftshader for one renderer only
import { openBrowser } from '../tests/web/browser.mjs';

const kFrames = 12;
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

async function shown3d(page) {
  await page.waitForFunction(() => document.body.dataset.run === 'complete');
  await page.click('#show-3d');
  await page.waitForFunction(() => document.body.dataset.scene === 'complete');
}

// A frame after each drag of two pixels, waited for by reading a pixel back.
function orbitFrames(page) {
  return page.evaluate((frames) => {
    const view = document.getElementById('view3d').view3d;
    view.autoFrame = false;
    const pixel = new Uint8Array(4);
    const times = [];
    for (let i = 0; i < frames; i += 1) {
      const start = performance.now();
      view.camera.orbit(2, 0);
      view.draw();
      view.gl.readPixels(0, 0, 1, 1, view.gl.RGBA, view.gl.UNSIGNED_BYTE, pixel);
      times.push(performance.now() - start);
    }
    return { times, records: view.count, size: [view.canvas.width, view.canvas.height] };
  }, kFrames);
}

for (const gl of (process.env.GL ?? 'llvmpipe,swiftshader').split(',')) {
  const browser = await openBrowser({ gl });
  console.log(`\n${gl}\n\n| branches | frame while orbiting, 560 x 670 | frames a second |\n|---|---|---|`);
  for (const levels of [12, 15, 18]) {
    const page = await browser.context.newPage();
    await page.goto(`${browser.address}#limbs=2&levels=${levels}&time=1000000006`);
    await shown3d(page);
    const { times, records } = await orbitFrames(page);
    const frame = median(times);
    console.log(`| ${records} | ${frame.toFixed(1)} ms | ${(1000 / frame).toFixed(1)} |`);
    await page.close();
  }
  const firsts = [];
  for (let run = 0; run < 5; run += 1) {
    const page = await browser.context.newPage();
    await page.goto(`${browser.address}#time=1000000006`);
    await page.waitForFunction(() => document.body.dataset.run === 'complete');
    const pressed = await page.evaluate(() => {
      document.getElementById('show-3d').click();
      return performance.now();
    });
    await page.waitForFunction(() => performance.getEntriesByName('scene-first-frame').length > 0);
    firsts.push(await page.evaluate(
      (at) => performance.getEntriesByName('scene-first-frame')[0].startTime - at, pressed));
    await page.close();
  }
  console.log(`\nPress of 3-D to first frame of the example tree: ${median(firsts).toFixed(1)} ms (median of 5)`);
  await browser.close();
}
