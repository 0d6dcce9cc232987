// What the editor's text is a copy of: the file's name, its encoding, its
// line end, the number of its bytes the text cannot show, and its bytes.
// The bytes are the truth for a file the page cannot encode (code page 949,
// or bytes no decoding shows), and a cache for UTF-8 until the text is
// edited. Kept in the editor state, so that undo brings it back with the text.
import {Compartment, EditorState, StateEffect, StateField, Text} from '@codemirror/state';
import {invertedEffects} from '@codemirror/commands';
import {EditorView} from '@codemirror/view';
import {Encoding, encodeSkin, isEditable} from './encoding.js';

// Text typed or pasted into an empty editor: UTF-8 with CR LF line ends, as
// the Windows edit box hands it over.
export const kTypedSkin = Object.freeze({
  name: null,
  encoding: Encoding.utf8,
  lineBreak: '\r\n',
  unshown: 0,
  bytes: null,
});

const setSkinFile = StateEffect.define();
// The editor splits and joins lines at the skin's line end, so that any other
// line end stays in its line and the bytes come back unchanged.
const lineBreak = new Compartment();
const lineBreakOf = (file) => EditorState.lineSeparator.of(file.lineBreak);

// The effects that make `file` the editor's skin file.
export const skinFileEffects = (file) => [setSkinFile.of(file), lineBreak.reconfigure(lineBreakOf(file))];

export const skinFile = StateField.define({
  create: () => kTypedSkin,
  update(value, tr) {
    const set = tr.effects.find((e) => e.is(setSkinFile));
    if (set) return set.value;
    return tr.docChanged && value.bytes && isEditable(value) ? {...value, bytes: null} : value;
  },
});

// A UTF-16 surrogate without its other half: no encoding keeps it (UTF-8's
// encoder would put U+FFFD in its place).
const kLoneSurrogate = /[\ud800-\udbff](?![\udc00-\udfff])|(?:^|[^\ud800-\udbff])[\udc00-\udfff]/;

// The skin's bytes as they would be saved, or null when the text holds a
// character no encoding keeps (the dialog refuses such a text too).
export function skinBytes(state) {
  const file = state.field(skinFile);
  if (file.bytes) return file.bytes;
  const text = state.sliceDoc();
  return (text.isWellFormed?.() ?? !kLoneSurrogate.test(text)) ? encodeSkin(text, file.encoding) : null;
}

// `text` as editor lines, split at the skin's own line end only.
export const skinText = (text, lineBreak) => Text.of(text.split(lineBreak));

export const skinFileExtensions = [
  skinFile,
  lineBreak.of(lineBreakOf(kTypedSkin)),
  invertedEffects.of((tr) =>
    tr.effects.some((e) => e.is(setSkinFile)) ? skinFileEffects(tr.startState.field(skinFile)) : []),
  // Typing would change bytes the page cannot write back: only the page's own
  // transactions (which skip filters), undo and redo change such a text, and
  // the editor tells a screen reader so.
  EditorState.changeFilter.of((tr) =>
    isEditable(tr.startState.field(skinFile)) || tr.isUserEvent('undo') || tr.isUserEvent('redo')),
  EditorView.contentAttributes.compute([skinFile], (state) =>
    (isEditable(state.field(skinFile)) ? {} : {'aria-readonly': 'true'})),
];
