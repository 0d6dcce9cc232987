// The page, build-web/orlimo.html, in headless Chromium and Firefox
// (browsers.mjs): it saves and copies what build/bin/orlimo writes for the
// example in each encoding (so the WebAssembly core matches orlimo on it
// too), refuses what is not a skin and keeps its text, stays usable while it
// works and from the keyboard, has no accessibility violations (axe-core, in
// the light scheme in Chromium, the dark one in Firefox), and makes no
// network request, opened from disk or served. Writes
// build-web/screenshots/orlimo-web.png (Chromium).
//
// Usage: node --test web/test/   (after scripts/build-web.sh and the native build)
import assert from 'node:assert/strict';
import {spawnSync} from 'node:child_process';
import fs from 'node:fs';
import {test} from 'node:test';
import {engines, launch} from './browsers.mjs';

const root = new URL('../../', import.meta.url).pathname;
const pagePath = `${root}build-web/orlimo.html`;
const example = fs.readFileSync(`${root}examples/skin.html`);
const cp949 = (bytes) => spawnSync('iconv', ['-f', 'UTF-8', '-t', 'CP949//TRANSLIT'], {input: bytes}).stdout;
const axeSource = fs.readFileSync(`${root}web/node_modules/axe-core/axe.min.js`, 'utf8');
const kKept = '텍스트는 바뀌지 않았습니다.';

// What `orlimo COMMAND` makes of `bytes`.
function orlimo(command, bytes) {
  const run = spawnSync(`${root}build/bin/orlimo`, [command], {input: bytes});
  assert.equal(run.status, 0, run.stderr.toString());
  return {bytes: run.stdout, report: run.stderr.toString().trimEnd()};
}

// ---- What a user does, and what the page shows ----------------------------------

const textOf = (page, selector, read = (e) => e.textContent) => page.$eval(selector, read);
const says = (page, text) => page.waitForFunction((t) => document.getElementById('status').textContent.includes(t),
  {timeout: 10_000}, text).catch(async (e) => { throw new Error(`${e.message}: ${await textOf(page, '#status')}`); });
// A click on `button`, and then the status line says `text`.
const clickSays = (page, button, text) => page.click(button).then(() => says(page, text));
// What a click on "복사" copies (null: nothing).
const copied = (page) => page.evaluate(() => { window.copiedText = null; }).then(() => page.click('#copy'))
  .then(() => page.evaluate(() => window.copiedText));
const ctrl = (page, key) => page.keyboard.down('Control').then(() => page.keyboard.press(key))
  .then(() => page.keyboard.up('Control'));
const axe = (page) => page.evaluate(axeSource).then(() => page.evaluate(async () =>  // (the policy binds no test)
  (await window.axe.run()).violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.failureSummary).join('; ')}`)));

// What a click on "파일로 저장" (or on `button`) saves: its name and bytes.
const saved = (page, button = '#save') => page.click(button).then(() => page.evaluate(async () => [window.saved[0],
  [...new Uint8Array(await window.saved[1].arrayBuffer())]])).then(([name, bytes]) => ({name, bytes: Buffer.from(bytes)}));

async function choose(page, name, bytes) {
  fs.writeFileSync(`${page.dir}/${name}`, bytes);
  await Promise.all([page.waitForFileChooser(), page.click('#open')]).then(([c]) => c.accept([`${page.dir}/${name}`]));
}

// A drop (or a dragover, or a paste of `text`) of `files`: {name, bytes}, or {name, size} for zeros.
const dispatch = (page, event, files, text) => page.evaluate((event, files, text) => {
  const data = new DataTransfer();
  for (const {name, bytes, size} of files) data.items.add(new File([new Uint8Array(bytes ?? size)], name));
  if (text) data.setData('text/plain', text);
  const init = {bubbles: true, cancelable: true, dataTransfer: data};
  const e = new (event === 'paste' ? ClipboardEvent : DragEvent)(event, init);
  Object.defineProperty(e, 'clipboardData', {value: data});  // Firefox drops it from ClipboardEvent's init
  (event === 'dragover' ? document : document.querySelector('.cm-content')).dispatchEvent(e);
}, event, files.map(({bytes, ...file}) => ({...file, bytes: bytes && [...bytes]})), text);
const drop = (page, ...files) => dispatch(page, 'drop', files);

for (const engine of engines) {
  test(`the page in ${engine}`, async (t) => {
    // Chromium shows the light colour scheme, Firefox the dark one: axe-core checks each.
    const browser = await launch(engine, {dark: engine === 'firefox'});
    t.after(() => browser.close());
    // A tab on the page; `dir` holds the files it opens.
    const dir = `${root}build-web/page-tests/${engine}`;
    fs.mkdirSync(dir, {recursive: true});
    const page = Object.assign(await browser.newPage(), {dir, events: []});
    await page.setViewport({width: 1000, height: 760});
    // Every request beyond the browser's own, and every error; Firefox reports as errors what the
    // page's policy refuses (a served page's favicon, the test's own fetch).
    page.on('request', (request) => /^(file|data|blob):/.test(request.url()) || page.events.push(request.url()));
    page.on('pageerror', (e) => /favicon|example\.com/.test(e.message) || page.events.push(`error: ${e.message}`));
    // The system clipboard and the downloads folder are out of reach: keep what the page copies and saves.
    await page.evaluateOnNewDocument(() => {
      if (navigator.clipboard) navigator.clipboard.writeText = async (text) => { window.copiedText = text; };
      const [blobs, url] = [new Map(), URL.createObjectURL];
      URL.createObjectURL = (blob) => { const made = url(blob); blobs.set(made, blob); return made; };
      HTMLAnchorElement.prototype.click = function () { window.saved = [this.download, blobs.get(this.href)]; };
    });
    await page.goto(`file://${pagePath}`);
    await page.waitForFunction(() => document.getElementById('version').textContent);

    await t.test('empty, it says what to do first; the example pasted gives orlimo\'s result (Apply, the change ' +
      'view, copy, save, undo); what is not a skin is refused and the editor keeps its text', async () => {
      const first = '없습니다. 먼저 skin.html 파일을 열거나 스킨을 붙여 넣으십시오.';
      for (const button of ['#apply', '#remove', '#copy', '#save']) await clickSays(page, button, first);
      assert.deepEqual(await axe(page), []);  // the placeholder, an error
      const applied = orlimo('apply', example);
      await dispatch(page, 'paste', [], example.toString());
      await clickSays(page, '#apply', applied.report);
      for (const button of ['#next-change', '#next-change', '#prev-change', '#next-change']) await page.click(button);
      assert.equal(await textOf(page, '#change-count'), '바뀐 곳 3곳 중 2번째');  // the script line, two wrappers
      assert.deepEqual(await axe(page), []);  // the changes marked
      if (engine === 'chromium') {
        fs.mkdirSync(`${root}build-web/screenshots`, {recursive: true});
        await page.screenshot({path: `${root}build-web/screenshots/orlimo-web.png`});
      }
      await page.click('#close-changes');  // the focus goes back to the editor
      assert.ok(await page.evaluate(() => document.activeElement.matches('.cm-content')));
      assert.equal(await copied(page), applied.bytes.toString());
      assert.deepEqual(await saved(page), {name: 'skin.html', bytes: applied.bytes});
      await ctrl(page, 'z');  // the focus is on a button
      for (const [files, refusal] of [
        // (A byte-order mark alone is empty too.)
        [[{name: 'empty.html', bytes: [0xef, 0xbb, 0xbf]}], 'empty.html: 빈 파일은 열 수 없습니다.'],
        [[{name: 'utf16.html', bytes: [0xff, 0xfe, 0x3c, 0, 0x70, 0]}], 'UTF-8로 다시 저장한 뒤 여십시오.'],
        [[{name: 'logo.png', bytes: [0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0, 0, 0]}], '텍스트가 아닙니다(바이트 오프셋 8에'],
        [[{name: 'big.html', size: (32 << 20) + 1}], 'big.html: 파일이 너무 커서 열 수 없습니다 (32.1 MiB). ' +
          '이 페이지에서는 32 MiB까지 열 수 있습니다. 더 큰 스킨은 명령줄의 orlimo로 처리하십시오(512 MiB까지).'],
        [[{name: 'a.html', bytes: [0x61]}, {name: 'b.html', bytes: [0x62]}], '파일은 한 번에 하나만 끌어다 놓으십시오.'],
      ]) {
        await drop(page, ...files);
        await says(page, refusal);
        assert.ok((await textOf(page, '#status')).endsWith(kKept));
        assert.equal(await copied(page), example.toString());
      }
    });

    await t.test('the bbcode35.js panel: its script renders a typed comment, and it saves build-web/bbcode35.js', async () => {
      await page.click('#bbcode summary');
      await page.$eval('#bbcode-comment', (e) => { e.value = ''; });
      await page.type('#bbcode-comment', '[b]굵게[/b]\n[url=javascript:alert(1)]x[/url]');
      assert.equal(await textOf(page, '#bbcode-preview', (e) => e.innerHTML), '<div class="bbcode" data-bbcode="">' +
        '<b class="bb-b">굵게</b><br>\n[url=javascript:alert(1)]x[/url]</div>');
      assert.deepEqual(await saved(page, '#bbcode-save'), {name: 'bbcode35.js', bytes: fs.readFileSync(`${root}build-web/bbcode35.js`)});
      await says(page, '저장했습니다: bbcode35.js');
      await page.click('#bbcode summary');
    });

    // Two bytes that neither UTF-8 nor code page 949 can show, after a line.
    const damaged = (bytes, at = bytes.indexOf(0x0a, 300) + 1) =>
      Buffer.concat([bytes.subarray(0, at), Buffer.from([0x80, 0xff]), bytes.subarray(at)]);
    for (const [label, bytes, encoding, notice] of [
      ['UTF-8', example, 'UTF-8', null],
      ['UTF-8 with a byte-order mark', Buffer.from([0xef, 0xbb, 0xbf, ...example]), 'UTF-8 (BOM)', null],
      ['CP949', cp949(example), 'CP949', 'CP949(EUC-KR)로 된 파일입니다.'],
      ['UTF-8, two bytes not shown', damaged(example), 'UTF-8', '가장 많이 읽히는 UTF-8로 보여 줍니다. 읽을 수 없는 2바이트는'],
      ['CP949, two bytes not shown', damaged(cp949(example)), 'CP949', '읽히는 CP949(EUC-KR)로 보여 줍니다. 읽을 수 없는 2바이트는'],
    ]) {
      await t.test(`${label} through the chooser and by a drop: Apply and Remove save orlimo's bytes`, async () => {
        const applied = orlimo('apply', bytes), removed = orlimo('remove', applied.bytes);
        for (const [way, open] of [['chooser', choose], ['drop', (page, name) => drop(page, {name, bytes})]]) {
          const name = `${way}-${label.replace(/\W/g, '')}.html`;
          await open(page, name, bytes);
          await says(page, `열었습니다: ${name}`);
          assert.equal(await textOf(page, '#file-encoding'), encoding);
          for (const [button, result] of [['#apply', applied], ['#remove', removed]]) {
            await clickSays(page, button, result.report);
            assert.deepEqual(await saved(page), {name, bytes: result.bytes});
          }
        }
        assert.ok((await copied(page)).includes('바람이 머무는 곳'));  // shown in the decoding that shows it
        if (label === 'CP949') assert.deepEqual(await axe(page), []);  // the notice
        // A text the page cannot write back takes no typing, and says so.
        const shown = await textOf(page, '#notice', (e) => !e.hidden && e.textContent);
        assert.ok(notice ? shown.includes(notice) : shown === false, shown);
        assert.equal(await textOf(page, '.cm-content', (e) => e.getAttribute('aria-readonly')), notice && 'true');
        await page.click('.cm-content').then(() => page.keyboard.type('QZQ'));
        assert.equal((await textOf(page, '#status')).startsWith('입력할 수 없습니다.'), Boolean(notice));
        assert.equal((await copied(page)).includes('QZQ'), !notice);
      });
    }

    await t.test('while it works: the last file wins, the page is busy, a failure is said; the keyboard, the drop ' +
      'hint, a long file name, the places of a one-line skin, a text no encoding keeps; no network', async () => {
      await page.evaluate(() => {  // a read that takes its time
        const read = Blob.prototype.arrayBuffer;
        Blob.prototype.arrayBuffer = function () {
          return this.name !== 'slow.html' ? read.call(this) : new Promise((resolve) => setTimeout(resolve, 300))
            .then(() => read.call(this)).finally(() => { window.slowRead = true; });
        };
      });
      await drop(page, {name: 'slow.html', bytes: Buffer.from('<p>slow</p>')});
      await drop(page, {name: 'quick.html', bytes: example});
      await page.waitForFunction(() => window.slowRead);
      await says(page, '열었습니다: quick.html');
      assert.deepEqual(await page.evaluate(() => {  // Apply, the moment it is clicked; Remove and copy then do nothing
        window.copiedText = null;
        for (const id of ['apply', 'remove', 'copy']) document.getElementById(id).click();
        return [document.body.classList.contains('busy'), document.getElementById('status').textContent, window.copiedText,
          ...['apply', 'copy'].map((id) => document.getElementById(id).getAttribute('aria-disabled'))];
      }), [true, 'BBCode 적용 중…', null, 'true', 'true']);
      await says(page, '추가');
      assert.equal(await textOf(page, '#apply', (e) => e.getAttribute('aria-disabled')), 'false');
      const before = await copied(page);
      await page.evaluate(() => {  // out of memory in splitting the result into lines
        const split = String.prototype.split;
        String.prototype.split = () => { String.prototype.split = split; throw new RangeError('Invalid string length'); };
      });
      await clickSays(page, '#remove', `메모리가 부족하여 명령을 마치지 못했습니다. ${kKept}`);
      assert.equal(await copied(page), before);
      await ctrl(page, 'f');  // from a button: the editor's search, not the browser's
      assert.ok(await page.evaluate(() => document.activeElement.matches('.cm-search [name=search]')));
      await page.keyboard.press('Escape');
      await dispatch(page, 'dragover', [{name: 'x.html', bytes: [0x78]}]);
      assert.ok(await page.evaluate(() => document.body.classList.contains('dropping')));
      await page.waitForFunction(() => !document.body.classList.contains('dropping'));  // a drag cancelled unseen
      const oneLine = Buffer.from(example.toString().replace(/\r\n/g, ''));
      await drop(page, {name: `${'x'.repeat(240)}.html`, bytes: oneLine});
      await says(page, '열었습니다');
      assert.ok(await page.evaluate(() => document.documentElement.scrollWidth <= window.innerWidth));
      await clickSays(page, '#apply', orlimo('apply', oneLine).report);
      assert.equal(await textOf(page, '#change-count'), '바뀐 곳 5곳');  // the script line, two tags for each of 2 tokens
      await dispatch(page, 'paste', [], '<p>\ud83d</p>');  // half an emoji: neither run on nor saved
      for (const [button, tail] of [['#apply', kKept], ['#save', '저장하지 않았습니다.']]) {
        await clickSays(page, button, `텍스트에 처리할 수 없는 문자가 있습니다. ${tail}`);
      }
      // Not one network request, from disk or served: the page refuses them.
      await assert.rejects(page.evaluate(() => fetch('https://example.com/')));
      const served = 'http://orlimo.test/orlimo.html';
      await page.setRequestInterception(true);
      page.on('request', (request) => (request.url() === served
        ? request.respond({status: 200, contentType: 'text/html; charset=utf-8', body: fs.readFileSync(pagePath)})
        : request.abort()));
      await page.goto(served);
      await page.waitForFunction(() => document.getElementById('version').textContent);  // the core runs
      assert.deepEqual(page.events, [served]);
    });
  });
}
