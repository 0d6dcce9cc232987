// bbcode35.js: renders the BBCode of visitors' comments inside the skin's
// <div class="bbcode"> wrappers, once the document is parsed and whenever
// wrappers are added later. Loaded synchronously in <head>, so until then it
// only registers itself. Its one global is BBDecode; nothing it does throws
// into the page.
import {kDone, renderWrapper} from './render.js';
import {kStyle} from './style.js';

const kPending = `div.bbcode:not([${kDone}])`;
const kSliceMs = 8; // a pass yields to the page after this much work
const kPollMs = 1000; // where there is no MutationObserver

let timer = 0;
let styled = false;

// While the document is still being parsed, only a wrapper that something
// follows is complete.
function parsed(node) {
  for (; node; node = node.parentNode) if (node.nextSibling) return true;
  return false;
}

function addStyle() {
  styled = true;
  const style = document.createElement('style');
  style.textContent = kStyle;
  const head = document.head || document.documentElement;
  head.insertBefore(style, head.firstChild);
}

function schedule() {
  clearTimeout(timer);
  timer = setTimeout(run, 0);
}

// Renders the wrappers not rendered yet; `sliced`, it goes on in a new task
// once it has worked kSliceMs, so that a long page never blocks for long.
function pass(sliced) {
  const loading = document.readyState === 'loading';
  const until = performance.now() + kSliceMs;
  const pending = document.querySelectorAll(kPending);
  for (let k = 0; k < pending.length; k++) {
    const wrapper = pending[k];
    if (wrapper.hasAttribute(kDone) || (loading && !parsed(wrapper))) continue;
    if (!styled) addStyle();
    try {
      renderWrapper(wrapper);
    } catch (e) {
      wrapper.setAttribute(kDone, 'failed');
    }
    if (sliced && performance.now() > until) {
      schedule();
      break;
    }
  }
}

function run() {
  timer = 0;
  try {
    pass(true);
  } catch (e) {
    // the page goes on; the next pass tries again
  }
}

function start() {
  run();
  if (window.MutationObserver) {
    new MutationObserver(() => {
      if (!timer) schedule();
    }).observe(document, {childList: true, subtree: true});
  } else {
    setInterval(run, kPollMs);
  }
}

try {
  const found = window.BBDecode;
  const api = found && (typeof found === 'object' || typeof found === 'function') ? found : {};
  // A second copy of this script leaves the first in charge.
  if (api.version !== BBCODE_VERSION) {
    api.version = BBCODE_VERSION;
    api.UpdateBBCodeNow = () => {
      try {
        pass(false);
      } catch (e) {
        // as run()
      }
    };
    api.ResetTimer = () => {
      try {
        schedule();
      } catch (e) {
        // as run()
      }
    };
    window.BBDecode = api;
    if (document.readyState === 'loading') document.addEventListener('DOMContentLoaded', start);
    else start();
  }
} catch (e) {
  // an odd page (a BBDecode that cannot be extended): stay out of its way
}
