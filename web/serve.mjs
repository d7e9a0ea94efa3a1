// Serves a folder on 127.0.0.1, as any static file server would: the site for a person to open
// (scripts/serve-web.sh) and for the page's tests. Usage: node web/serve.mjs FOLDER [PORT]
import { createServer } from 'node:http';
import { constants } from 'node:fs';
import { open, realpath } from 'node:fs/promises';
import { extname, join, normalize, sep } from 'node:path';

const kTypes = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.mjs': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.wasm': 'application/wasm',
  '.png': 'image/png',
  '.svg': 'image/svg+xml',
};

const kReasons = {
  400: 'Bad Request', 403: 'Forbidden', 404: 'Not Found', 405: 'Method Not Allowed',
  414: 'URI Too Long', 500: 'Internal Server Error',
};

// Longer than any name the site holds or the system takes.
const kLongestPath = 4096;

class Refusal extends Error {
  constructor(status) {
    super(kReasons[status]);
    this.status = status;
  }
}

function inside(root, file) {
  return file === root || file.startsWith(root.endsWith(sep) ? root : root + sep);
}

// The file a request's path names under the folder: decoded, with `..` kept from climbing out,
// a folder's path naming its index.html.
function named(root, url) {
  if (url.length > kLongestPath) {
    throw new Refusal(414);
  }
  let path;
  try {
    path = decodeURIComponent(new URL(url, 'http://host').pathname);
  } catch {
    throw new Refusal(400);
  }
  if (path.includes('\0')) {
    throw new Refusal(400);
  }
  const file = normalize(join(root, path.endsWith('/') ? `${path}index.html` : path));
  if (!inside(root, file)) {
    throw new Refusal(403);
  }
  return file;
}

// The file's bytes, if it is a regular file whose links all stay in the folder. Opened without
// waiting, so that a FIFO there cannot hold the request up.
async function read(root, file) {
  let handle;
  try {
    if (!inside(root, await realpath(file))) {
      throw new Refusal(403);
    }
    handle = await open(file, constants.O_RDONLY | constants.O_NONBLOCK);
    if (!(await handle.stat()).isFile()) {
      throw new Refusal(404);
    }
    return await handle.readFile();
  } catch (error) {
    throw error instanceof Refusal ? error : new Refusal(404);
  } finally {
    await handle?.close();
  }
}

function refuse(response, status, headers = {}) {
  const body = `${status} ${kReasons[status]}\n`;
  response.writeHead(status, {
    'Content-Type': 'text/plain; charset=utf-8',
    'Content-Length': Buffer.byteLength(body),
    ...headers,
  });
  response.end(body);
}

export async function serve(folder, port = 0) {
  const root = await realpath(folder);
  const server = createServer(async (request, response) => {
    try {
      if (request.method !== 'GET' && request.method !== 'HEAD') {
        refuse(response, 405, { Allow: 'GET, HEAD' });
        return;
      }
      const file = named(root, request.url);
      const body = await read(root, file);
      response.writeHead(200, {
        'Content-Type': kTypes[extname(file)] ?? 'application/octet-stream',
        'Content-Length': body.length,
      });
      response.end(request.method === 'HEAD' ? undefined : body);
    } catch (error) {
      // Whatever one request did, the server goes on serving the others.
      if (!response.headersSent) {
        refuse(response, error instanceof Refusal ? error.status : 500);
      } else {
        response.destroy();
      }
    }
  });
  return new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(port, '127.0.0.1', () => {
      server.off('error', reject);
      resolve(server);
    });
  });
}

if (process.argv[1] && import.meta.url.endsWith(process.argv[1].split(sep).pop())) {
  const [folder = '.', portText = '8000'] = process.argv.slice(2);
  const port = Number(portText);
  if (!/^\d+$/.test(portText) || port > 65535) {
    console.error(`serve.mjs: invalid port '${portText}': expected a number from 0 to 65535`);
    process.exit(2);
  }
  try {
    const server = await serve(folder, port);
    console.log(`Serving ${folder} at http://127.0.0.1:${server.address().port}/`);
  } catch (error) {
    console.error(`serve.mjs: cannot serve ${folder} on 127.0.0.1:${port}: ${error.message}`);
    process.exit(1);
  }
}
