// Draws and writes trees for the page, away from its thread: the page ends a run by ending the
// worker. The compiled module comes from the page first; jobs sent before it wait for it.
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
    onBytes(bytes) {
      job.parts.push(bytes);
    },
  };
}

function run(next) {
  job = { ...next, parts: [] };
  if (job.kind === 'draw') {
    const state = core.drawTree(job.entry);
    postMessage({ kind: 'drawn', id: job.id, state });
    return;
  }
  const files = [];
  let ok = core.writeTree(job.format, job.entry, job.fileName);
  files.push({ name: job.fileName, parts: job.parts });
  if (ok && job.format === 'obj') {
    job.parts = [];
    ok = core.writeMaterialLibrary();
    const name = core.materialLibraryName(job.fileName);
    files.push({ name, parts: job.parts });
  }
  postMessage({ kind: 'written', id: job.id, ok, files });
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
