// The page, build-web/orlimo.html, opened from disk in headless Chromium
// (Debian's, driven by playwright-core), against build/bin/orlimo: what it
// saves and copies is what orlimo writes, byte for byte, and it makes no
// network request. Writes build-web/screenshots/orlimo-web.png.
import assert from 'node:assert/strict';
import {spawnSync} from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import {after, before, test} from 'node:test';
import {chromium} from 'playwright-core';

const root = new URL('../../', import.meta.url).pathname;
const pagePath = `${root}build-web/orlimo.html`;
const pageUrl = `file://${pagePath}`;
const example = fs.readFileSync(`${root}examples/skin.html`);

// What `orlimo COMMAND` makes of `bytes`.
function orlimo(command, bytes) {
  const run = spawnSync(`${root}build/bin/orlimo`, [command], {input: bytes});
  assert.equal(run.status, 0, run.stderr.toString());
  return {bytes: run.stdout, report: run.stderr.toString().trimEnd()};
}

const skins = {
  'UTF-8': example,
  'UTF-8 (BOM)': Buffer.concat([Buffer.from([0xef, 0xbb, 0xbf]), example]),
  'CP949': spawnSync('iconv', ['-f', 'UTF-8', '-t', 'CP949//TRANSLIT'], {input: example}).stdout,
};

let browser;
let page;
const requests = [];
const pageErrors = [];

before(async () => {
  fs.mkdirSync(`${root}build-web/screenshots`, {recursive: true});
  browser = await chromium.launch({
    executablePath: '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  const context = await browser.newContext({viewport: {width: 1000, height: 760}});
  await context.grantPermissions(['clipboard-read', 'clipboard-write']);
  context.on('request', (request) => requests.push(request.url()));
  page = await context.newPage();
  page.on('pageerror', (error) => pageErrors.push(error));
  await page.goto(pageUrl);
});
after(() => browser?.close());

const lf = (text) => text.toString().replace(/\r\n/g, '\n');
const text = (selector) => page.textContent(selector);
const statusBecomes = (expected) => page.waitForFunction(
  (t) => document.getElementById('status').textContent.includes(t), expected);

async function saved() {
  const [download] = await Promise.all([page.waitForEvent('download'), page.click('#save')]);
  return {name: download.suggestedFilename(), bytes: fs.readFileSync(await download.path())};
}

async function copied() {
  await page.click('#copy');
  return page.evaluate(() => navigator.clipboard.readText());
}

async function openByChooser(name, bytes) {
  const [chooser] = await Promise.all([page.waitForEvent('filechooser'), page.click('#open')]);
  await chooser.setFiles({name, mimeType: 'text/html', buffer: bytes});
}

async function openByDrop(name, bytes) {
  await page.evaluate(({name, bytes}) => {
    const data = new DataTransfer();
    data.items.add(new File([new Uint8Array(bytes)], name));
    document.querySelector('.cm-content').dispatchEvent(
      new DragEvent('drop', {dataTransfer: data, bubbles: true, cancelable: true}));
  }, {name, bytes: [...bytes]});
}

test('the example pasted: Apply reports, the editor and the clipboard hold orlimo\'s result, undo', async () => {
  const applied = orlimo('apply', example);
  await page.evaluate((t) => navigator.clipboard.writeText(t), example.toString());
  await page.click('.cm-content');
  await page.keyboard.press('Control+V');
  await page.click('#apply');
  await statusBecomes(applied.report);
  // The change view: the script line and the two lines with a wrapper.
  assert.equal(await text('#change-count'), '바뀐 곳 3곳');
  for (const [button, at] of [['#next-change', 1], ['#next-change', 2], ['#prev-change', 1], ['#next-change', 2]]) {
    await page.click(button);
    assert.equal(await text('#change-count'), `바뀐 곳 3곳 중 ${at}번째`);
  }
  await page.locator('.cm-insertedText').first().waitFor();
  await page.screenshot({path: `${root}build-web/screenshots/orlimo-web.png`});

  // Compared modulo line ends: a system clipboard may change them (Windows
  // turns LF into CR LF); the saved bytes are compared exactly.
  assert.equal(lf(await copied()), lf(applied.bytes));
  assert.deepEqual(await saved(), {name: 'skin.html', bytes: applied.bytes});


  // Ctrl+Z with the focus on a button brings back the text before Apply.
  await page.keyboard.press('Control+Z');
  assert.equal(lf(await copied()), lf(example));
  assert.ok(await page.isHidden('#changes'));
});

for (const [encoding, bytes] of Object.entries(skins)) {
  test(`a ${encoding} skin through the chooser and by a drop: Apply and Remove save orlimo's bytes`, async () => {
    const applied = orlimo('apply', bytes);
    const removed = orlimo('remove', applied.bytes);
    for (const [way, open] of Object.entries({chooser: openByChooser, drop: openByDrop})) {
      const name = `${way}-${encoding.replace(/\W/g, '')}.html`;
      await open(name, bytes);
      await statusBecomes(name);
      assert.equal(await text('#file-encoding'), encoding);
      await page.click('#apply');
      await statusBecomes(applied.report);
      assert.deepEqual(await saved(), {name, bytes: applied.bytes});
      await page.click('#remove');
      await statusBecomes(removed.report);
      assert.deepEqual(await saved(), {name, bytes: removed.bytes});
    }
    if (encoding === 'CP949') {  // typing is off, and the page says why
      assert.ok(await page.isVisible('#notice'));
      await page.click('.cm-content');
      await page.keyboard.type('x');
      assert.deepEqual((await saved()).bytes, removed.bytes);
    }
  });
}

test('a file holding a NUL byte is refused in Korean, and the editor keeps its text', async () => {
  const kept = await saved();
  await openByChooser('nul.html', Buffer.from('<p>a\0b</p>'));
  await statusBecomes('nul.html: 바이트 오프셋 4에 NUL 문자가 있습니다.');
  assert.deepEqual(await saved(), kept);
});

test('from load to save not a single network request; the page refuses one, and works served over HTTP', async () => {
  const refused = await page.evaluate(() => new Promise((resolve) => {
    document.addEventListener('securitypolicyviolation', (e) => resolve(e.violatedDirective));
    fetch('https://example.com/').catch(() => {});
  }));
  assert.equal(refused, 'connect-src');
  assert.deepEqual([...new Set(requests)], [pageUrl]);
  assert.deepEqual(pageErrors, []);

  // From a static host: the same one file, and again no other request.
  const server = http.createServer((_, response) => {
    response.setHeader('Content-Type', 'text/html; charset=utf-8');
    response.end(fs.readFileSync(pagePath));
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  try {
    const served = `http://127.0.0.1:${server.address().port}/orlimo.html`;
    requests.length = 0;
    await page.goto(served);
    await openByChooser('served.html', example);
    await page.click('#apply');
    await statusBecomes(orlimo('apply', example).report);
    assert.deepEqual([...new Set(requests)], [served]);
  } finally {
    server.close();
  }
});
