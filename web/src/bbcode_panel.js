// The bbcode35.js panel: saves the script the skin loads (the very bytes this
// page embeds and runs) and shows a comment as a visitor would see it,
// rendered by that same script.
import {download} from './download.js';

// A visitor's text as the blog platform hands it over: text nodes, and a
// <br> and a newline for each line break, in a wrapper of Apply's.
function platformWrapper(text) {
  const wrapper = document.createElement('div');
  wrapper.className = 'bbcode';
  text.split(/\r?\n/).forEach((line, k) => {
    if (k) wrapper.append(document.createElement('br'), '\n');
    wrapper.append(line);
  });
  return wrapper;
}

export function setUpBbcodePanel(say) {
  const $ = (id) => document.getElementById(id);
  $('bbcode-save').addEventListener('click', () => {
    download($('bbcode35').textContent, 'bbcode35.js', 'text/javascript');
    say('저장했습니다: bbcode35.js');
  });
  const show = () => {
    $('bbcode-preview').replaceChildren(platformWrapper($('bbcode-comment').value));
    window.BBDecode.UpdateBBCodeNow();
  };
  $('bbcode-comment').addEventListener('input', show);
  // A link in the preview would leave the page, and the skin with it.
  $('bbcode-preview').addEventListener('click', (e) => {
    if (e.target.closest('a')) e.preventDefault();
  });
  show();
}
