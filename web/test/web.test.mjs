// The web build against the native one, byte for byte. The core compiled to
// WebAssembly gives the native core's text and report on every skin the
// native differential test generates (ORLIMO_DIFF_DUMP, written by
// scripts/test-web.sh). The page, build-web/orlimo.html in headless Chromium
// (driven by playwright-core), saves and copies what build/bin/orlimo writes
// for the example in each encoding (so the WebAssembly core matches orlimo on
// it too), and makes no network request, opened from disk or served. Writes
// build-web/screenshots/orlimo-web.png.
//
// Usage: node --test web/test/   (after scripts/build-web.sh and the native build)
import assert from 'node:assert/strict';
import {spawnSync} from 'node:child_process';
import fs from 'node:fs';
import {createRequire} from 'node:module';
import {after, test} from 'node:test';
import {chromium} from 'playwright-core';
import {Status, loadCore} from '../src/core.js';
import {editDiff} from '../src/edit_diff.js';

const root = new URL('../../', import.meta.url).pathname;
const pagePath = `${root}build-web/orlimo.html`;
const example = fs.readFileSync(`${root}examples/skin.html`);

// What `orlimo COMMAND` makes of `bytes`.
function orlimo(command, bytes) {
  const run = spawnSync(`${root}build/bin/orlimo`, [command], {input: bytes});
  assert.equal(run.status, 0, run.stderr.toString());
  return {bytes: run.stdout, report: run.stderr.toString().trimEnd()};
}

// ---- The core ----------------------------------------------------------------

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

// ---- The page ----------------------------------------------------------------

const browser = await chromium.launch({executablePath: '/usr/bin/chromium',
  args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking']});
after(() => browser.close());
const context = await browser.newContext({viewport: {width: 1000, height: 760}});
await context.grantPermissions(['clipboard-read', 'clipboard-write']);
const events = [];  // every request the page makes, and every error it throws
context.on('request', (request) => events.push(request.url()));
const page = await context.newPage();
page.on('pageerror', (error) => events.push(`error: ${error}`));
await page.goto(`file://${pagePath}`);

const statusBecomes = (expected) => page.waitForFunction(
  (t) => document.getElementById('status').textContent.includes(t), expected);
const clickFor = (selector, event) => Promise.all([page.waitForEvent(event), page.click(selector)]);
const saved = () => clickFor('#save', 'download').then(async ([download]) =>
  ({name: download.suggestedFilename(), bytes: fs.readFileSync(await download.path())}));
const copied = () => page.click('#copy').then(() => page.evaluate(() => navigator.clipboard.readText()));
const opens = {
  chooser: (name, buffer) => clickFor('#open', 'filechooser').then(([chooser]) =>
    chooser.setFiles({name, mimeType: 'text/html', buffer})),
  drop: (name, bytes) => page.evaluate(({name, bytes}) => {
    const data = new DataTransfer();
    data.items.add(new File([new Uint8Array(bytes)], name));
    document.querySelector('.cm-content').dispatchEvent(
      new DragEvent('drop', {dataTransfer: data, bubbles: true, cancelable: true}));
  }, {name, bytes: [...bytes]}),
};

test('the example pasted: Apply reports, the change view steps, copy and save give orlimo\'s result, undo', async () => {
  const applied = orlimo('apply', example);
  await page.evaluate((t) => navigator.clipboard.writeText(t), example.toString());
  await page.click('.cm-content');
  await page.keyboard.press('Control+V');
  await page.click('#apply');
  await statusBecomes(applied.report);
  for (const button of ['#next-change', '#next-change', '#prev-change', '#next-change']) await page.click(button);
  assert.equal(await page.textContent('#change-count'), '바뀐 곳 3곳 중 2번째');  // the script line, two wrappers
  await page.screenshot({path: `${root}build-web/screenshots/orlimo-web.png`});
  assert.equal(await copied(), applied.bytes.toString());
  assert.deepEqual(await saved(), {name: 'skin.html', bytes: applied.bytes});
  await page.keyboard.press('Control+Z');  // the focus is on a button
  assert.equal(await copied(), example.toString());
  assert.ok(await page.isHidden('#changes'));
  // A NUL file is refused, and the editor keeps its text.
  await opens.chooser('nul.html', Buffer.from('<p>a\0b</p>'));
  await statusBecomes('nul.html: 바이트 오프셋 4에 NUL 문자가 있습니다.');
  assert.equal(await copied(), example.toString());
});

for (const [encoding, bytes] of [['UTF-8', example], ['UTF-8 (BOM)', Buffer.from([0xef, 0xbb, 0xbf, ...example])],
  ['CP949', spawnSync('iconv', ['-f', 'UTF-8', '-t', 'CP949//TRANSLIT'], {input: example}).stdout]]) {
  test(`a ${encoding} skin through the chooser and by a drop: Apply and Remove save orlimo's bytes`, async () => {
    const applied = orlimo('apply', bytes);
    const removed = orlimo('remove', applied.bytes);
    for (const [way, open] of Object.entries(opens)) {
      const name = `${way}-${encoding.replace(/\W/g, '')}.html`;
      await open(name, bytes);
      await statusBecomes(name);
      assert.equal(await page.textContent('#file-encoding'), encoding);
      for (const [button, result] of [['#apply', applied], ['#remove', removed]]) {
        await page.click(button);
        await statusBecomes(result.report);
        assert.deepEqual(await saved(), {name, bytes: result.bytes});
      }
    }
    // Code page 949 cannot be written: typing is off, and the page says why.
    assert.equal(await page.isVisible('#notice'), encoding === 'CP949');
    await page.click('.cm-content');
    await page.keyboard.type('QZQ');
    assert.equal((await copied()).includes('QZQ'), encoding !== 'CP949');
  });
}

test('not one network request, from disk or served: the page refuses them', async () => {
  await assert.rejects(page.evaluate(() => fetch('https://example.com/')));
  const served = 'http://orlimo.test/orlimo.html';
  await page.route(served, (route) => route.fulfill({path: pagePath, contentType: 'text/html; charset=utf-8'}));
  await page.goto(served);
  await page.waitForFunction(() => document.getElementById('version').textContent);  // the core runs
  assert.deepEqual([...new Set(events)], [`file://${pagePath}`, served]);
});
