// Builds bbcode35.js, the script the skin loads: one classic, minified
// ES2017 file with a one-line banner, held to its size budget.
//
// Usage: node web/bbcode/build.mjs OUT_JS
import * as esbuild from 'esbuild';
import fs from 'node:fs';
import path from 'node:path';
import {fileURLToPath} from 'node:url';
import zlib from 'node:zlib';

const kBudget = {bytes: 8 * 1024, gzipBytes: 3.5 * 1024};
const here = path.dirname(fileURLToPath(import.meta.url));
const out = path.resolve(process.argv[2]);
const read = (name) => fs.readFileSync(path.join(here, '../..', name), 'utf8');
const version = read('core/version.h').match(/#define ORLIMO_VERSION_STRING "([^"]+)"/)[1];
const copyright = read('LICENSE').match(/^Copyright .*$/m)[0];

const built = await esbuild.build({
  entryPoints: [path.join(here, 'main.js')],
  bundle: true,
  minify: true,
  write: false,
  format: 'iife',
  target: 'es2017',
  // ASCII only: a blog may serve the file under any charset.
  charset: 'ascii',
  define: {BBCODE_VERSION: JSON.stringify(version)},
  // The parse tree's and the tag table's own property names, which no DOM
  // or built-in object carries: short names keep the file within its budget.
  mangleProps: /^(spec|kids|tag|param|el|block|needsValue|ofContent|verbatim|empty|closing|openAt|stop|a|b|shown|since|end|depth|tags|chars|nodes|children)$/,
  banner: {js: `/*! bbcode35.js ${version} | ${copyright} | MIT License */`},
  logLevel: 'warning',
});
const script = built.outputFiles[0].contents;
fs.mkdirSync(path.dirname(out), {recursive: true});
fs.writeFileSync(out, script);

const gzipBytes = zlib.gzipSync(script, {level: 9}).length;
const kb = (n) => `${(n / 1024).toFixed(2)} KB`;
console.log(`${path.relative(process.cwd(), out)}: ${kb(script.length)}, ${kb(gzipBytes)} gzip-compressed ` +
  `(budget ${kb(kBudget.bytes)}, ${kb(kBudget.gzipBytes)})`);
if (script.length > kBudget.bytes || gzipBytes > kBudget.gzipBytes) {
  console.error('bbcode35.js is over its size budget');
  process.exit(1);
}
