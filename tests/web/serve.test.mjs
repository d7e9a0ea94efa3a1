// The site's server under requests no browser would send: each is answered, and the server goes
// on serving.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdir, mkdtemp, rm, symlink, writeFile } from 'node:fs/promises';
import { connect } from 'node:net';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { after, before, test } from 'node:test';

import { serve } from '../../web/serve.mjs';

let folder;
let server;
before(async () => {
  folder = await mkdtemp(join(tmpdir(), 'arbolith-serve-'));
  const site = join(folder, 'site');
  await mkdir(join(site, 'empty'), { recursive: true });
  await writeFile(join(site, 'index.html'), 'the page');
  await writeFile(join(folder, 'secret.txt'), 'outside');
  await symlink(join(folder, 'secret.txt'), join(site, 'out.txt'));
  await symlink('index.html', join(site, 'in.html'));
  execFileSync('mkfifo', [join(site, 'fifo.js')]);
  server = await serve(site);
});
after(async () => {
  server?.close();
  await rm(folder, { recursive: true, force: true });
});

// The request as written, its answer as the socket gave it.
function ask(method, target) {
  return new Promise((resolve, reject) => {
    const socket = connect(server.address().port, '127.0.0.1');
    let answer = '';
    socket.on('data', (data) => { answer += data.toString('latin1'); });
    socket.on('error', reject);
    socket.on('end', () => {
      const [head, body = ''] = answer.split('\r\n\r\n');
      resolve({ status: Number(head.split(' ')[1]), body });
    });
    socket.write(`${method} ${target} HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n`);
  });
}

test('every request is answered, and the server goes on', async () => {
  const cases = [
    ['GET', '/%ZZ', 400],
    ['GET', '/%E0%A4%A', 400],
    ['GET', '/index.html%00.png', 400],
    ['GET', 'http://[/', 400],
    ['POST', '/', 405],
    ['DELETE', '/index.html', 405],
    ['GET', `/${'a'.repeat(5000)}`, 414],
    ['GET', `/${'a'.repeat(300)}`, 404],
    ['GET', '/%2e%2e%2fsecret.txt', 403],
    ['GET', '/..%2f..%2f..%2fetc/passwd', 403],
    ['GET', '/out.txt', 403],
    ['GET', '/empty', 404],
    ['GET', '/empty/', 404],
    ['GET', '/fifo.js', 404],
    ['GET', '/missing.js', 404],
    ['GET', '/in.html', 200, 'the page'],
    ['HEAD', '/', 200, ''],
  ];
  for (const [method, target, status, body] of cases) {
    const answer = await ask(method, target);
    assert.equal(answer.status, status, `${method} ${target.slice(0, 40)}`);
    if (body !== undefined) {
      assert.equal(answer.body, body, `${method} ${target}`);
    }
    assert.deepEqual(await ask('GET', '/'), { status: 200, body: 'the page' },
      `after ${method} ${target.slice(0, 40)}`);
  }
});
