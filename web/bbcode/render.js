// Renders one wrapper: every container in it (the wrapper, the skin's
// paragraph, nested wrappers) is read and built first; only when all of that
// has succeeded does the page change, so a comment that makes a step throw
// is left exactly as it was.
import {build} from './build.js';
import {flatten, parse} from './parse.js';
import {kContainers} from './tags.js';

// Rendered wrappers carry it, so that a second pass never reads our output.
export const kDone = 'data-bbcode';

// What to do to the container, or null when it holds no BBCode.
function prepare(container) {
  const {text, nodes} = flatten(container);
  if (text.indexOf('[') < 0) return null;
  const tree = parse(text, nodes);
  if (!tree.kids.some((kid) => kid.spec)) return null;
  const {fragment, moves} = build(tree, text, nodes);
  return () => {
    for (const [slot, node] of moves) slot.parentNode.replaceChild(node, slot);
    container.textContent = '';
    container.appendChild(fragment);
  };
}

export function renderWrapper(wrapper) {
  const containers = [wrapper];
  for (let k = 0; k < containers.length; k++) {
    for (let n = containers[k].firstElementChild; n; n = n.nextElementSibling) {
      if (kContainers.has(n.localName)) containers.push(n);
    }
  }
  const changes = containers.map(prepare);
  for (const change of changes) if (change) change();
  for (const container of containers) {
    if (container.localName === 'div' && container.classList.contains('bbcode')) container.setAttribute(kDone, '');
  }
}
