// A skin's bytes as text for the editor, and back, without losing a byte.
//
// UTF-8 (with or without a byte-order mark) is decoded strictly, so that
// encoding the text again gives the same bytes: such files can be edited.
// Anything else is shown through the browser's euc-kr decoder (code page 949)
// and stays read-only: a browser can decode that code page but not encode
// it, so the page keeps the original bytes and the commands work on them.

export const Encoding = Object.freeze({
  utf8: 'UTF-8',
  utf8Bom: 'UTF-8 (BOM)',
  cp949: 'CP949',
  unknown: '알 수 없음',
});

const kBom = [0xef, 0xbb, 0xbf];

const hasBom = (bytes) => kBom.every((b, k) => bytes[k] === b);

// The text of `bytes`, or null when they are not valid in `label`.
function strictDecode(label, bytes) {
  try {
    return new TextDecoder(label, {fatal: true, ignoreBOM: true}).decode(bytes);
  } catch {
    return null;
  }
}

export const isEditable = (encoding) => encoding === Encoding.utf8 || encoding === Encoding.utf8Bom;

// {encoding, text} for a file's bytes. `known` keeps an encoding already
// chosen for this skin (a command's result is read as its input was).
export function decodeSkin(bytes, known = null) {
  if (known !== Encoding.cp949 && known !== Encoding.unknown) {
    const bom = known ? known === Encoding.utf8Bom && hasBom(bytes) : hasBom(bytes);
    const text = strictDecode('utf-8', bom ? bytes.subarray(3) : bytes);
    if (text !== null) return {encoding: bom ? Encoding.utf8Bom : Encoding.utf8, text};
  }
  const text = strictDecode('euc-kr', bytes);
  if (text !== null) return {encoding: Encoding.cp949, text};
  return {encoding: Encoding.unknown, text: new TextDecoder('euc-kr').decode(bytes)};
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
