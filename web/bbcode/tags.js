// The fixed tables of what the renderer may produce. Every element it creates
// is named here, every attribute value comes from a validator below, and
// nothing a visitor types becomes an element name, an attribute name or a
// style string.

// Past these the rest of a comment stays text: open tags at once, tags
// read, characters scanned for tags, characters in a tag's value.
export const kLimits = {depth: 20, tags: 1000, chars: 20000, param: 2048};

// The URL parser itself strips what browsers strip (C0 controls and blanks
// at the ends, tabs and line breaks anywhere); then only http: and https:
// pass, in the form the parser gives back.
export function webUrl(text) {
  let s = text.trim();
  if (/^www\./i.test(s)) s = 'http://' + s;
  try {
    const url = new URL(s);
    return url.protocol === 'http:' || url.protocol === 'https:' ? url.href : null;
  } catch (e) {
    return null;
  }
}

// A plain address (no quoting, no comments, no "?" or "%" that would put a
// query or an escape into the mailto: URL it becomes).
export function mailto(text) {
  const s = text.trim();
  return s.length <= 254 && /^[\w.+-]+@[a-z\d-]+(?:\.[a-z\d-]+)+$/i.test(s) ? 'mailto:' + s : null;
}

// #rgb, #rrggbb or a colour name the browser knows (letters only, so that
// nothing but a colour can reach the style; the keywords that are not colours
// themselves are refused).
export function colour(text) {
  const s = text.trim();
  const name = /^[a-z]{3,20}$/i.test(s) && !/^(?:inherit|initial|unset|revert|transparent|currentcolor)$/i.test(s);
  return /^#(?:[\da-f]{3}){1,2}$/i.test(s) ||
    (name && CSS.supports('color', s)) ? s : null;
}

// [size=1] to [size=7] are the seven classic font sizes; larger numbers are
// pixels, clamped to 10 to 36.
const kClassicSizes = [0.63, 0.82, 1, 1.13, 1.5, 2, 3];
export function fontSize(text) {
  const s = text.trim();
  if (!/^[1-9]\d{0,5}$/.test(s)) return null;
  const n = Number(s);
  return n <= 7 ? kClassicSizes[n - 1] + 'em' : Math.min(Math.max(n, 10), 36) + 'px';
}

const listType = (text) => (/^[1aAiI]$/.test(text) ? text : null);
const caption = (text) => text.trim();

// The tags. `el`: the element; `block`: starts on a line of its own, so a
// line break right inside it or right after it would add a blank line;
// `param`: the validator of a value, [tag=value] (a tag without one is text
// when given a value); `needsValue`: the bare form is text; `ofContent`:
// without a value the content is the tag's target ([url]http://…[/url]), not
// parsed, validated by it; `verbatim`: the content is not parsed and keeps
// its blanks; `empty`: no content and no end tag.
export const kTags = new Map(Object.entries({
  color: {el: 'span', param: colour, needsValue: true},
  size: {el: 'span', param: fontSize, needsValue: true},
  url: {el: 'a', param: webUrl, ofContent: webUrl},
  email: {el: 'a', param: mailto, ofContent: mailto},
  img: {el: 'img', ofContent: webUrl},
  quote: {el: 'blockquote', block: true, param: caption},
  spoiler: {el: 'details', block: true, param: caption},
  code: {el: 'pre', block: true, verbatim: true},
  noparse: {verbatim: true},
  list: {el: 'ul', block: true, param: listType},
  '*': {el: 'li', block: true},
  hr: {el: 'hr', block: true, empty: true},
}));
for (const name of ['b', 'i', 'u', 's', 'sub', 'sup']) kTags.set(name, {el: name});
for (const name of ['center', 'left', 'right']) kTags.set(name, {el: 'div', block: true});

// The elements of the page's own that hold a comment's text (the skin's
// paragraph inside the wrapper, a span the platform puts around it): each is
// rendered on its own. Every other element is carried over untouched.
export const kContainers = new Set(['div', 'p', 'pre', 'span', 'font']);
