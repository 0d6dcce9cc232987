// The core compiled to WebAssembly against the native one, byte for byte:
// the text and the report of Apply and Remove on every skin that the native
// differential test generates (ORLIMO_DIFF_DUMP, written by
// scripts/test-web.sh), and on the examples through build/bin/orlimo. On the
// same skins, the change view's difference must turn each skin into the
// commands' results.
//
// Usage: node --test web/test/   (after scripts/build-web.sh and the native build)
import assert from 'node:assert/strict';
import {spawnSync} from 'node:child_process';
import fs from 'node:fs';
import {createRequire} from 'node:module';
import test from 'node:test';
import {Status, loadCore} from '../src/core.js';
import {editDiff} from '../src/edit_diff.js';

const root = new URL('../../', import.meta.url).pathname;
const createModule = createRequire(import.meta.url)(`${root}build-web/orlimo-core.js`);
const core = await loadCore(createModule, fs.readFileSync(`${root}build-web/orlimo-core.wasm`));
const text = (bytes) => Buffer.from(bytes).toString('latin1');  // byte for byte, readable in a diff

// The dump: per skin, the skin, then Apply's text and report, then Remove's.
function* dumpedSkins(path) {
  const data = fs.readFileSync(path);
  const next = () => {
    const length = data.readUInt32LE(at);
    at += 4 + length;
    return data.subarray(at - length, at);
  };
  let at = 0;
  while (at < data.length) yield {skin: next(), apply: [next(), next()], remove: [next(), next()]};
}

// `changes` applied to `a`, checked to be in order.
function edited(a, b, changes) {
  let out = '';
  let at = 0;
  for (const c of changes) {
    assert.ok(c.fromA >= at && c.toA >= c.fromA && c.fromB === out.length + c.fromA - at);
    out += a.slice(at, c.fromA) + b.slice(c.fromB, c.toB);
    at = c.toA;
  }
  return out + a.slice(at);
}

function expectSame(skin, apply, expected, label) {
  const result = core.run(apply, skin);
  assert.equal(result.status, Status.ok, label);
  assert.equal(text(result.bytes), text(expected[0]), `${label}: text`);
  assert.equal(result.report, expected[1].toString(), `${label}: report`);
  const [a, b] = [text(skin), text(result.bytes)];
  assert.equal(edited(a, b, editDiff(a, b)), b, `${label}: difference`);
}

test('generated skins: the same text and report as the native core', () => {
  let count = 0;
  for (const {skin, apply, remove} of dumpedSkins(`${root}build-web/native-commands.bin`)) {
    expectSame(skin, true, apply, `Apply on skin ${count}`);
    expectSame(skin, false, remove, `Remove on skin ${count}`);
    ++count;
  }
  assert.ok(count >= 6000, `only ${count} skins`);
});

test('the examples: the same bytes and report as orlimo', () => {
  for (const name of fs.readdirSync(`${root}examples`)) {
    const path = `${root}examples/${name}`;
    for (const command of ['apply', 'remove']) {
      const native = spawnSync(`${root}build/bin/orlimo`, [command, path]);
      assert.equal(native.status, 0);
      expectSame(fs.readFileSync(path), command === 'apply',
        [native.stdout, native.stderr.toString().trimEnd()], `${command} ${name}`);
    }
  }
});

test('a NUL byte is refused, with its offset', () => {
  assert.deepEqual(core.run(true, Buffer.from('<p>a\0b</p>')), {status: Status.nulByte, nulOffset: 4});
});
