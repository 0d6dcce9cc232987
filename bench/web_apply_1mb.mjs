// Benchmark (not a test): Apply on a 1 MB skin in headless Chromium, from the
// click to the editor and the change view updated and painted; prints the
// median of several runs and where the time goes (the page's own
// performance measures; the rest is the browser's layout and painting).
//
// Usage: node bench/web_apply_1mb.mjs [RUNS]   (after scripts/build-web.sh)
import fs from 'node:fs';
import {createRequire} from 'node:module';

const root = new URL('../', import.meta.url).pathname;
const {chromium} = createRequire(`${root}web/package.json`)('playwright-core');  // the page's npm packages
const runs = Number(process.argv[2] ?? 7);

// The example skin with its body repeated up to 1 MB: many comment and
// guest-book blocks, so Apply inserts thousands of wrappers.
const example = fs.readFileSync(`${root}examples/skin.html`, 'latin1');
const [from, to] = [example.indexOf('<div id="wrap">'), example.indexOf('  <div id="footer">')];
let body = '';
while (body.length < 1 << 20) body += example.slice(from, to);
const skin = Buffer.from(example.slice(0, from) + body + example.slice(to), 'latin1');

const browser = await chromium.launch({
  executablePath: '/usr/bin/chromium',
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync'],
});
const page = await browser.newPage({viewport: {width: 1280, height: 900}});
const results = [];
for (let k = 0; k < runs; ++k) {
  await page.goto(`file://${root}build-web/orlimo.html`);
  await page.setInputFiles('#file', {name: 'skin.html', mimeType: 'text/html', buffer: skin});
  await page.waitForFunction(() => document.getElementById('status').textContent.startsWith('열었습니다'));
  await page.waitForTimeout(300);  // let the first parse and paint settle
  results.push(await page.evaluate(async () => {
    performance.clearMeasures();
    const start = performance.now();
    document.getElementById('apply').click();
    // After the next frame is painted.
    await new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve, 0)));
    const parts = Object.fromEntries(performance.getEntriesByType('measure')
      .filter((m) => m.name.startsWith('orlimo ')).map((m) => [m.name.slice(7), m.duration]));
    return {total: performance.now() - start, parts, report: document.getElementById('status').textContent,
      changes: document.getElementById('change-count').textContent};
  }));
}
await browser.close();

const median = (values) => values.sort((a, b) => a - b)[values.length >> 1];
const total = median(results.map((r) => r.total));
console.log(`Apply on a ${(skin.length / (1 << 20)).toFixed(2)} MB skin (${results[0].report}; ${results[0].changes}),` +
  ` median of ${runs}: ${total.toFixed(0)} ms from click to painted (runs: ` +
  `${results.map((r) => r.total.toFixed(0)).join(', ')})`);
let measured = 0;
for (const name of Object.keys(results[0].parts)) {
  const ms = median(results.map((r) => r.parts[name]));
  measured += ms;
  console.log(`  ${name.padEnd(12)} ${ms.toFixed(1).padStart(7)} ms`);
}
console.log(`  ${'layout, paint'.padEnd(12)} ${(total - measured).toFixed(1).padStart(7)} ms (the rest)`);
