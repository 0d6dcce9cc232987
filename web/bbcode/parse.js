// Reads a container's BBCode into a tree in one pass over its text, with no
// backtracking: each position is looked at a bounded number of times.
import {kLimits, kTags} from './tags.js';

// The container's children as one string: text as it is, every other child
// (a line break, an emoticon, a link the platform made) as a NUL whose node
// `nodes` holds at that index. A NUL a visitor typed is not in `nodes`.
// `children`: all of them, in order.
export function flatten(container) {
  let text = '';
  const nodes = new Map();
  const children = [];
  for (let n = container.firstChild; n; n = n.nextSibling) {
    children.push(n);
    if (n.nodeType === 3) {
      text += n.data;
    } else {
      nodes.set(text.length, n);
      text += '\0';
    }
  }
  return {text, nodes, children};
}

// The text of [a, b) with the platform's links read as their text, or null
// when anything else stands there.
function plainText(text, nodes, a, b) {
  let s = '';
  for (let k = a; k < b; k++) {
    const node = text[k] === '\0' && nodes.get(k);
    if (!node) s += text[k];
    else if (node.localName === 'a') s += node.textContent;
    else return null;
  }
  return s;
}


// The tag at `at` (a "["): its name, whether it is an end tag, its value with
// one pair of quotes taken off, and `stop`, the index after its "]".
// A value ends at the first "]" and holds no "[" and no line break.
function readTag(text, nodes, at) {
  let i = at + 1;
  const closing = text[i] === '/';
  if (closing) i++;
  const start = i;
  while (i - start < 8 && /[a-z*]/i.test(text.charAt(i))) i++;
  const tag = text.slice(start, i).toLowerCase();
  const spec = kTags.get(tag);
  if (!spec) return null;
  if (text[i] === ']') return {tag, spec, closing, stop: i + 1};
  if (closing || text[i] !== '=' || !spec.param) return null;
  let end = i + 1;
  while (end < text.length && end - i <= kLimits.param && text[end] !== ']' && text[end] !== '[') end++;
  if (text[end] !== ']') return null;
  let param = plainText(text, nodes, i + 1, end);
  if (param === null) return null;
  const q = param[0];
  if ((q === '"' || q === "'") && param.length > 1 && param[param.length - 1] === q) param = param.slice(1, -1);
  return {tag, spec, closing, param, stop: end + 1};
}

// The tree: the root {kids}; ranges of the text {a, b}; elements
// {tag, spec, param, kids, openAt, stop}, where [openAt, stop) is the start
// tag, text again if the element is never closed; and targets
// {tag, spec, param, shown}, such as [url]http://…[/url].
export function parse(text, nodes) {
  const limit = Math.min(text.length, kLimits.chars);
  const root = {kids: []};
  const open = [root];
  const ends = new Map(); // tag → {since, end}: the first end tag at or after `since`
  let from = 0;
  let count = 0;

  const top = () => open[open.length - 1];
  const inLink = () => open.some((n) => n.spec && n.spec.el === 'a');
  // An end tag closes the inline tags and list items opened inside it.
  const passes = (n) => n.spec && (!n.spec.block || n.tag === '*');

  function add(kids, a, b) {
    const last = kids[kids.length - 1];
    if (a >= b) return;
    if (last && !last.spec && last.b === a) last.b = b;
    else kids.push({a, b});
  }

  function endTag(tag, since) {
    const seen = ends.get(tag);
    if (seen && since >= seen.since && (seen.end < 0 || since <= seen.end)) return seen.end;
    const want = '[/' + tag + ']';
    let end = text.indexOf('[/', since);
    while (end >= 0 && end < limit && text.slice(end, end + want.length).toLowerCase() !== want) {
      end = text.indexOf('[/', end + 2);
    }
    if (end >= limit) end = -1;
    ends.set(tag, {since, end});
    return end;
  }

  // Places what the tag at `at` stands for and returns where reading goes on,
  // or -1 when the tag stays text. Nothing changes before the tag is known
  // to count.
  function place(found, at) {
    const {tag, spec, stop} = found;
    let d = open.length - 1;
    if (found.closing) {
      while (d > 0 && open[d].tag !== tag && passes(open[d])) d--;
      if (d === 0 || open[d].tag !== tag) return -1;
      add(top().kids, from, at);
      open.length = d;
      return stop;
    }
    if (spec.empty) {
      add(top().kids, from, at);
      top().kids.push({tag, spec, kids: []});
      return stop;
    }
    if (spec.verbatim || (spec.ofContent && found.param === undefined)) {
      const end = endTag(tag, stop);
      if (end < 0) return -1;
      let leaf = {tag, spec, kids: [{a: stop, b: end}]};
      if (!spec.verbatim) {
        const shown = end - stop <= kLimits.param && plainText(text, nodes, stop, end);
        const param = shown && spec.ofContent(shown);
        if (!param || (spec.el === 'a' && inLink())) return -1;
        leaf = {tag, spec, param, shown: shown.trim()};
      }
      add(top().kids, from, at);
      top().kids.push(leaf);
      return end + tag.length + 3;
    }
    let param;
    if (tag === '*') {
      // An item ends at the next item; both sit right in a list.
      while (d > 0 && passes(open[d]) && open[d].tag !== '*') d--;
      if (open[d].tag === '*') d--;
      if (open[d].tag !== 'list') return -1;
    } else if (found.param !== undefined) {
      param = spec.param(found.param);
      if (param === null) return -1;
    } else if (spec.needsValue) {
      return -1;
    }
    if (d + 1 > kLimits.depth || (spec.el === 'a' && inLink())) return -1;
    add(top().kids, from, at);
    open.length = d + 1;
    const node = {tag, spec, param, kids: [], openAt: at, stop};
    top().kids.push(node);
    open.push(node);
    return stop;
  }

  for (let at = text.indexOf('['); at >= 0 && at < limit; at = text.indexOf('[', at + 1)) {
    const found = readTag(text, nodes, at);
    if (!found) continue;
    if (++count > kLimits.tags) break;
    const next = place(found, at);
    if (next >= 0) {
      from = next;
      at = next - 1;
    }
  }
  add(top().kids, from, text.length);

  // Start tags never closed are text again, their content in their place.
  while (open.length > 1) {
    const node = open.pop();
    const kids = top().kids;
    kids.pop();
    add(kids, node.openAt, node.stop);
    for (const kid of node.kids) {
      if (kid.spec) kids.push(kid);
      else add(kids, kid.a, kid.b);
    }
  }
  return root;
}
