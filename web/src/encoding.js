// A skin's bytes as text for the editor, and back, without losing a byte.
//
// UTF-8 (with or without a byte-order mark) is decoded strictly, so that
// encoding the text again gives the same bytes: such files can be edited.
// Anything else is shown through the browser's euc-kr decoder (code page 949)
// and stays read-only: a browser can decode that code page but not encode
// it, so the page keeps the original bytes and the commands work on them.
// Bytes that neither decoding can show are shown as U+FFFD, in whichever of
// the two shows the most of the file; such a file stays read-only too.

export const Encoding = Object.freeze({
  utf8: 'UTF-8',
  utf8Bom: 'UTF-8 (BOM)',
  cp949: 'CP949',
});

const kBom = [0xef, 0xbb, 0xbf];

const hasBom = (bytes) => kBom.every((b, k) => bytes[k] === b);

// The bytes behind the characters of `text`, decoded as `encoding` from
// `bytes`, that are not a U+FFFD standing for bytes it could not decode.
function shownBytes(text, encoding, bytes) {
  let shown = 0;
  for (const c of text) {
    const code = c.codePointAt(0);
    if (code === 0xfffd) continue;
    if (code < 0x80) ++shown;
    else if (encoding === Encoding.cp949) shown += 2;  // euc-kr has no other width
    else shown += code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
  }
  if (encoding === Encoding.cp949) return shown;
  // A U+FFFD of the file's own (EF BF BD) is shown, not a stand-in.
  for (let at = bytes.indexOf(0xef); at >= 0; at = bytes.indexOf(0xef, at + 1)) {
    if (bytes[at + 1] === 0xbf && bytes[at + 2] === 0xbd) shown += 3;
  }
  return shown;
}

// {encoding, text, unshown}: `bytes` decoded as `encoding`, strictly if
// `strict` (null when they are not valid in it), else with each byte that
// cannot be shown counted in `unshown`.
function decodeAs(encoding, bytes, strict) {
  const body = encoding === Encoding.utf8Bom ? bytes.subarray(3) : bytes;
  const label = encoding === Encoding.cp949 ? 'euc-kr' : 'utf-8';
  let text;
  try {
    text = new TextDecoder(label, {fatal: strict, ignoreBOM: true}).decode(body);
  } catch (error) {
    if (strict && error instanceof TypeError) return null;
    throw error;
  }
  const unshown = strict || !text.includes('\ufffd') ? 0 : body.length - shownBytes(text, encoding, body);
  return {encoding, text, unshown};
}

// A skin file can be typed into when its text encodes back to its bytes.
export const isEditable = ({encoding, unshown}) => encoding !== Encoding.cp949 && !unshown;

// {encoding, text, unshown} for a file's bytes: the first decoding that
// shows every byte, else the one that shows the most (`unshown` counts the
// rest). `known` keeps an encoding already chosen for this skin (a command's
// result is read as its input was).
export function decodeSkin(bytes, known = null) {
  const utf8 = (known ? known === Encoding.utf8Bom : true) && hasBom(bytes) ? Encoding.utf8Bom : Encoding.utf8;
  const tried = known === Encoding.cp949 ? [known] : known ? [utf8] : [utf8, Encoding.cp949];
  for (const encoding of tried) {
    const decoded = decodeAs(encoding, bytes, true);
    if (decoded) return decoded;
  }
  return tried.map((encoding) => decodeAs(encoding, bytes, false))
    .reduce((best, next) => (next.unshown < best.unshown ? next : best));
}

// The bytes of an editable skin's text.
export function encodeSkin(text, encoding) {
  const body = new TextEncoder().encode(text);
  if (encoding !== Encoding.utf8Bom) return body;
  const bytes = new Uint8Array(body.length + 3);
  bytes.set(kBom);
  bytes.set(body, 3);
  return bytes;
}

// The first line end of `text` (CR LF when it has none), which the editor
// uses to split and join lines; any other line end stays in its line as a
// visible control character, so that the text comes back byte for byte.
export function firstLineBreak(text) {
  const at = text.search(/[\r\n]/);
  if (at < 0) return '\r\n';
  if (text[at] === '\n') return '\n';
  return text[at + 1] === '\n' ? '\r\n' : '\r';
}

export const lineBreakName = (lineBreak) =>
  ({'\r\n': 'CR LF', '\n': 'LF', '\r': 'CR'})[lineBreak];
