// Turns a parsed tree into DOM nodes: elements from the tag table only, text
// as text nodes, attributes from fixed names with validated values, styles
// through the style object. The container's own nodes other than text (line
// breaks, emoticons, the platform's links) move into the result as they are.

const kRel = 'nofollow ugc noopener noreferrer';
const create = (tag) => document.createElement(tag);
const textNode = (text) => document.createTextNode(text);

export function build(tree, text, nodes) {
  const isBreak = (k) => text[k] === '\0' && nodes.has(k) && nodes.get(k).localName === 'br';
  // Where a raw line break at k ends (past the range's end is harmless).
  const newlineEnd = (k) => (text.startsWith('\r\n', k) ? k + 2 : text[k] === '\n' || text[k] === '\r' ? k + 1 : k);
  const isBlank = (kid) => {
    for (let k = kid.a; k < kid.b; k++) if (!isBreak(k) && !/\s/.test(text[k])) return false;
    return true;
  };

  // [a, b) as text nodes and the container's nodes. In preformatted text the
  // raw line break that the platform puts after each <br> would show twice:
  // it goes. Inside our link, a link the platform made is its text.
  function emitText(parent, a, b, pre, link) {
    while (a < b) {
      let k = text.indexOf('\0', a);
      while (k >= 0 && k < b && !nodes.has(k)) k = text.indexOf('\0', k + 1);
      const end = k >= 0 && k < b ? k : b;
      if (end > a) parent.appendChild(textNode(text.slice(a, end)));
      if (end === b) return;
      const node = nodes.get(end);
      parent.appendChild(link && node.localName === 'a' ? textNode(node.textContent) : node);
      a = pre && isBreak(end) ? newlineEnd(end + 1) : end + 1;
    }
  }

  // A line break right at the start of a block, or right after one, would
  // add a blank line: it goes, with the raw line break after it. So does
  // blank text between a list's items.
  function emit(parent, node, pre, link) {
    const kids = node.kids;
    kids.forEach((kid, k) => {
      if (kid.spec) {
        parent.appendChild(element(kid, link));
      } else if (node.tag !== 'list' || !isBlank(kid)) {
        const before = k ? kids[k - 1] : node;
        const afterBlock = before.spec && before.spec.block;
        emitText(parent, afterBlock && isBreak(kid.a) ? newlineEnd(kid.a + 1) : kid.a, kid.b, pre, link);
      }
    });
  }

  function titled(el, tag, className, title) {
    const head = el.appendChild(create(tag));
    head.className = className;
    head.textContent = title;
  }

  function element(node, link) {
    const {tag, spec, param} = node;
    if (!spec.el) {
      const fragment = document.createDocumentFragment();
      emit(fragment, node, false, link);
      return fragment;
    }
    const el = create(tag === 'list' && param ? 'ol' : spec.el);
    el.className = tag === '*' ? 'bb-item' : 'bb-' + tag;
    switch (tag) {
      case 'color': el.style.color = param; break;
      case 'size': el.style.fontSize = param; break;
      case 'center': case 'left': case 'right': el.style.textAlign = tag; break;
      case 'list': if (param) el.type = param; break;
      case 'quote': if (param) titled(el, 'cite', 'bb-quote-name', param); break;
      case 'spoiler': if (param) titled(el, 'summary', 'bb-spoiler-title', param); break;
      case 'url': case 'email':
        el.href = param;
        el.rel = kRel;
        if (!node.kids || !node.kids.length) el.textContent = node.shown || param;
        break;
      case 'img':
        // Attributes before the source, so that the request already obeys them.
        el.loading = 'lazy';
        el.referrerPolicy = 'no-referrer';
        el.alt = '';
        el.style.maxWidth = '100%';
        el.src = param;
    }
    if (node.kids) emit(el, node, tag === 'code', link || spec.el === 'a');
    return el;
  }

  const fragment = document.createDocumentFragment();
  emit(fragment, tree, false);
  return fragment;
}
