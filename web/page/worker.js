// Draws and writes trees and grows the 3-D view's records for the page, away from its thread: the
// page ends a run by ending the worker. The compiled module comes from the page first, with the
// port to the worker that draws large trees (raster-worker.js) where the page has one; jobs sent
// before it wait for it. A file's bytes go to the page as they are made, each part handed over
// rather than copied, so that no whole file is ever held here.
//
// A large tree grows here while that worker draws it, as growth and the rasterizer share two
// cores natively: the run's calls cross in blocks, their buffers handed over, not copied. With no
// memory shared between the two, this side cannot wait for the other on its thread; it pauses
// instead once so many blocks wait to be drawn, and goes on as the other side draws them.
import Arbolith from './arbolith.js';

// Below this many branches a tree is drawn sooner here alone than in two workers.
const kSplitFrom = 30000;
// Blocks handed over and not yet drawn, at most: enough to keep the other side busy while
// messages cross or it waits for a core, few enough to keep memory flat (a block is 256 KiB, so
// 8 MiB in all). Growth goes on once half of them are drawn, so that each turn hands over several.
const kBlocksAhead = 32;
const kDrawing = 0;

let core = null;
let raster = null;
let job = null;
let growing = null; // the large tree growing: {id, end, ahead}
// Buffers the other side has handed back, for the next blocks.
const spare = [];
const waiting = [];

function handlers() {
  return {
    onPicture(pixels, width, height, drawn) {
      postMessage({ kind: 'picture', id: job.id, pixels, width, height, drawn }, [pixels.buffer]);
    },
    onCalls(view) {
      // The buffers go round between the two sides: allocating one for every block costs as much
      // as growing it, in the collector's work.
      const reused = spare.pop();
      const buffer = reused?.byteLength >= view.length ? reused : new ArrayBuffer(view.length);
      new Uint8Array(buffer, 0, view.length).set(view);
      raster.postMessage({ kind: 'calls', id: growing.id, buffer, size: view.length }, [buffer]);
      growing.ahead += 1;
    },
    onProgress(done) {
      postMessage({ kind: 'progress', id: job.id, done });
    },
    onRecords(solids, ribbons) {
      postMessage({ kind: 'records', id: job.id, solids, ribbons }, [solids.buffer, ribbons.buffer]);
    },
    onBytes(bytes) {
      postMessage({ kind: 'part', id: job.id, file: job.file, bytes }, [bytes.buffer]);
    },
  };
}

// Grows until as many blocks wait as may, or to the end, which the other side then reports.
function grow() {
  const state = growing.end.go(kBlocksAhead - growing.ahead);
  if (state !== kDrawing) {
    raster.postMessage({ kind: 'end', id: growing.id, state });
    growing.end.delete();
    growing = null;
  }
}

function draw() {
  const tree = core.readTree(job.entry);
  if (raster && !tree.error && Math.min(tree.total, job.entry.branchLimit) >= kSplitFrom) {
    growing = { id: job.id, end: new core.GrowingEnd(tree), ahead: 0 };
    tree.delete();
    raster.postMessage({ kind: 'start', id: job.id });
    grow();
    return;
  }
  const state = core.drawTree(tree);
  tree.delete();
  postMessage({ kind: 'drawn', id: job.id, state });
}

// Writes the job's file, part by part, and after an OBJ that names one its material library, as
// file 1.
function write() {
  job.file = 0;
  if (!core.writeTree(job.format, job.entry, job.fileName, job.scale, job.levelsOfDetail)) {
    return false;
  }
  if (job.format === 'obj' && job.fileName) {
    job.file = 1;
    return core.writeMaterialLibrary();
  }
  return true;
}

function run(next) {
  job = next;
  if (job.kind === 'records') {
    const box = core.growRecords(job.entry);
    postMessage({ kind: 'grown', id: job.id, box });
    return;
  }
  if (job.kind === 'draw') {
    draw();
    return;
  }
  // Every save ends with a word to the page, whatever went wrong here. A larger picture is
  // drawn whole, for the page to encode.
  const kind = job.kind === 'larger' ? 'larger' : 'written';
  try {
    const ok = kind === 'larger' ? core.drawLargerPicture(job.entry, job.scale) : write();
    postMessage({ kind, id: job.id, ok });
  } catch (error) {
    postMessage({ kind, id: job.id, ok: false, reason: String(error?.message ?? error) });
  }
}

// The other side has drawn a block; this side is paused, between two calls of grow().
function drawn({ data }) {
  spare.push(data.buffer);
  if (growing && data.id === growing.id) {
    growing.ahead -= 1;
    if (growing.ahead <= kBlocksAhead / 2) {
      grow();
    }
  }
}

onmessage = async ({ data }) => {
  if (data.module) {
    raster = data.port ?? null;
    if (raster) {
      raster.onmessage = drawn;
    }
    core = await Arbolith({
      ...handlers(),
      instantiateWasm(imports, done) {
        WebAssembly.instantiate(data.module, imports).then((instance) => done(instance));
        return {};
      },
    });
    waiting.splice(0).forEach(run);
  } else if (core) {
    run(data);
  } else {
    waiting.push(data);
  }
};
