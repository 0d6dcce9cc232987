// Reads a chosen or dropped file as a skin: its bytes and their text, or the
// reason it cannot be one (an empty file, a file over the page's limit, one
// that is not text).
import {decodeSkin} from './encoding.js';
import {Refusal} from './messages.js';

const isUtf16 = (bytes) => (bytes[0] === 0xff && bytes[1] === 0xfe) || (bytes[0] === 0xfe && bytes[1] === 0xff);

// {bytes, decoded} ({encoding, text, unshown}), or {refusal}. `limits`:
// {limit, cliLimit}, the page's largest file and the command line's.
// `stale()` tells that a later open has begun: the answer is then null.
export async function readSkin(file, limits, stale) {
  if (file.size > limits.limit) return {refusal: Refusal.tooLarge({size: file.size, ...limits})};
  let bytes;
  try {
    bytes = new Uint8Array(await file.arrayBuffer());
  } catch (error) {
    return stale() ? null : {refusal: error instanceof RangeError ? Refusal.outOfMemory : Refusal.unreadable};
  }
  if (stale()) return null;
  // The core takes no NUL byte, and a skin's text has none.
  const nulOffset = bytes.indexOf(0);
  if (nulOffset >= 0) return {refusal: isUtf16(bytes) ? Refusal.utf16 : Refusal.notText({nulOffset})};
  const decoded = decodeSkin(bytes);
  // A byte-order mark alone is empty too.
  if (decoded.text === '') return {refusal: Refusal.empty};
  return {bytes, decoded};
}
