// The page's parts that run without a browser. The core compiled to
// WebAssembly gives the native core's text and report on every skin the
// native differential test generates (ORLIMO_DIFF_DUMP, written by
// scripts/test-web.sh), and the change view's difference turns each skin
// into its result. A skin's bytes decode to the text, encoding and line end
// the editor shows, and an editable text encodes back to the same bytes.
//
// Usage: node --test web/test/   (after scripts/build-web.sh and the native build)
import assert from 'node:assert/strict';
import {spawnSync} from 'node:child_process';
import fs from 'node:fs';
import {createRequire} from 'node:module';
import {test} from 'node:test';
import {Status, loadCore} from '../src/core.js';
import {editDiff} from '../src/edit_diff.js';
import {Encoding, decodeSkin, encodeSkin, firstLineBreak, isEditable} from '../src/encoding.js';

const root = new URL('../../', import.meta.url).pathname;
const core = await loadCore(createRequire(import.meta.url)(`${root}build-web/orlimo-core.js`),
  fs.readFileSync(`${root}build-web/orlimo-core.wasm`));
const latin1 = (bytes) => Buffer.from(bytes).toString('latin1');  // byte for byte, readable in a diff

// The core's result on `skin` is `expected`, and the change view's difference
// (in order, each change where the last left off) turns the skin into it.
function expectSame(skin, apply, expected, label) {
  const result = core.run(apply, skin);
  assert.deepEqual([result.status, latin1(result.bytes), result.report],
    [Status.ok, latin1(expected.bytes), expected.report.toString()], label);
  const [a, b] = [latin1(skin), latin1(result.bytes)];
  let [out, at] = ['', 0];
  for (const c of editDiff(a, b)) {
    assert.ok(c.fromA >= at && c.toA >= c.fromA && c.fromB === out.length + c.fromA - at, label);
    [out, at] = [out + a.slice(at, c.fromA) + b.slice(c.fromB, c.toB), c.toA];
  }
  assert.equal(out + a.slice(at), b, `${label}: difference`);
}

test('the WebAssembly core: the native results on the generated skins', () => {
  const dump = fs.readFileSync(`${root}build-web/native-commands.bin`);
  let [at, count] = [0, 0];
  const next = () => dump.subarray(at + 4, (at += 4 + dump.readUInt32LE(at)));  // length, bytes
  for (; at < dump.length; ++count) {  // the skin, Apply's text and report, Remove's
    const skin = next();
    expectSame(skin, true, {bytes: next(), report: next()}, `Apply on skin ${count}`);
    expectSame(skin, false, {bytes: next(), report: next()}, `Remove on skin ${count}`);
  }
  assert.ok(count >= 6000, `only ${count} skins`);
  assert.deepEqual(core.run(true, Buffer.from('<p>a\0b</p>')), {status: Status.nulByte, nulOffset: 4});
});

test('a skin\'s bytes: encoding, text, line end, the bytes not shown', () => {
  const cp949 = (text) => spawnSync('iconv', ['-f', 'UTF-8', '-t', 'CP949'], {input: text}).stdout;
  const bytes = (...parts) => Buffer.concat(parts.map((p) => Buffer.from(p)));
  const {utf8, utf8Bom, cp949: euckr} = Encoding;
  for (const [label, input, known, expected] of [
    ['UTF-8, LF', bytes('<p>한글</p>\n<b>'), null, [utf8, '<p>한글</p>\n<b>', '\n', 0]],
    ['UTF-8 with a byte-order mark, CR LF', bytes([0xef, 0xbb, 0xbf], 'a\r\nb\nc'), null, [utf8Bom, 'a\r\nb\nc', '\r\n', 0]],
    ['a byte-order mark kept as text in a UTF-8 result', bytes([0xef, 0xbb, 0xbf], 'a'), utf8, [utf8, '\ufeffa', '\r\n', 0]],
    ['CP949, CR', bytes(cp949('한글 스킨'), '\r\r\n'), null, [euckr, '한글 스킨\r\r\n', '\r', 0]],
    ['no text', bytes(), null, [utf8, '', '\r\n', 0]],
    // Bytes UTF-8 cannot show. (Node's euc-kr decoder is not the browsers',
    // so the choice between the two decodings is tested in the page.)
    ['UTF-8, 3 stray bytes', bytes('한', [0x80], '<b>', [0xc3], ' 끝', [0xff]), utf8, [utf8, '한\ufffd<b>\ufffd 끝\ufffd', '\r\n', 3]],
    ['UTF-8 with a U+FFFD of its own and a stray byte', bytes('\ufffd', [0xff]), utf8, [utf8, '\ufffd\ufffd', '\r\n', 1]],
  ]) {
    const decoded = decodeSkin(input, known);
    assert.deepEqual([decoded.encoding, decoded.text, firstLineBreak(decoded.text), decoded.unshown], expected, label);
    if (isEditable(decoded)) assert.deepEqual(Buffer.from(encodeSkin(decoded.text, decoded.encoding)), input, label);
  }
});
