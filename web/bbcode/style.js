// Our default look. :where() gives every rule no specificity at all, so any
// rule of the skin's own about the same elements wins.
export const kStyle = ':where(.bb-quote){margin:.5em 0;padding:.2em .8em;border-left:3px solid #8888}' +
  ':where(.bb-quote-name){display:block;font:inherit;font-weight:bold}' +
  ':where(.bb-code){padding:.5em;white-space:pre-wrap;overflow-wrap:anywhere;background:#8882}' +
  ':where(.bb-spoiler-title){cursor:pointer}';
