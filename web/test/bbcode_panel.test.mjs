// The page's bbcode35.js panel, opened from disk in each engine: the preview
// renders a typed comment with the embedded script, and "bbcode35.js 저장"
// saves exactly build-web/bbcode35.js, with no network request.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import {test} from 'node:test';
import {engines, launch} from './browsers.mjs';

const root = new URL('../../', import.meta.url).pathname;
const url = `file://${root}build-web/orlimo.html`;

for (const engine of engines) {
  test(`the bbcode35.js panel in ${engine}: preview and save`, async (t) => {
    const browser = await launch(engine);
    t.after(() => browser.close());
    const page = await browser.newPage();
    const requests = [];  // but for the page itself, its own data: fonts and the core's blob: worker
    page.on('request', (request) => /^(file|data|blob):/.test(request.url()) || requests.push(request.url()));
    await page.goto(url);
    await page.click('#bbcode summary');
    await page.evaluate(() => {  // what the save hands to the browser's download
      document.getElementById('bbcode-comment').value = '';
      URL.createObjectURL = (blob) => (window.saved = blob, 'about:blank');
      HTMLAnchorElement.prototype.click = function () { window.savedAs = this.download; };
    });
    await page.type('#bbcode-comment', '[b]굵게[/b]\n[url=javascript:alert(1)]x[/url]');
    await page.click('#bbcode-save');
    assert.deepEqual([...requests, ...await page.evaluate(async () => [document.getElementById('bbcode-preview').innerHTML,
      await window.saved.text(), window.saved.type, window.savedAs, document.getElementById('status').textContent])],
    ['<div class="bbcode" data-bbcode=""><b class="bb-b">굵게</b><br>\n[url=javascript:alert(1)]x[/url]</div>',
      fs.readFileSync(`${root}build-web/bbcode35.js`, 'utf8'), 'text/javascript', 'bbcode35.js', '저장했습니다: bbcode35.js']);
  });
}
