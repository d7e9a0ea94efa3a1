// Runs the Khronos glTF validator on each file named and prints one line per file with its
// counts of errors, warnings and infos and what it found the file holds (draw calls, vertices,
// triangles, and the most attributes of a primitive), then every error and warning. The exit status is 1 if
// any file has an error or a warning, 2 if a file could not be validated at all.
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';

const require = createRequire(import.meta.url);
const validator = require('gltf-validator');

let status = 0;
for (const file of process.argv.slice(2)) {
  try {
    const report = await validator.validateBytes(new Uint8Array(readFileSync(file)), {
      maxIssues: 0,
    });
    const { numErrors, numWarnings, numInfos } = report.issues;
    const info = report.info ?? {};
    console.log(`${file}: ${numErrors} errors, ${numWarnings} warnings, ${numInfos} infos; ` +
                `${info.drawCallCount ?? 0} draw calls, ${info.totalVertexCount ?? 0} vertices, ` +
                `${info.totalTriangleCount ?? 0} triangles, ${info.maxAttributes ?? 0} attributes`);
    for (const message of report.issues.messages) {
      if (message.severity <= 1) {
        console.log(`  ${message.code} at ${message.pointer ?? ''}: ${message.message}`);
      }
    }
    if (numErrors > 0 || numWarnings > 0) {
      status = Math.max(status, 1);
    }
  } catch (error) {
    console.log(`${file}: not validated: ${error}`);
    status = 2;
  }
}
process.exit(status);
