// Benchmark (not a test): what the page costs on large skins, to choose the
// largest it accepts. For each size, in a fresh browser: the time to open
// the skin (from the file chooser to the editor filled), to Apply and to
// Remove (from the click to the report), the longest the page's thread was
// blocked meanwhile, and the browser's peak memory (the proportional set
// size of all its processes, sampled every 100 ms).
//
// Usage: node bench/web_sizes.mjs [MiB,...]   (default 8,32,64,128; after
// scripts/build-web.sh; ORLIMO_BROWSERS chooses the engines)
import fs from 'node:fs';
import os from 'node:os';
import {engines, launch} from '../web/test/browsers.mjs';

const root = new URL('../', import.meta.url).pathname;
const sizes = (process.argv[2] ?? '8,32,64,128').split(',').map(Number);
const example = fs.readFileSync(`${root}examples/skin.html`, 'latin1');
const [from, to] = [example.indexOf('<div id="wrap">'), example.indexOf('  <div id="footer">')];

// The example with its body repeated up to `mib` MiB (but under the page's limit).
function skinOf(mib) {
  const room = mib * (1 << 20) - 1 - (example.length - (to - from));
  const unit = example.slice(from, to);
  const body = unit.repeat(Math.floor(room / unit.length)) + ' '.repeat(room % unit.length);
  return Buffer.from(example.slice(0, from) + body + example.slice(to), 'latin1');
}

// The summed proportional set size of `pid` and its descendants, in bytes.
function treePss(pid) {
  const children = new Map();
  for (const entry of fs.readdirSync('/proc').filter((e) => /^\d+$/.test(e))) {
    try {
      const ppid = Number(fs.readFileSync(`/proc/${entry}/stat`, 'utf8').split(') ')[1].split(' ')[1]);
      children.set(ppid, [...(children.get(ppid) ?? []), Number(entry)]);
    } catch { /* gone meanwhile */ }
  }
  let total = 0;
  for (const stack = [pid]; stack.length;) {
    const p = stack.pop();
    stack.push(...(children.get(p) ?? []));
    try {
      total += Number(fs.readFileSync(`/proc/${p}/smaps_rollup`, 'utf8').match(/^Pss:\s+(\d+)/m)[1]) * 1024;
    } catch { /* gone meanwhile */ }
  }
  return total;
}

const file = `${os.tmpdir()}/orlimo-web-sizes.html`;
for (const engine of engines) {
  for (const mib of sizes) {
    fs.writeFileSync(file, skinOf(mib));
    const browser = await launch(engine);
    let peak = 0;
    const sampler = setInterval(() => { peak = Math.max(peak, treePss(browser.process().pid)); }, 100);
    const page = await browser.newPage();
    await page.goto(`file://${root}build-web/orlimo.html`);
    await page.waitForFunction(() => document.getElementById('version').textContent);
    // The longest gap between the page's timer ticks: how long its thread was blocked.
    await page.evaluate(() => {
      window.longest = 0;
      let last = performance.now();
      setInterval(() => { window.longest = Math.max(window.longest, performance.now() - last); last = performance.now(); }, 10);
    });
    const until = (text) => page.waitForFunction((t) => document.getElementById('status').textContent.startsWith(t),
      {timeout: 0, polling: 50}, text);
    const row = [];
    let start = Date.now();
    const [chooser] = await Promise.all([page.waitForFileChooser(), page.click('#open')]);
    await chooser.accept([file]);
    await until('열었습니다');
    row.push(`open ${Date.now() - start} ms`);
    for (const button of ['apply', 'remove']) {
      start = Date.now();
      await page.click(`#${button}`);
      await page.waitForFunction(() => !document.body.classList.contains('busy'), {timeout: 0, polling: 50});
      row.push(`${button} ${Date.now() - start} ms`);
    }
    const status = await page.$eval('#status', (e) => e.textContent);
    const longest = await page.evaluate(() => window.longest);
    clearInterval(sampler);
    await browser.close();
    console.log(`${engine} ${mib} MiB: ${row.join(', ')}; page blocked at most ${longest.toFixed(0)} ms; ` +
      `peak ${(peak / (1 << 20)).toFixed(0)} MiB (${status})`);
  }
}
fs.rmSync(file);
