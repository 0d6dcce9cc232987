// Benchmark (not a test): bbcode35.js in headless Chromium, on the blog page
// of its tests. Prints four medians: 100 comments of about 400 characters of
// mixed BBCode rendered by one UpdateBBCodeNow() (goal: 10 ms); the longest
// task of the script while a page of 1,000 such comments renders on its own
// (goal: none over 50 ms); the worst of several hostile 20,000-character
// comments (goal: 20 ms); and the script's start-up in <head>, before the
// document is parsed (goal: 1 ms).
//
// Usage: node bench/bbcode35.mjs [RUNS]   (after scripts/build-web.sh and a build of build/)
import fs from 'node:fs';
import {launch} from '../web/test/browsers.mjs';
import {blogPage, escaped, serve} from '../web/bbcode/test/blog.mjs';

const runs = Number(process.argv[2] ?? 21);
const script = fs.readFileSync(new URL('../build-web/bbcode35.js', import.meta.url), 'utf8');

// Mixed comments: pieces of what visitors write, drawn with a fixed seed
// until a comment has about 400 characters.
const kPieces = ['[quote=김하늘]지난번 글 잘 읽었습니다.\n[b]특히[/b] 사진이 [i]좋았어요[/i].[/quote]\n',
  '저도 [url=https://example.com/trip]여행기[/url]를 썼어요. ', '[color=#c33]꼭[/color] 보세요! ', '그냥 글자만 있는 문장입니다. ',
  '[list]\n[*]첫째 [u]밑줄[/u]\n[*]둘째 [s]취소[/s]\n[/list]\n', '[code]let a = 1;\n  if (a < 2) a++;[/code]\n',
  '[img]https://example.com/photo.jpg[/img]\n', '[size=5]크게[/size] [sub]아래[/sub][sup]위[/sup] ', '[spoiler=결말]비밀입니다[/spoiler]\n',
  '[center]가운데[/center]\n', 'https://example.com/plain 주소도 있고 [email]me@example.com[/email] ', '[I]n the matter of [b]x\n'];
let seed = 7;
const mixed = () => {
  let text = '';
  while (text.length < 400) text += kPieces[(seed = (seed * 1103515245 + 12345) % 2147483648) % kPieces.length];
  return text;
};
const fill = (text) => text.slice(0, 20000);
const kHostile = {
  'nested [b]': fill('[b]'.repeat(2857) + 'x' + '[/b]'.repeat(2857)), 'unclosed [quote]': fill('[quote]'.repeat(2858)),
  '[url= without ]': fill('[url='.repeat(4000)), '[code] among end tags': fill('[code]'.repeat(500) + '[/b]'.repeat(4250)),
  '[url] among [/url]': fill('[url]'.repeat(3999) + '[/url]'), 'list items': fill('[list]' + '[*]x'.repeat(5000)),
  'tags in a row': fill('[b]x[/b][i]y[/i]'.repeat(1250)), 'long values': fill(('[color=' + 'r'.repeat(2000) + ']').repeat(10)),
};

const browser = await launch('chromium');
const page = await browser.newPage();
const median = (values) => [...values].sort((a, b) => a - b)[values.length >> 1];

// Start-up: the script inline in <head>, timed from the script before it.
const bare = await serve(`<!DOCTYPE html><html><head><script>window.t0 = performance.now();</script><script>${script}</script>` +
  '<script>window.startup = performance.now() - t0;</script></head><body></body></html>');
const startup = [];
for (let k = 0; k < runs; k++) {
  await page.goto(bare.url);
  startup.push(await page.evaluate(() => window.startup));
}
bare.close();

// Rendering on demand: fresh wrappers put into the loaded page, then one
// call in the same task (so the observer's pass cannot come first).
const blog = await serve(blogPage([]));
await page.goto(blog.url);
// With `parser`, also the time the browser's own HTML parser takes to build
// the same result in the same wrappers from its markup: what building these
// nodes costs on this machine at the least.
const timeCall = (texts, parser) => page.evaluate((htmls, parser) => {
  const list = document.querySelector('.comments ol');
  list.textContent = '';
  for (const html of htmls) list.insertAdjacentHTML('beforeend', `<li><div class="bbcode"><p>${html}</p></div></li>`);
  let start = performance.now();
  BBDecode.UpdateBBCodeNow();
  const ours = performance.now() - start;
  if (!parser) return ours;
  const wrappers = [...list.querySelectorAll('div.bbcode')];
  const markup = wrappers.map((wrapper) => wrapper.innerHTML);
  start = performance.now();
  wrappers.forEach((wrapper, k) => { wrapper.innerHTML = markup[k]; });
  return [ours, performance.now() - start];
}, texts.map(escaped), parser);
const hundred = [];
const parsed = [];
for (let k = 0; k < runs; k++) {
  const [ours, parser] = await timeCall(Array.from({length: 100}, mixed), true);
  hundred.push(ours);
  parsed.push(parser);
}
const hostile = {};
for (const [name, text] of Object.entries(kHostile)) {
  hostile[name] = [];
  for (let k = 0; k < runs; k++) hostile[name].push(await timeCall([text]));
}
blog.close();

// A page of 1,000 comments rendering on its own: every task the script runs
// (its DOMContentLoaded handler, its timers) timed through the functions
// that start them.
const timing = '<script>window.tasks = []; const timed = (f) => function (...a) { const t = performance.now(); ' +
  'try { return f.apply(this, a); } finally { tasks.push(performance.now() - t); } };' +
  'const later = setTimeout; window.setTimeout = (f, ms) => later(timed(f), ms);' +
  'const listen = EventTarget.prototype.addEventListener; EventTarget.prototype.addEventListener = function (type, f, o) {' +
  ' return listen.call(this, type, type === "DOMContentLoaded" ? timed(f) : f, o); };</script>';
const thousand = await serve(blogPage(Array.from({length: 1000}, () => escaped(mixed())), {head: timing}));
const longest = [];
const taskCounts = [];
for (let k = 0; k < runs; k++) {
  await page.goto(thousand.url);
  await page.waitForFunction(() => !document.querySelector('div.bbcode:not([data-bbcode])'));
  const tasks = await page.evaluate(() => window.tasks);
  longest.push(Math.max(...tasks));
  taskCounts.push(tasks.length);
}
thousand.close();
await browser.close();

// The median, and the least time, which a busy machine inflates least.
const ms = (values) => `${median(values).toFixed(2)} ms (least ${Math.min(...values).toFixed(2)})`;
console.log(`bbcode35.js in headless Chromium, medians of ${runs} runs:`);
console.log(`  start-up in <head>, before the document is parsed: ${ms(startup)}  (goal 1 ms)`);
console.log(`  100 comments of about 400 characters, one UpdateBBCodeNow(): ${ms(hundred)}  (goal 10 ms)`);
console.log(`    the browser's own parser building the same nodes there: ${ms(parsed)}`);
console.log(`  1,000 comments rendering on their own: longest task ${ms(longest)} of ${median(taskCounts)} tasks  (goal 50 ms)`);
const worst = Object.entries(hostile).sort(([, a], [, b]) => median(b) - median(a));
console.log(`  a hostile 20,000-character comment, the worst (${worst[0][0]}): ${ms(worst[0][1])}  (goal 20 ms)`);
for (const [name, values] of worst) console.log(`    ${name.padEnd(24)} ${ms(values)}`);
