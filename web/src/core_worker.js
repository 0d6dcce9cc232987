// The worker that runs a command away from the page's thread, so that the
// page stays responsive on a large skin: the core, then the result decoded
// as the input was and the difference between the two texts (the slowest
// step on a large skin). Bundled into the page as text (web/build.mjs) and
// started from a blob URL (web/src/core_client.js).
//
// First message out: {ready: {version, maxLength}}, or {ready: null} when the
// core cannot run here. Then one reply a request, in order:
//   in:  {apply, bytes, encoding, lineBreak}   (the skin's bytes and decoding)
//   out: {status, report, bytes, text, encoding, unshown, changes, timings}
//        on success (the result's text, with the changes between the editor's
//        text and it), else {status} or {status, nulOffset}.
import createOrlimoCore from 'orlimo-core';
import wasmBase64 from 'orlimo-core-wasm';
import {Status, loadCore} from './core.js';
import {decodeSkin} from './encoding.js';
import {editDiff} from './edit_diff.js';

const corePromise = loadCore(createOrlimoCore, Uint8Array.from(atob(wasmBase64), (c) => c.charCodeAt(0)));
corePromise.then(
  (core) => postMessage({ready: {version: core.version, maxLength: core.maxLength}}),
  () => postMessage({ready: null}));

// The editor's text: the skin's lines joined by LF.
const editorText = (text, lineBreak) => (lineBreak === '\n' ? text : text.replaceAll(lineBreak, '\n'));

function run(core, {apply, bytes, encoding, lineBreak}) {
  const timings = {};
  const timed = (name, work) => {
    const start = performance.now();
    const value = work();
    timings[name] = performance.now() - start;
    return value;
  };
  const result = timed('core', () => core.run(apply, bytes));
  if (result.status !== Status.ok) return result;
  const [before, after] = timed('decode', () =>
    [decodeSkin(bytes, encoding).text, decodeSkin(result.bytes, encoding)]);
  const changes = timed('diff', () => editDiff(editorText(before, lineBreak), editorText(after.text, lineBreak)));
  return {...result, ...after, changes, timings};
}

onmessage = async ({data}) => {
  let reply;
  try {
    reply = run(await corePromise, data);
  } catch {
    // Out of memory in JavaScript (a result too large for an array or a string).
    reply = {status: Status.outOfMemory};
  }
  postMessage(reply, reply.bytes ? [reply.bytes.buffer] : []);
};
