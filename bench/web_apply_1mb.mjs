// Benchmark (not a test): Apply on a 1 MB skin in the page, in headless
// Chromium and Firefox, from the click to the editor and the change view
// updated and painted; prints the median of several runs and where the time
// goes (the page's own performance measures, those of the core's worker
// included; the rest is waiting for the worker, layout and painting).
//
// Usage: node bench/web_apply_1mb.mjs [RUNS]   (after scripts/build-web.sh;
// ORLIMO_BROWSERS chooses the engines)
import fs from 'node:fs';
import os from 'node:os';
import {engines, launch} from '../web/test/browsers.mjs';

const root = new URL('../', import.meta.url).pathname;
const runs = Number(process.argv[2] ?? 7);

// The example skin with its body repeated up to 1 MB: many comment and
// guest-book blocks, so Apply inserts thousands of wrappers.
const example = fs.readFileSync(`${root}examples/skin.html`, 'latin1');
const [from, to] = [example.indexOf('<div id="wrap">'), example.indexOf('  <div id="footer">')];
let body = '';
while (body.length < 1 << 20) body += example.slice(from, to);
const file = `${os.tmpdir()}/orlimo-web-apply-1mb.html`;
fs.writeFileSync(file, Buffer.from(example.slice(0, from) + body + example.slice(to), 'latin1'));

const median = (values) => values.sort((a, b) => a - b)[values.length >> 1];
for (const engine of engines) {
  const browser = await launch(engine);
  const page = await browser.newPage();
  await page.setViewport({width: 1280, height: 900});
  const results = [];
  for (let k = 0; k < runs; ++k) {
    await page.goto(`file://${root}build-web/orlimo.html`);
    const [chooser] = await Promise.all([page.waitForFileChooser(), page.click('#open')]);
    await chooser.accept([file]);
    await page.waitForFunction(() => document.getElementById('status').textContent.startsWith('열었습니다'));
    // Let the editor's first parse (in the background, from the top) and paint settle.
    await new Promise((resolve) => setTimeout(resolve, 2000));
    results.push(await page.evaluate(async () => {
      performance.clearMeasures();
      const start = performance.now();
      document.getElementById('apply').click();
      while (document.body.classList.contains('busy')) await new Promise((resolve) => setTimeout(resolve, 1));
      // After the next frame is painted.
      await new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve, 0)));
      const parts = Object.fromEntries(performance.getEntriesByType('measure')
        .filter((m) => m.name.startsWith('orlimo ')).map((m) => [m.name.slice(7), m.duration]));
      return {total: performance.now() - start, parts, report: document.getElementById('status').textContent,
        changes: document.getElementById('change-count').textContent};
    }));
  }
  await browser.close();
  const total = median(results.map((r) => r.total));
  console.log(`${engine}: Apply on a ${(fs.statSync(file).size / (1 << 20)).toFixed(2)} MB skin (${results[0].report}; ` +
    `${results[0].changes}), median of ${runs}: ${total.toFixed(0)} ms from click to painted (runs: ` +
    `${results.map((r) => r.total.toFixed(0)).join(', ')})`);
  let measured = 0;
  for (const name of Object.keys(results[0].parts)) {
    const ms = median(results.map((r) => r.parts[name]));
    measured += ms;
    console.log(`  ${name.padEnd(12)} ${ms.toFixed(1).padStart(7)} ms`);
  }
  console.log(`  ${'the rest'.padEnd(12)} ${(total - measured).toFixed(1).padStart(7)} ms (the worker's messages, layout, paint)`);
}
fs.rmSync(file);
