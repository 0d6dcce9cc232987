// The skin editor: CodeMirror with line numbers, HTML highlighting, search,
// undo, Korean phrases, and the page's light or dark colours.
import {Compartment, EditorState, Transaction} from '@codemirror/state';
import {
  EditorView, drawSelection, highlightActiveLine, highlightActiveLineGutter,
  highlightSpecialChars, keymap, lineNumbers, placeholder,
} from '@codemirror/view';
import {defaultKeymap, history, historyKeymap, isolateHistory} from '@codemirror/commands';
import {highlightSelectionMatches, search, searchKeymap} from '@codemirror/search';
import {HighlightStyle, syntaxHighlighting} from '@codemirror/language';
import {html} from '@codemirror/lang-html';
import {tags} from '@lezer/highlight';
import {kTypedSkin, skinFileEffects, skinFileExtensions, skinText} from './skin_file.js';

// Colours come from the page's style sheet, which follows the system setting.
const highlightStyle = HighlightStyle.define([
  {tag: [tags.tagName, tags.angleBracket], color: 'var(--hl-tag)'},
  {tag: tags.attributeName, color: 'var(--hl-attribute)'},
  {tag: [tags.attributeValue, tags.string], color: 'var(--hl-string)'},
  {tag: [tags.comment, tags.documentMeta], color: 'var(--hl-comment)'},
  {tag: [tags.keyword, tags.propertyName], color: 'var(--hl-keyword)'},
  {tag: [tags.number, tags.atom, tags.bool], color: 'var(--hl-number)'},
  {tag: tags.invalid, color: 'var(--hl-invalid)'},
]);

const kPhrases = {
  'Find': '찾기',
  'Replace': '바꿀 내용',
  'next': '다음',
  'previous': '이전',
  'all': '모두',
  'match case': '대소문자 구분',
  'regexp': '정규식',
  'by word': '단어 단위',
  'replace': '바꾸기',
  'replace all': '모두 바꾸기',
  'close': '닫기',
  'current match': '현재 찾은 곳',
  'replaced $ matches': '$곳을 바꾸었습니다',
  'replaced match on line $': '$번째 줄을 바꾸었습니다',
  'on line': '줄',
  'Go to line': '줄로 이동',
  'go': '이동',
  'Control character': '제어 문자',
  'Deleted': '삭제됨',
};

// The scheme's own compartment, so that the change view's colours follow it.
const scheme = new Compartment();
const darkQuery = window.matchMedia('(prefers-color-scheme: dark)');
const schemeTheme = (dark) => EditorView.theme({}, {dark});

// A paste over the whole text (or into an empty editor) starts a new typed
// skin; any other paste takes the skin's own line end.
const pasteHandling = [
  EditorView.domEventHandlers({
    paste(event, view) {
      const {state} = view;
      const whole = state.selection.ranges.some((r) => r.from === 0 && r.to === state.doc.length);
      if (state.readOnly || (!whole && state.doc.length > 0)) return false;
      const text = event.clipboardData?.getData('text/plain') ?? '';
      view.dispatch({
        changes: {from: 0, to: state.doc.length, insert: skinText(text.replace(/\r\n?|\n/g, '\r\n'), '\r\n')},
        effects: skinFileEffects(kTypedSkin),
        annotations: [isolateHistory.of('full'), Transaction.userEvent.of('input.paste')],
        filter: false,
        scrollIntoView: true,
      });
      event.preventDefault();
      return true;
    },
  }),
  EditorView.clipboardInputFilter.of((text, state) => text.replace(/\r\n?|\n/g, state.lineBreak)),
];

// `extra`: the page's own extensions (its change view, its drop handling).
export function createEditor(parent, extra) {
  const view = new EditorView({
    parent,
    state: EditorState.create({
      extensions: [
        skinFileExtensions,
        lineNumbers(),
        highlightActiveLineGutter(),
        highlightSpecialChars(),
        history(),
        drawSelection(),
        highlightActiveLine(),
        highlightSelectionMatches(),
        search({top: true}),
        html({autoCloseTags: false}),
        syntaxHighlighting(highlightStyle),
        keymap.of([...defaultKeymap, ...historyKeymap, ...searchKeymap]),
        EditorState.phrases.of(kPhrases),
        // (The content is in the tab order as any editable element is; saying
        // so lets checkers see that its scrolling region can be reached.)
        EditorView.contentAttributes.of({'aria-label': '스킨 편집기', 'tabindex': '0'}),
        placeholder('skin.html의 내용을 여기에 붙여 넣거나, 파일을 열거나 이 페이지에 끌어다 놓으세요.'),
        scheme.of(schemeTheme(darkQuery.matches)),
        pasteHandling,
        extra,
      ],
    }),
  });
  darkQuery.addEventListener('change', (e) =>
    view.dispatch({effects: scheme.reconfigure(schemeTheme(e.matches))}));
  return view;
}
