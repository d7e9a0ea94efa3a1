// The page's trees are drawn by a pair of workers, each with its own instance of the module: one
// grows a tree while the other draws it (see worker.js), the two talking through a channel of
// their own. To the page the pair is one worker: it takes the jobs, answers with pictures and
// the end of each run, and ends as a whole. A machine of one core draws in the first alone.
export function treeWorkers(compiled) {
  const growth = new Worker(new URL('worker.js', import.meta.url), { type: 'module' });
  const raster = (navigator.hardwareConcurrency ?? 1) >= 2
    ? new Worker(new URL('raster-worker.js', import.meta.url), { type: 'module' }) : null;
  compiled.then((module) => {
    if (!raster) {
      growth.postMessage({ module });
      return;
    }
    const channel = new MessageChannel();
    growth.postMessage({ module, port: channel.port1 }, [channel.port1]);
    raster.postMessage({ module, port: channel.port2 }, [channel.port2]);
  });
  const pair = {
    onmessage: null,
    postMessage(message) {
      growth.postMessage(message);
    },
    terminate() {
      growth.terminate();
      raster?.terminate();
    },
  };
  growth.onmessage = (event) => pair.onmessage?.(event);
  if (raster) {
    raster.onmessage = (event) => pair.onmessage?.(event);
  }
  return pair;
}
