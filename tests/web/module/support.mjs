// What the module's tests under node share: where the module and the expectations are,
// and the comparison.

import fs from 'node:fs';
import path from 'node:path';
import { pathToFileURL } from 'node:url';

export const moduleDir = path.resolve(process.env.LUMENARK_WEB_MODULE || 'build/web');
export const modulePath = path.join(moduleDir, 'lumenark-engine.mjs');

// A test of the module where none was built is skipped (ctest's SKIP_RETURN_CODE).
if (!fs.existsSync(modulePath)) {
  console.log(`# ${modulePath} is missing: build it with scripts/build-web ${moduleDir}`);
  process.exit(77);
}

export function loadExpectations() {
  const file = process.env.LUMENARK_WEB_EXPECTED;
  if (!file) throw new Error('LUMENARK_WEB_EXPECTED names the file expect.mjs wrote');
  return JSON.parse(fs.readFileSync(file, 'latin1'));
}

export async function loadModule() {
  return (await import(pathToFileURL(modulePath).href)).default;
}

// The cases whose answers differ from the expectations, each with the first difference.
export function differences(cases, expected, answer) {
  const found = [];
  for (const c of cases) {
    const want = expected[c.id];
    const got = answer(c);
    for (const part of ['out', 'err', 'status']) {
      if (got[part] !== want[part]) {
        found.push(`${c.id}: ${part} ${JSON.stringify(got[part]).slice(0, 300)} instead of ${JSON.stringify(want[part]).slice(0, 300)}`);
        break;
      }
    }
  }
  return found;
}
