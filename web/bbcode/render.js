// Renders one wrapper: every container in it (the wrapper, the skin's
// paragraph, nested wrappers) is read and parsed before anything changes.
// Then each container with BBCode gives up its children at once, its new
// content is built from them (its nodes other than text move into it as
// they are) and goes in at once. If anything throws, every container gets
// its own children back: the comment is left exactly as it was.
import {build} from './build.js';
import {flatten, parse} from './parse.js';
import {kContainers} from './tags.js';

// Rendered wrappers carry it, so that a second pass never reads our output.
export const kDone = 'data-bbcode';

// The container's tree, or null when it holds no BBCode.
function treeOf({text, nodes}) {
  if (text.indexOf('[') < 0) return null;
  const tree = parse(text, nodes);
  return tree.kids.some((kid) => kid.spec) ? tree : null;
}

// Every wrapper it covers (nested ones too) ends up marked, "failed" when the
// comment was left as it was.
export function renderWrapper(wrapper) {
  const containers = [wrapper];
  let reads = [];
  let changed = [];
  let outcome = 'failed';
  try {
    for (let k = 0; k < containers.length; k++) {
      for (let n = containers[k].firstElementChild; n; n = n.nextElementSibling) {
        if (kContainers.has(n.localName)) containers.push(n);
      }
    }
    reads = containers.map(flatten);
    const trees = reads.map(treeOf);
    changed = containers.filter((container, k) => trees[k]);
    const results = changed.map((container) => {
      const k = containers.indexOf(container);
      container.textContent = '';
      return build(trees[k], reads[k].text, reads[k].nodes);
    });
    changed.forEach((container, k) => container.appendChild(results[k]));
    outcome = '';
  } catch (e) {
    for (const container of changed) {
      container.textContent = '';
      container.append(...reads[containers.indexOf(container)].children);
    }
  }
  for (const container of containers) {
    if (container.localName === 'div' && container.classList.contains('bbcode')) container.setAttribute(kDone, outcome);
  }
}
