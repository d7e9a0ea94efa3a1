// What the core calls back in the page or its worker: each hands its data to a function the
// module was created with, copied out of the module's memory, which may move as it grows, or as a
// view of it where the function copies it.
mergeInto(LibraryManager.library, {
  web_picture: function (rgba, width, height, drawn) {
    Module['onPicture'](HEAPU8.slice(rgba, rgba + width * height * 4), width, height, drawn);
  },
  web_progress: function (done) {
    Module['onProgress'](done);
  },
  // A view of the module's memory, good during the call only: the worker copies it into a buffer
  // of its own, which it hands on, rather than a new one for every block.
  web_calls: function (data, size) {
    Module['onCalls'](HEAPU8.subarray(data, data + size));
  },
  web_records: function (solids, solidFloats, ribbons, ribbonFloats) {
    Module['onRecords'](HEAPF32.slice(solids >> 2, (solids >> 2) + solidFloats),
                        HEAPF32.slice(ribbons >> 2, (ribbons >> 2) + ribbonFloats));
  },
  web_bytes: function (data, size) {
    Module['onBytes'](HEAPU8.slice(data, data + size));
  },
});
