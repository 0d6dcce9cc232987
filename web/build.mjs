// Bundles the page into one self-contained HTML file: the script (carrying
// the core's worker, with the core's WebAssembly module inlined, as text),
// the style and bbcode35.js (which the page previews comments with and
// saves) go into the page, and its Content-Security-Policy admits those two
// scripts, the worker the first starts, and no network at all.
//
// Usage: node web/build.mjs CORE_DIR OUT_HTML
//   CORE_DIR holds orlimo-core.js, orlimo-core.wasm and bbcode35.js
//   (scripts/build-web.sh).
//   ORLIMO_NO_MINIFY=1 leaves the script readable, for profiling.
import * as esbuild from 'esbuild';
import {createHash} from 'node:crypto';
import fs from 'node:fs';
import path from 'node:path';
import {fileURLToPath} from 'node:url';
import zlib from 'node:zlib';

const kBudget = {bytes: 700 * 1024, gzipBytes: 250 * 1024};
const here = path.dirname(fileURLToPath(import.meta.url));
const [coreDir, out] = process.argv.slice(2).map((p) => path.resolve(p));

const common = {
  bundle: true,
  minify: !process.env.ORLIMO_NO_MINIFY,
  write: false,
  metafile: true,
  format: 'iife',
  target: ['chrome100', 'firefox100', 'safari15'],
  charset: 'utf8',
  logLevel: 'warning',
};
// The core's worker: the core with its WebAssembly module inlined, the
// decoding and the difference; the page starts it from its own text.
const worker = await esbuild.build({
  ...common,
  entryPoints: [path.join(here, 'src/core_worker.js')],
  outdir: 'bundle',
  alias: {
    'orlimo-core': path.join(coreDir, 'orlimo-core.js'),
    'orlimo-core-wasm': path.join(coreDir, 'orlimo-core.wasm'),
  },
  loader: {'.wasm': 'base64'},
  // Only the Emscripten loader's node branch asks for these; it never runs here.
  external: ['fs', 'path', 'crypto'],
});
const workerText = {
  name: 'orlimo-core-worker',
  setup(build) {
    build.onResolve({filter: /^orlimo-core-worker$/}, () => ({path: 'worker', namespace: 'orlimo'}));
    build.onLoad({filter: /.*/, namespace: 'orlimo'}, () => ({contents: worker.outputFiles[0].text, loader: 'text'}));
  },
};
const built = await esbuild.build({
  ...common,
  entryPoints: [path.join(here, 'src/main.js'), path.join(here, 'src/style.css')],
  outdir: 'bundle',
  plugins: [workerText],
});
const output = (ext) => built.outputFiles.find((f) => f.path.endsWith(ext)).text;
const script = output('.js').trimEnd();
const style = output('.css');
// Embedded as it is, so that the page saves the very bytes of the file.
const bbcode = fs.readFileSync(path.join(coreDir, 'bbcode35.js'), 'utf8');
if (/<\/script/i.test(script + bbcode)) throw new Error('a script would end its element early');
if (/<!--|[\r\0]/.test(bbcode)) throw new Error('bbcode35.js: the page would not keep its bytes as they are');

// The notices of what the bundle holds (all MIT).
function notices() {
  const packages = new Map();
  for (const input of [built, worker].flatMap((b) => Object.keys(b.metafile.inputs))) {
    const m = input.match(/node_modules\/((?:@[^/]+\/)?[^/]+)\//);
    if (m) packages.set(m[1], path.join(here, 'node_modules', m[1]));
  }
  const license = fs.readFileSync(path.join(here, '../LICENSE'), 'utf8');
  const copyrights = new Set([`${license.match(/^Copyright .*$/m)[0]} (Orlimo, its LICENSE file)`,
    'Copyright (C) 2010-2022 The Emscripten Authors (the WebAssembly runtime)']);
  const names = [];
  for (const [name, dir] of [...packages].sort()) {
    const info = JSON.parse(fs.readFileSync(path.join(dir, 'package.json'), 'utf8'));
    if (info.license !== 'MIT') throw new Error(`${name}: license ${info.license}, not MIT`);
    names.push(`${name} ${info.version}`);
    const license = fs.readdirSync(dir).find((f) => /^licen[cs]e/i.test(f));
    for (const line of fs.readFileSync(path.join(dir, license), 'utf8').split('\n')) {
      if (line.startsWith('Copyright')) copyrights.add(line.trim());
    }
  }
  return `<!--\nOrlimo is under the MIT license (its LICENSE file), and so is what it bundles: ${names.join(', ')}.\n` +
    `${[...copyrights].join('\n')}\n\n` +
    'Permission is hereby granted, free of charge, to any person obtaining a copy of this software and ' +
    'associated documentation files (the "Software"), to deal in the Software without restriction, including ' +
    'without limitation the rights to use, copy, modify, merge, publish, distribute, sublicense, and/or sell ' +
    'copies of the Software, and to permit persons to whom the Software is furnished to do so, subject to the ' +
    'following conditions: The above copyright notice and this permission notice shall be included in all ' +
    'copies or substantial portions of the Software. THE SOFTWARE IS PROVIDED "AS IS", WITHOUT WARRANTY OF ANY ' +
    'KIND, EXPRESS OR IMPLIED.\n-->\n';
}

// The scripts are admitted by their hashes; WebAssembly needs
// 'wasm-unsafe-eval'; the core's worker comes from a blob URL the script
// makes of its own text; CodeMirror and bbcode35.js set styles at run time.
// Everything else, fetches and images included, is refused (in the worker
// too, which keeps the page's policy).
const hash = (text) => `'sha256-${createHash('sha256').update(text, 'utf8').digest('base64')}'`;
const csp = `default-src 'none'; script-src ${hash(script)} ${hash(bbcode)} 'wasm-unsafe-eval'; ` +
  "worker-src blob:; style-src 'unsafe-inline'; base-uri 'none'; form-action 'none'";

const page = fs.readFileSync(path.join(here, 'src/page.html'), 'utf8')
  .split('@CSP@').join(csp)
  .split('@STYLE@').join(style.trim())
  .split('@BBCODE35@').join(bbcode)
  .split('@SCRIPT@').join(script);
const html = page.replace('</html>\n', `</html>\n${notices()}`);

fs.mkdirSync(path.dirname(out), {recursive: true});
fs.writeFileSync(out, html);
const bytes = Buffer.byteLength(html);
const gzipBytes = zlib.gzipSync(html, {level: 9}).length;
const kb = (n) => `${(n / 1024).toFixed(1)} KB`;
console.log(`${path.relative(process.cwd(), out)}: ${kb(bytes)}, ${kb(gzipBytes)} gzip-compressed ` +
  `(budget ${kb(kBudget.bytes)}, ${kb(kBudget.gzipBytes)})`);
if (!process.env.ORLIMO_NO_MINIFY && (bytes > kBudget.bytes || gzipBytes > kBudget.gzipBytes)) {
  console.error('the page is over its size budget');
  process.exit(1);
}
