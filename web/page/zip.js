// Files in one zip archive, stored as they are, so that a file and the files beside it that it
// names (an OBJ and its material library) arrive as one download.

const crcTable = Array.from({ length: 256 }, (_, n) => {
  let c = n;
  for (let k = 0; k < 8; k++) {
    c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
  }
  return c >>> 0;
});

// The CRC-32 of bytes handed over part by part, as a file's parts come.
export class Crc32 {
  #crc = 0xffffffff;

  add(bytes) {
    let crc = this.#crc;
    for (let i = 0; i < bytes.length; i++) {
      crc = crcTable[(crc ^ bytes[i]) & 0xff] ^ (crc >>> 8);
    }
    this.#crc = crc;
  }

  get value() {
    return (this.#crc ^ 0xffffffff) >>> 0;
  }
}

// The time and date of the moment, as the archive's entries keep them.
function dosTime(when) {
  return {
    time: (when.getHours() << 11) | (when.getMinutes() << 5) | (when.getSeconds() >> 1),
    date: ((when.getFullYear() - 1980) << 9) | ((when.getMonth() + 1) << 5) | when.getDate(),
  };
}

function record(fields) {
  const size = fields.reduce((sum, [width]) => sum + width, 0);
  const view = new DataView(new ArrayBuffer(size));
  let at = 0;
  for (const [width, value] of fields) {
    if (width === 4) {
      view.setUint32(at, value, true);
    } else {
      view.setUint16(at, value, true);
    }
    at += width;
  }
  return new Uint8Array(view.buffer);
}

// files: [{name, parts: [Blob or Uint8Array...], size, crc}], their size and CRC-32 counted as
// their parts came; gives the archive as a Blob.
export function zipFiles(files, when = new Date()) {
  const { time, date } = dosTime(when);
  const utf8Names = 0x0800;
  const pieces = [];
  const directory = [];
  let offset = 0;
  for (const file of files) {
    const name = new TextEncoder().encode(file.name);
    const { size, crc } = file;
    const common = [[2, 20], [2, utf8Names], [2, 0], [2, time], [2, date], [4, crc], [4, size],
      [4, size], [2, name.length], [2, 0]];
    const local = record([[4, 0x04034b50], ...common]);
    pieces.push(local, name, ...file.parts);
    directory.push(record([[4, 0x02014b50], [2, 20], ...common, [2, 0], [2, 0], [2, 0], [4, 0],
      [4, offset]]), name);
    offset += local.length + name.length + size;
  }
  const directorySize = directory.reduce((sum, piece) => sum + piece.length, 0);
  const end = record([[4, 0x06054b50], [2, 0], [2, 0], [2, files.length], [2, files.length],
    [4, directorySize], [4, offset], [2, 0]]);
  return new Blob([...pieces, ...directory, end], { type: 'application/zip' });
}
