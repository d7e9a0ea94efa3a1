// The browser edition's figures for bench/README.md: the size of what a visitor downloads, the
// time from opening the page to its first tree, the tree of 1,048,575 branches drawn in the
// browser against arbolith-render, the processor time its parts take in WebAssembly, and where a
// tree starts to draw sooner in the page's two workers than in one. Needs build/web and
// build/dev; prints Markdown tables. ARBOLITH_SITE measures another build of the site.
// Usage: node bench/web-bench.mjs [RUNS]   (from the repository, after scripts/setup.sh)
import { spawnSync } from 'node:child_process';
import { readdirSync, readFileSync } from 'node:fs';
import { cp, mkdtemp, readdir, readFile, rm, writeFile } from 'node:fs/promises';
import { loadavg, tmpdir } from 'node:os';
import { join } from 'node:path';
import { gzipSync } from 'node:zlib';

import { openBrowser, site } from '../tests/web/browser.mjs';

const kRuns = Number(process.argv[2] ?? 9);
const kLargeTree = 'limbs=2&levels=18&time=1000000006';
// Trees of 2 limbs from 2,047 to 524,287 branches, for the crossover.
const kCrossoverLevels = [9, 10, 11, 12, 13, 14, 15, 16, 17];
const renderer = new URL('../build/dev/cli/arbolith-render', import.meta.url).pathname;

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const kib = (bytes) => `${(bytes / 1024).toFixed(1)} KiB`;
const ms = (value) => `${value.toFixed(value < 10 ? 1 : 0)} ms`;
const loads = [loadavg()[0]];

const sizes = {};
for (const name of (await readdir(site)).sort()) {
  const bytes = await readFile(join(site, name));
  sizes[name] = { raw: bytes.length, gzip: gzipSync(bytes, { level: 9 }).length };
}

// The durations of the page's runs of each link, `runs` times over, each in a page of the site in
// `folder` opened for it: the first run of the link there, and the same tree drawn again at once
// (a link's first large tree also waits for the browser to compile the module's busiest code in
// full); and the time to the first tree of each page opened.
async function timeRuns(folder, links, runs) {
  const browser = await openBrowser({ folder });
  const first = Object.fromEntries(links.map((link) => [link, []]));
  const again = Object.fromEntries(links.map((link) => [link, []]));
  const firstTree = [];
  const timeRun = async (page, fragment) => {
    const before = await page.evaluate(() => performance.getEntriesByName('run').length);
    await page.evaluate((hash) => { location.hash = hash; }, fragment);
    await page.waitForFunction((count) => performance.getEntriesByName('run').length > count &&
      document.body.dataset.run === 'complete', before);
    return page.evaluate(() => performance.getEntriesByName('run').at(-1).duration);
  };
  try {
    for (let i = 0; i < runs; ++i) {
      for (const link of links) {
        const page = await browser.context.newPage();
        await page.goto(`${browser.address}#time=1000000006`);
        await page.waitForFunction(() => performance.getEntriesByName('first-tree').length > 0);
        firstTree.push(await page.evaluate(() =>
          performance.getEntriesByName('first-tree')[0].startTime));
        first[link].push(await timeRun(page, link));
        // The same tree: a view turned by nothing.
        again[link].push(await timeRun(page, `${link}&view=0,0`));
        await page.close();
      }
    }
  } finally {
    await browser.close();
  }
  return { first, again, firstTree };
}

// A copy of the site whose pages draw every tree in two workers, or none.
async function siteSplittingFrom(branches) {
  const folder = await mkdtemp(join(tmpdir(), 'arbolith-web-bench-'));
  await cp(site, folder, { recursive: true });
  const worker = join(folder, 'worker.js');
  const text = await readFile(worker, 'utf8');
  const changed = text.replace(/const kSplitFrom = [^;]+;/, `const kSplitFrom = ${branches};`);
  if (changed === text) {
    throw new Error(`${worker} sets no kSplitFrom`);
  }
  await writeFile(worker, changed);
  return folder;
}

// The processes this one started and theirs (the browser's), each with its processor time and its
// threads' (name and time), in milliseconds. On a busy machine a thread's wall time counts the
// time it waits for a core; this does not.
function descendants() {
  const children = new Map();
  const stats = new Map();
  const read = (path) => {
    const stat = readFileSync(path, 'utf8');
    const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
    return { name: stat.slice(stat.indexOf('(') + 1, stat.lastIndexOf(')')), parent: fields[1],
      time: ((Number(fields[11]) + Number(fields[12])) * 1000) / 100 };
  };
  for (const pid of readdirSync('/proc').filter((name) => /^\d+$/.test(name))) {
    try {
      const stat = read(`/proc/${pid}/stat`);
      children.set(stat.parent, [...(children.get(stat.parent) ?? []), pid]);
      stats.set(pid, stat);
    } catch {
      // A process that ended meanwhile.
    }
  }
  const found = [];
  const pending = [...(children.get(String(process.pid)) ?? [])];
  while (pending.length > 0) {
    const pid = pending.pop();
    const threads = new Map();
    try {
      for (const tid of readdirSync(`/proc/${pid}/task`)) {
        threads.set(tid, read(`/proc/${pid}/task/${tid}/stat`));
      }
    } catch {
      // Ended meanwhile.
    }
    found.push({ pid, time: stats.get(pid)?.time ?? 0, threads });
    pending.push(...(children.get(pid) ?? []));
  }
  return found;
}

function childrenProcessorTime() {
  return descendants().reduce((sum, child) => sum + child.time, 0);
}

// The processor time a run of the large tree takes in each of the page's workers and on the
// page's own thread, the medians of `rounds` of 4 runs in one page of the site in `folder`.
async function threadTimes(folder, rounds) {
  const browser = await openBrowser({ folder });
  const page = await browser.context.newPage();
  await page.goto(`${browser.address}#time=1000000006`);
  await page.waitForFunction(() => performance.getEntriesByName('first-tree').length > 0);
  let turn = 0;
  const run = async () => {
    turn += 1;
    const before = await page.evaluate(() => performance.getEntriesByName('run').length);
    await page.evaluate((hash) => { location.hash = hash; }, `${kLargeTree}&max-xy=${40 + (turn % 2)}`);
    await page.waitForFunction((count) => performance.getEntriesByName('run').length > count &&
      document.body.dataset.run === 'complete', before, { polling: 50 });
  };
  // The threads of the page's process, the one whose workers run, by id; its main thread is the
  // page's.
  const sample = () => {
    const renderer = descendants().find(({ threads }) =>
      [...threads.values()].some((thread) => thread.name === 'DedicatedWorker'));
    return new Map([...renderer.threads].map(([tid, thread]) =>
      [tid, { ...thread, main: tid === renderer.pid }]));
  };
  const workers = [];
  const main = [];
  for (let round = 0; round < rounds; ++round) {
    await run();
    const before = sample();
    for (let i = 0; i < 4; ++i) {
      await run();
    }
    const spent = [...sample()].map(([tid, thread]) =>
      ({ ...thread, time: (thread.time - (before.get(tid)?.time ?? 0)) / 4 }));
    workers.push(spent.filter((thread) => thread.name === 'DedicatedWorker')
      .map((thread) => thread.time).sort((a, b) => b - a));
    main.push(spent.find((thread) => thread.main).time);
  }
  await browser.close();
  const count = Math.max(...workers.map((times) => times.length));
  return { workers: [...Array(count).keys()].map((i) => median(workers.map((times) => times[i] ?? 0))),
    page: median(main) };
}

// The 1,048,575 branches on the page's own thread through the module's exports: the whole run on
// one thread, growth handing its blocks over (the growing worker's part), and the blocks drawn (the
// drawing worker's); processor time a run, the median of `rounds` of 10 runs each.
async function parts(rounds) {
  const browser = await openBrowser();
  const page = await browser.context.newPage();
  await page.goto(`${browser.address}#time=1000000006`);
  await page.waitForFunction(() => document.body.dataset.run === 'complete');
  const found = await page.evaluate(async (link) => {
    const { default: Arbolith } = await import(new URL('arbolith.js', location.href).href);
    // Each block copied into a buffer kept from the run before, as the growing worker does.
    const buffers = [];
    const blocks = [];
    const core = await Arbolith({
      onPicture() {},
      onCalls(view) {
        const kept = buffers[blocks.length];
        const buffer = kept?.length >= view.length ? kept : new Uint8Array(view.length);
        buffers[blocks.length] = buffer;
        buffer.set(view);
        blocks.push(buffer.subarray(0, view.length));
      },
    });
    const read = core.readLink(link);
    const tree = core.readTree({ fields: read.fields, second: read.second, view: read.view,
      branchLimit: Infinity });
    const split = typeof core.GrowingEnd === 'function';
    window.benchParts = {
      whole: () => core.drawTree(split ? tree : { ...read, branchLimit: Infinity }),
      growth: () => {
        blocks.length = 0;
        const end = new core.GrowingEnd(tree);
        end.go(Infinity);
        end.delete();
      },
      drawing: () => {
        const end = new core.DrawingEnd();
        blocks.forEach((block) => end.play(block));
        end.delete();
      },
    };
    return split ? ['whole', 'growth', 'drawing'] : ['whole'];
  }, kLargeTree);
  const times = Object.fromEntries(found.map((name) => [name, []]));
  for (let round = 0; round < rounds; ++round) {
    for (const name of found) {
      await page.evaluate((part) => window.benchParts[part](), name);
      const before = childrenProcessorTime();
      await page.evaluate((part) => {
        for (let i = 0; i < 10; ++i) {
          window.benchParts[part]();
        }
      }, name);
      times[name].push((childrenProcessorTime() - before) / 10);
    }
  }
  await browser.close();
  return Object.fromEntries(found.map((name) => [name, median(times[name])]));
}

// arbolith-render's processor time for the large tree, from bash's count of its children's.
function nativeProcessorTime(runs) {
  const args = kLargeTree.split('&').map((pair) => pair.replace(/^(\w+)=/, '--$1 ')).join(' ');
  const out = join(tmpdir(), 'arbolith-web-bench.png');
  const run = spawnSync('bash', ['-c',
    `for ((i = 0; i < ${runs}; i++)); do "$0" ${args} -o "$1" || exit 1; done; times`,
    renderer, out], { encoding: 'utf8' });
  const [user, system] = run.stdout.trim().split('\n')[1].split(' ').map((time) => {
    const [, minutes, seconds] = /(\d+)m([\d.]+)s/.exec(time);
    return Number(minutes) * 60 + Number(seconds);
  });
  return ((user + system) * 1000) / runs;
}

const page = await timeRuns(site, [kLargeTree], kRuns);
loads.push(loadavg()[0]);
const wasmParts = await parts(5);
const threads = await threadTimes(site, 3);
const nativeCpu = nativeProcessorTime(20);
loads.push(loadavg()[0]);

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

const crossoverLinks = kCrossoverLevels.map((levels) => `limbs=2&levels=${levels}&time=1000000006`);
const crossover = {};
if (sizes['raster-worker.js']) {
  for (const [name, from] of [['one', 'Infinity'], ['two', '0']]) {
    const folder = await siteSplittingFrom(from);
    try {
      crossover[name] = (await timeRuns(folder, crossoverLinks, Math.max(3, kRuns >> 1))).again;
    } finally {
      await rm(folder, { recursive: true, force: true });
    }
  }
}
loads.push(loadavg()[0]);

const large = median(page.first[kLargeTree]);
const largeAgain = median(page.again[kLargeTree]);
const served = Object.values(sizes).reduce((sum, size) => sum + size.gzip, 0);
const wasm = sizes['arbolith.wasm'];
const js = sizes['arbolith.js'];
console.log(`Load average (1 minute) at the start, between the parts and at the end: ` +
  `${loads.map((load) => load.toFixed(1)).join(', ')}\n`);
console.log('| Measure | Figure | Target |');
console.log('|---|---|---|');
console.log(`| arbolith.wasm + arbolith.js, gzipped | ${kib(wasm.gzip)} + ${kib(js.gzip)} = ` +
  `${kib(wasm.gzip + js.gzip)} (${kib(wasm.raw)} + ${kib(js.raw)} as served) | under 100 KiB |`);
console.log(`| the whole site, gzipped file by file | ${kib(served)} | |`);
console.log(`| from opening the page to its first tree drawn (median of ${kRuns}) | ` +
  `${ms(median(page.firstTree))} | |`);
console.log(`| 2 limbs, 18 levels (1,048,575 branches): in the browser / arbolith-render ` +
  `to PNG, whole process (medians of ${kRuns}) | ${ms(large)} / ${ms(median(native))} = ` +
  `${(large / median(native)).toFixed(2)} times | within 2 times |`);
console.log(`| the same drawn again at once in the same page / arbolith-render | ` +
  `${ms(largeAgain)} / ${ms(median(native))} = ${(largeAgain / median(native)).toFixed(2)} times | |`);
console.log(`| the same, processor time: arbolith-render's whole process, both threads (20 runs) | ` +
  `${ms(nativeCpu)} | |`);
console.log(`| the same in WebAssembly on one thread, processor time: the whole run | ` +
  `${ms(wasmParts.whole)} | |`);
console.log(`| processor time a run of it in the page: its workers (most first) / the page's own ` +
  `thread (medians of 3 × 4 runs) | ${threads.workers.filter((time) => time >= 1).map(ms).join(' + ')}` +
  ` / ${ms(threads.page)} | |`);
if (wasmParts.growth) {
  console.log(`| growth handing its blocks over / the blocks drawn (each worker's part) | ` +
    `${ms(wasmParts.growth)} / ${ms(wasmParts.drawing)} | |`);
}
if (crossover.one) {
  const runs = crossover.one[crossoverLinks[0]].length;
  console.log(`\n| 2 limbs, levels (branches), drawn again | one worker | two workers (medians of ${runs}) |`);
  console.log('|---|---|---|');
  kCrossoverLevels.forEach((levels, i) => {
    const link = crossoverLinks[i];
    console.log(`| ${levels} (${(2 ** (levels + 2) - 1).toLocaleString('en')}) | ` +
      `${ms(median(crossover.one[link]))} | ${ms(median(crossover.two[link]))} |`);
  });
}
