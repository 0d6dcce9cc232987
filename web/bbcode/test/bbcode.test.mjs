// bbcode35.js in the blog page, in each engine: what it renders, the attack
// classes, comments added later, the two calls, idempotence, a comment that
// throws, and random BBCode soup.
import assert from 'node:assert/strict';
import {after, before, describe, it} from 'node:test';
import {engines, launch} from '../../test/browsers.mjs';
import {blogPage, escaped, serve} from './blog.mjs';

// A visitor's text (or, with {html}, the platform's markup) and the content's
// HTML after rendering, without the attributes every element of its kind
// carries and with a style as {…}; null: exactly as it was.
const kBehaviour = [
  ['[b]b[/b][I]i[/i][u]u[/U][s]s[/s][sub]1[/sub][sup]2[/sup]', '<b>b</b><i>i</i><u>u</u><s>s</s><sub>1</sub><sup>2</sup>'],
  ['[I]n the matter [/b] [foo]x[/foo] [b=1]x[/b] [[b]] [b]a[quote]q[/b] [list][*]x [quote=a[b]c]x[/quote]', null],
  ['[i]x[/i]'.repeat(501), '<i>x</i>'.repeat(500) + '[i]x[/i]'],
  ['[b]'.repeat(21) + 'x' + '[/b]'.repeat(21), '<b>'.repeat(20) + '[b]x' + '</b>'.repeat(20) + '[/b]'],
  ['[quote][b]x[/quote] [b]a[i]b[/b]', '<blockquote><b>x</b></blockquote> <b>a<i>b</i></b>'],
  ['[url]http://a.example/p?q=1&r[/url] [url=HTTPS://A.example]l [b]b[/b][/url] [url=" www.a.example"][/url]',
    '<a href="http://a.example/p?q=1&amp;r">http://a.example/p?q=1&amp;r</a> <a href="https://a.example/">l <b>b</b></a> ' +
    '<a href="http://www.a.example/">http://www.a.example/</a>'],
  ['[email] kim@a.example [/email][email=\'kim@a.example\']Kim[/email][img]https://a.example/p.png[/img]',
    '<a href="mailto:kim@a.example">kim@a.example</a><a href="mailto:kim@a.example">Kim</a><img src="https://a.example/p.png">'],
  ['[quote="Kim Lee"]\nq\n[/quote]\nafter\n[quote]\n[quote=a]b[/quote][/quote]',
    '<blockquote><cite>Kim Lee</cite>q<br>\n</blockquote>after<br>\n<blockquote><blockquote><cite>a</cite>b</blockquote></blockquote>'],
  ['[code]\n  if (a < b)  [b]x[/B]\n[/code][noparse][i]i[/i][/noparse]', '<pre>  if (a &lt; b)  [b]x[/B]<br></pre>[i]i[/i]'],
  ['[color=#F00]a[/color][color=Red]b[/color][size=1]c[/size][size=20]d[/size][size="99"]e[/size]', '<span {color: rgb(255, ' +
    '0, 0)}>a</span><span {color: red}>b</span><span {font-size: 0.63em}>c</span><span {font-size: 20px}>d</span><span {font-size: 36px}>e</span>'],
  ['[center]c[/center][right]r[/right]a[hr]\nb', '<div {text-align: center}>c</div><div {text-align: right}>r</div>a<hr>b'],
  ['[list]\n[*]a\n[*][b]b[/list][list=i] \n[*]x[/*] \n[*]y[/list][list=disc][*]z[/list]',
    '<ul><li>a<br>\n</li><li><b>b</b></li></ul><ol type="i"><li>x</li><li>y</li></ol>[list=disc][*]z[/list]'],
  ['[spoiler]s[/spoiler][spoiler=Title]t[/spoiler] [b]one\ntwo[/b]',
    '<details>s</details><details><summary>Title</summary>t</details> <b>one<br>\ntwo</b>'],
  [{html: '[b]x <img src="http://a.example/e.gif"> y[/b] [url]<a href="http://a.example/">http://a.example/</a>[/url]'},
    '<b>x <img src="http://a.example/e.gif"> y</b> <a href="http://a.example/">http://a.example/</a>'],
  [{html: '[b]x[/b]<script data-platform>BBDecode.UpdateBBCodeNow()</script>[i]y[/i]'}, '<b>x</b><script data-platform="">BBDecode.UpdateBBCodeNow()</script><i>y</i>'],
  [{html: '[url=<a href="http://a.example/">http://a.example/</a>]site <a href="http://c.example/">c</a>[/url] <a href="http://b.example/">b</a> [i]'},
    '<a href="http://a.example/">site c</a> <a href="http://b.example/">b</a> [i]'],
];

// Attack classes, by what must come of them: exactly the comment as it was,
// or only what our tables allow. A vector that could run script calls pwn().
const schemes = ['javascript:pwn()', 'JaVaScRiPt:pwn()', 'java\tscript:pwn()', ' \u0001javascript:pwn()', 'javascript&#58;pwn()',
  'jav&#x09;ascript:pwn()', 'javascript://%0Apwn()', 'data:text/html,<script>pwn()</script>', 'data:image/svg+xml,<svg onload=pwn()>',
  'vbscript:pwn()', 'file:///etc/passwd', 'ftp://a.example/', '//a.example/', 'about:blank', 'blob:http://a.example/x', 'intent://a',
  'http+x://a.example/'];
const kStaysText = [
  ...schemes.flatMap((s) => [`[url=${s}]x[/url]`, `[url]${s}[/url]`, `[img]${s}[/img]`, `[url="${s}"]x[/url]`]),
  '[email]javascript:pwn()//@a.example[/email]', `[email]${'k'.repeat(250)}@a.example[/email]`, '[email=x@a.example?cc=y@b.example]x[/email]', '[url=java\nscript:x]x[/url]',
  '[script]pwn()[/script]', '[span onclick=pwn()]x[/span]', '[b onclick=pwn()]x[/b]', '[iframe]http://a.example/[/iframe]',
  '[url onclick=pwn()]http://a.example/[/url]', '[img src=x onerror=pwn()]', '[a href=javascript:pwn()]x[/a]', '[style]*{}[/style]',
  '[constructor]x[/constructor]', '[__proto__]x', '[toString]x[/toString]', '[svg/onload=pwn()]',
  ...['red;background:url(http://a.example/x)', 'expression(pwn())', '#ff00001', 'red" style="position:fixed', 'rgb(0,0,0)',
    'url(javascript:pwn())', 'transparent', 'inherit', '\\72 ed'].map((v) => `[color=${v}]x[/color]`),
  ...['-5', '0', '1e9', '999999999', '50px;position:fixed', '100%'].map((v) => `[size=${v}]x[/size]`),
  '<img src=x onerror=pwn()>', '<script>pwn()</script>', '&lt;b&gt;', '<a href="javascript:pwn()">x</a>', '<!--',
  '</p></div><script>pwn()</script>', '[b]'.repeat(30000), '[url='.repeat(5000), '[code]'.repeat(10000), '[quote="'.repeat(5000),
];
const kRendersSafely = ['[url=http://a.example/" onmouseover="pwn()]x[/url]', '[img]http://a.example/x.png" onerror="pwn()[/img]',
  '[url=\'http://a.example/\' onclick=\'pwn()\']x[/url]', '[quote="a" onclick="pwn()"]q[/quote]', '[b]<img src=x onerror=pwn()>[/b]',
  '[url=[b]http://a.example/[/b]]x[/url]', '[img][url=http://a.example/]x[/url][/img]', '[img][img]http://a.example/a.png[/img][/img]',
  '[url][url]http://a.example/[/url]', '[email][b]k@a.example[/b][/email]', '[color=red][color=blue]x[/color]',
  '[url=http://a.example/]a[url=http://b.example/]b[/url][/url]', '[url=http://a.example/][email]k@a.example[/email][/url]', '[size=7][size=7]y[/size][/size]',
  '[b]'.repeat(30000) + 'x' + '[/b]'.repeat(30000), '[quote]'.repeat(5000) + '[/quote]'.repeat(5000),
  '[url]'.repeat(10000) + 'http://a.example/[/url]', '[list]' + '[*]x'.repeat(20000), ('[b]x[/b] ' + 'y'.repeat(50)).repeat(17000)];

// In the page: every element, attribute and style value inside the wrappers
// that is outside our tables, and every pwn() that ran.
function auditInPage() {
  const kRel = 'nofollow ugc noopener noreferrer';
  const kAttributes = {b: '', i: '', u: '', s: '', sub: '', sup: '', span: 'style', a: 'href rel', img: 'src alt loading ' +
    'referrerpolicy style', blockquote: '', cite: '', details: '', summary: '', pre: '', div: 'style data-bbcode', ul: '',
    ol: 'type', li: '', hr: '', br: '', p: ''};
  const kValues = {class: /^bb-[a-z-]+$/, href: /^(https?:\/\/|mailto:)/, src: /^https?:\/\//, style: new RegExp('^((color: ([a-z]+|' +
    'rgb\\(\\d+, \\d+, \\d+\\))|font-size: ((0.63|0.82|1|1.13|1.5|2|3)em|(1\\d|2\\d|3[0-6])px)|text-align: (left|center|right)|' +
    'max-width: 100%); ?)*$')};
  const fits = (el, {name, value}) => (name === 'class' || kAttributes[el.localName].split(' ').includes(name)) &&
    (!kValues[name] || kValues[name].test(value));
  return [...document.querySelectorAll('div.bbcode *:not(script[data-platform])')].filter((el) => !(el.localName in kAttributes) ||
    ![...el.attributes].every((a) => fits(el, a)) || (el.localName === 'a' && ((el.className && el.rel !== kRel) ||
    el.parentNode.closest('a')))).map((el) => el.outerHTML.slice(0, 100)).concat(window.ran);
}

// Random BBCode soup, and of each comment the text that is not markup.
let seed = 19;
const random = (n) => (seed = (seed * 1103515245 + 12345) % 2147483648) % n;
const kPieces = 'b I u s url email img quote code noparse color size center list spoiler sub'.split(' ')
  .flatMap((tag) => [`[${tag}]`, `[/${tag}]`]).concat('[url=http://a.example/]', '[url=javascript:x]', '[quote=Kim]',
    '[color=red]', '[color=x;y]', '[size=5]', '[list=1]', '[*]', '[spoiler=t]', '[hr]', '[', ']', '[/', '=', '"',
    'http://a.example/p.png', 'kim@a.example', 'word', '글', ' ', '\n');
const soup = Array.from({length: 2000}, () => Array.from({length: random(40)}, () => kPieces[random(kPieces.length)]).join(''));
const squeeze = (text) => text.replace(/\s+/g, '');

// Before the script: the hook, an object of the skin's own and a rule about
// one of our elements. At the end of the body, an older skin's call.
const kHead = '<script>window.ran = []; window.pwn = () => ran.push("pwn"); window.BBDecode = {kept: 1};</script>' +
  '<style>blockquote { border-left-width: 9px }</style>';
const kTail = '<script>BBDecode.ResetTimer();</script>';
const rows = [...kBehaviour, ...kStaysText.map((v) => [v, null]), ...kRendersSafely.map((v) => [v])];
const comments = rows.flatMap(([input]) => [input.html ?? escaped(input), input.html ?? escaped(input)]).concat(soup.map(escaped));

for (const engine of engines) {
  describe(`bbcode35.js in ${engine}`, () => {
    let browser, page, server;
    before(async () => {
      [server, browser] = await Promise.all([serve(blogPage(comments, {head: kHead, tail: kTail})), launch(engine)]);
      page = await browser.newPage();
      await page.goto(server.url);
      await page.waitForFunction(() => !document.querySelector('div.bbcode:not([data-bbcode])'));
    });
    after(() => Promise.all([browser?.close(), server?.close()]));

    it('renders the tables, in the skin paragraph and right in the wrapper alike', async () => {
      const shapes = await page.evaluate((htmls) => htmls.map((h, k) => {
        const wrapper = document.querySelector(`#c${k} div.bbcode`);
        return [Object.assign(document.createElement('p'), {innerHTML: h}), wrapper.querySelector(':scope > p') ?? wrapper]
          .map((el) => el.innerHTML.replace(/ (class|rel|loading|referrerpolicy|alt)="[^"]*"| style="max-width: 100%;"/g, '')
            .replace(/ style="(.*?);"/g, ' {$1}'));
      }), comments.slice(0, 2 * rows.length));
      const wrong = shapes.filter(([original, shape], k) => rows[k >> 1].length > 1 && shape !== (rows[k >> 1][1] ?? original));
      assert.deepEqual(wrong.map(([original, shape]) => [original.slice(0, 100), shape.slice(0, 200)]), []);
    });

    it('lets no script run and makes nothing outside its tables; soup keeps its text; a second pass changes nothing', async () => {
      assert.deepEqual(await page.evaluate(auditInPage), []);
      const [shown, changed, kept] = await page.evaluate((first) => {
        const wrappers = [...document.querySelectorAll('li div.bbcode')];
        const before = wrappers.map((wrapper) => wrapper.innerHTML);
        BBDecode.UpdateBBCodeNow();
        const shown = wrappers.slice(first).map((_, k) => document.querySelector(`#c${first + k} div.bbcode`).textContent);
        const style = (selector) => getComputedStyle(document.querySelector(selector));
        return [shown, wrappers.filter((wrapper, k) => wrapper.innerHTML !== before[k] || wrapper.dataset.bbcode).length,
          [BBDecode.kept, style('.bb-quote').borderLeftWidth, style('.bb-code').whiteSpace]];
      }, 2 * rows.length);
      // What is not markup shows, in order (an image shows no address).
      const lost = soup.filter((text, k) => ![...squeeze(text.replace(/\[[^[\]]*\]|http:\/\/a.example\/p.png/g, ''))]
        .reduce((at, c) => squeeze(shown[k]).indexOf(c, at) + 1 || Infinity, 0) === Infinity);
      assert.deepEqual([lost, changed, kept], [[], 0, [1, '9px', 'pre-wrap']]);
    });

    it('renders comments added later, by the observer and by both calls; one that throws stays as it was', async () => {
      assert.deepEqual(await page.evaluate(async () => {
        const add = (...content) => {
          document.body.appendChild(Object.assign(document.createElement('div'), {className: 'bbcode'})).append(...content);
          return document.body.lastChild;
        };
        const pause = () => new Promise((resolve) => setTimeout(resolve, 50));
        const observed = add('[b]o[/b]');
        await pause();
        // An element that throws once the build asks what it is.
        let asked = 0;
        const odd = Object.defineProperty(document.createElement('i'), 'localName', {get: () => (asked++ ? odd.hostile() : 'i')});
        const bad = add('[quote]', odd, 'x[/quote]');
        const now = add('[b]n[/b]');
        BBDecode.UpdateBBCodeNow();
        const timed = add('[i]t[/i]');
        BBDecode.ResetTimer();
        const atOnce = [now, bad, timed].map((wrapper) => `${wrapper.innerHTML} ${wrapper.dataset.bbcode}`).concat(bad.childNodes[1] === odd);
        await pause();
        return [...atOnce, observed.innerHTML, timed.innerHTML];
      }), ['<b class="bb-b">n</b> ', '[quote]<i></i>x[/quote] failed', '[i]t[/i] undefined', true, '<b class="bb-b">o</b>',
        '<i class="bb-i">t</i>']);
    });
  });
}
