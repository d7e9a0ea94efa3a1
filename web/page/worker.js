// Draws and writes trees and grows the 3-D view's records for the page, away from its thread: the
// page ends a run by ending the worker. The compiled module comes from the page first; jobs sent
// before it wait for it. A file's bytes go to the page as they are made, each part handed over
// rather than copied, so that no whole file is ever held here.
import Arbolith from './arbolith.js';

let core = null;
let job = null;
const waiting = [];

function handlers() {
  return {
    onPicture(pixels, width, height, drawn) {
      postMessage({ kind: 'picture', id: job.id, pixels, width, height, drawn }, [pixels.buffer]);
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
    const state = core.drawTree(job.entry);
    postMessage({ kind: 'drawn', id: job.id, state });
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

onmessage = async ({ data }) => {
  if (data.module) {
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
