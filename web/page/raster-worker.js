// Draws the large trees that grow in the page's other worker (worker.js): plays the blocks of
// calls that come through the port from there on the picture, shows it as it grows and once at
// the end, and hands each block's buffer back once it is drawn. The module and the port come from
// the page first; blocks sent before them wait.
import Arbolith from './arbolith.js';

let core = null;
let growth = null;
let run = null; // the tree being drawn: {id, end}
const waiting = [];

function take(data) {
  if (data.kind === 'start') {
    run?.end.delete();
    run = { id: data.id, end: new core.DrawingEnd() };
  } else if (!run || data.id !== run.id) {
    // A block of a run that has made way for another.
  } else if (data.kind === 'calls') {
    run.end.play(new Uint8Array(data.buffer, 0, data.size));
    growth.postMessage({ kind: 'drawn', id: run.id, buffer: data.buffer }, [data.buffer]);
  } else if (data.kind === 'end') {
    run.end.show();
    postMessage({ kind: 'drawn', id: run.id, state: data.state });
    run.end.delete();
    run = null;
  }
}

onmessage = async ({ data }) => {
  growth = data.port;
  growth.onmessage = (event) => (core ? take(event.data) : waiting.push(event.data));
  core = await Arbolith({
    onPicture(pixels, width, height, drawn) {
      postMessage({ kind: 'picture', id: run.id, pixels, width, height, drawn }, [pixels.buffer]);
    },
    instantiateWasm(imports, done) {
      WebAssembly.instantiate(data.module, imports).then((instance) => done(instance));
      return {};
    },
  });
  waiting.splice(0).forEach(take);
};
