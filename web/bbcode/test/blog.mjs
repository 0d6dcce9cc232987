// A blog page as a visitor gets it: examples/skin.html after `orlimo apply`,
// one comment block per comment (the even ones as comments, whose text sits
// in the skin's <p>, the odd ones in the guest book, right in the wrapper),
// each text escaped as the platform does, served with the built script at
// images/bbcode35.js.
import {execFileSync} from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import {fileURLToPath} from 'node:url';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../../..');
const skin = execFileSync(path.join(root, 'build/bin/orlimo'), ['apply', '-q', path.join(root, 'examples/skin.html')],
  {encoding: 'utf8'});

// The platform's escaping: HTML-escaped, a line break as <br /> and a newline.
export const escaped = (text) => text.replace(/[&<>"']/g, (c) => `&#${c.charCodeAt(0)};`).replace(/\n/g, '<br />\n');

// `comments`: HTML as the platform puts it in; `head`: markup before the
// script line; `tail`: markup at the end of the body.
export function blogPage(comments, {head = '', tail = ''} = {}) {
  const repeat = (token, id, odd) => (block) => comments
    .map((html, k) => (k % 2 === odd ? block.replace(token, () => html).replace(id, `c${k}`) : '')).join('');
  return skin.replace('<script', `${head}<script`).replace('</body>', `${tail}</body>`)
    .replace(/<s_rp_rep>[^]*<\/s_rp_rep>/, repeat('[##_rp_rep_desc_##]', '[##_rp_rep_id_##]', 0))
    .replace(/<s_guest_rep>[^]*<\/s_guest_rep>/, repeat('[##_guest_rep_desc_##]', '[##_guest_rep_id_##]', 1))
    .replace(/\[##_[a-z_]+_##\]|<\/?s_[a-z_]+>/g, '');
}

// Serves `page` at / and build-web/bbcode35.js at /images/bbcode35.js.
export async function serve(page) {
  const files = {'/': page, '/images/bbcode35.js': fs.readFileSync(path.join(root, 'build-web/bbcode35.js'))};
  const server = http.createServer((request, response) => response.writeHead(files[request.url] ? 200 : 404,
    {'content-type': request.url === '/' ? 'text/html' : 'text/javascript'}).end(files[request.url]));
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return {url: `http://127.0.0.1:${server.address().port}/`, close: () => server.close()};
}
