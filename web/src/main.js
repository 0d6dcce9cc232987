// The page: opens, edits, runs the commands on, shows the changes of, copies
// and saves one skin. Nothing leaves the browser.
import {ChangeSet, EditorState, Transaction} from '@codemirror/state';
import {EditorView} from '@codemirror/view';
import {isolateHistory, redo, undo} from '@codemirror/commands';
import {openSearchPanel} from '@codemirror/search';
import createOrlimoCore from 'orlimo-core';
import wasmBase64 from 'orlimo-core-wasm';
import {Status, loadCore} from './core.js';
import {
  changePosition, changeViewExtension, changesShown, hideChanges, showChanges, stepToChange,
} from './change_view.js';
import {setUpBbcodePanel} from './bbcode_panel.js';
import {download} from './download.js';
import {createEditor} from './editor.js';
import {editDiff} from './edit_diff.js';
import {Encoding, decodeSkin, firstLineBreak, isEditable, lineBreakName} from './encoding.js';
import {skinBytes, skinFile, skinFileEffects, skinText} from './skin_file.js';

const $ = (id) => document.getElementById(id);
const mib = (bytes) => Math.round((bytes / (1 << 20)) * 10) / 10;
const kKeepsText = '편집기의 텍스트는 그대로입니다.';

// Each step of a command is measured, so that a profile (or the benchmark)
// shows where the time goes.
function measured(name, work) {
  const start = performance.now();
  try {
    return work();
  } finally {
    performance.measure(`orlimo ${name}`, {start});
  }
}

const corePromise = loadCore(createOrlimoCore, Uint8Array.from(atob(wasmBase64), (c) => c.charCodeAt(0)));

// ---- Status line ------------------------------------------------------------

function say(text, kind = 'report') {
  const line = $('status');
  line.className = kind;
  if (line.textContent !== text) {
    line.textContent = text;
    return;
  }
  // The same words again: clear the line first, so that it is announced again.
  line.textContent = '';
  setTimeout(() => { line.textContent = text; }, 100);
}

// ---- What changed -------------------------------------------------------------

function showPosition(state) {
  const position = changePosition(state);
  $('changes').hidden = !position;
  if (!position) return;
  const {count, at} = position;
  $('change-count').textContent = count === 0 ? '바뀐 곳 없음'
    : at === 0 ? `바뀐 곳 ${count}곳` : `바뀐 곳 ${count}곳 중 ${at}번째`;
  $('prev-change').disabled = $('next-change').disabled = count === 0;
}

// ---- The skin's file ------------------------------------------------------------

const kNotices = {
  [Encoding.cp949]: 'CP949(EUC-KR)로 된 파일입니다. 브라우저는 CP949로 저장할 수 없으므로, ' +
    '바이트가 바뀌지 않도록 입력은 막아 두었습니다. BBCode 적용·해제와 저장은 원래 바이트에 ' +
    '그대로 하며, 결과는 Orlimo 프로그램과 바이트 하나까지 같습니다.',
  [Encoding.unknown]: 'UTF-8로도 CP949로도 읽을 수 없는 바이트가 있어 일부 글자가 �로 보입니다. ' +
    '입력은 막아 두었고, BBCode 적용·해제와 저장은 원래 바이트에 그대로 합니다.',
};

function showFile(file) {
  $('file-name').textContent = file.name ?? 'skin.html (새 텍스트)';
  $('file-encoding').textContent = file.encoding;
  $('file-line-break').textContent = lineBreakName(file.lineBreak);
  $('notice').hidden = isEditable(file.encoding);
  $('notice').textContent = kNotices[file.encoding] ?? '';
}

// ---- The editor -----------------------------------------------------------------

const view = createEditor($('editor'), [
  changeViewExtension,
  // Undo and redo of a command replace the whole text: close the change view.
  EditorState.transactionExtender.of((tr) =>
    (tr.isUserEvent('undo') || tr.isUserEvent('redo')) && changesShown(tr.startState)
      ? {effects: hideChanges()} : null),
  EditorView.updateListener.of((u) => {
    if (u.startState.field(skinFile) !== u.state.field(skinFile)) showFile(u.state.field(skinFile));
    if (u.docChanged || u.selectionSet || u.transactions.some((t) => t.effects.length)) showPosition(u.state);
  }),
  // Files dropped on the editor open as a skin (below), not as inserted text.
  EditorView.domEventHandlers({drop: (event) => event.dataTransfer?.types.includes('Files')}),
]);

// ---- Opening a file ----------------------------------------------------------

async function openFile(file) {
  const core = await corePromise;
  if (file.size > core.maxLength) {
    say(`${file.name}: 파일이 너무 큽니다 (${mib(file.size)} MiB). ` +
        `${mib(core.maxLength)} MiB까지 열 수 있습니다. ${kKeepsText}`, 'error');
    return;
  }
  let bytes;
  try {
    bytes = new Uint8Array(await file.arrayBuffer());
  } catch (error) {
    say(error instanceof RangeError
      ? `${file.name}: 메모리가 모자라 열 수 없습니다. ${kKeepsText}`
      : `${file.name}: 파일을 읽을 수 없습니다 (폴더이거나 읽기가 막힌 파일). ${kKeepsText}`, 'error');
    return;
  }
  const nul = bytes.indexOf(0);
  if (nul >= 0) {
    say(`${file.name}: 바이트 오프셋 ${nul}에 NUL 문자가 있습니다. 스킨 텍스트에는 ` +
        `NUL 문자가 없으므로 열지 않았습니다. ${kKeepsText}`, 'error');
    return;
  }
  const {encoding, text} = decodeSkin(bytes);
  const lineBreak = firstLineBreak(text);
  view.dispatch({
    changes: {from: 0, to: view.state.doc.length, insert: skinText(text, lineBreak)},
    effects: [
      ...skinFileEffects({name: file.name, encoding, lineBreak, bytes}),
      hideChanges(),
    ],
    selection: {anchor: 0},
    annotations: [isolateHistory.of('full'), Transaction.userEvent.of('orlimo.open')],
    filter: false,
    scrollIntoView: true,
  });
  say(`열었습니다: ${file.name} (${encoding}, ${lineBreakName(lineBreak)})`);
}

function openDropped(dataTransfer) {
  const items = [...dataTransfer.items].filter((item) => item.kind === 'file');
  if (items.length !== 1) {
    say(`파일을 하나만 놓아 주세요. ${kKeepsText}`, 'error');
    return;
  }
  const file = items[0].getAsFile();
  if (items[0].webkitGetAsEntry?.()?.isDirectory || !file) {
    say(`${file?.name ?? ''}: 폴더는 열 수 없습니다. skin.html 파일을 놓아 주세요. ${kKeepsText}`, 'error');
    return;
  }
  openFile(file);
}

// ---- The commands ---------------------------------------------------------------

function failureText(result, core) {
  switch (result.status) {
    case Status.nulByte:
      return `바이트 오프셋 ${result.nulOffset}에 NUL 문자가 있어 실행하지 않았습니다. ${kKeepsText}`;
    case Status.tooLong:
      return `텍스트가 너무 깁니다. ${mib(core.maxLength)} MiB까지 처리합니다. ${kKeepsText}`;
    default:
      return `메모리가 모자라 실행하지 못했습니다. ${kKeepsText}`;
  }
}

async function runCommand(apply) {
  const core = await corePromise;
  const {state} = view;
  const file = state.field(skinFile);
  const input = measured('skin bytes', () => skinBytes(state));
  const result = measured('core', () => core.run(apply, input));
  if (result.status !== Status.ok) {
    say(failureText(result, core), 'error');
    return;
  }
  const decoded = measured('decode', () => decodeSkin(result.bytes, file.encoding));
  const before = state.doc;
  const after = skinText(decoded.text, file.lineBreak);
  const a = before.toString();
  const changes = measured('diff', () => editDiff(a, after.toString()));
  // The editor's text is replaced whole: for a large skin far cheaper than
  // thousands of small edits, and exact whatever its lines hold. The
  // selection and the scroll position follow the changes.
  // (Only the lengths of the insertions matter to a mapping.)
  const mapping = measured('mapping', () => ChangeSet.of(changes.map((c) =>
    ({from: c.fromA, to: c.toA, insert: ' '.repeat(c.toB - c.fromB)})), before.length));
  const marks = measured('marks', () => showChanges(changes, a, after));
  measured('editor', () => view.dispatch({
    changes: changes.length ? {from: 0, to: before.length, insert: after} : undefined,
    selection: state.selection.map(mapping),
    effects: [
      view.scrollSnapshot().map(mapping),
      ...skinFileEffects({...file, encoding: decoded.encoding, bytes: result.bytes}),
      marks,
    ],
    annotations: [isolateHistory.of('full'), Transaction.userEvent.of('orlimo.command')],
    filter: false,
  }));
  say(result.report);
}

// ---- Copy and save ----------------------------------------------------------------

async function copyAll() {
  const text = view.state.sliceDoc();
  try {
    await navigator.clipboard.writeText(text);
  } catch {
    // Without the asynchronous clipboard (an insecure origin): the old way.
    const area = document.createElement('textarea');
    area.value = text;
    document.body.append(area);
    area.select();
    const copied = document.execCommand('copy');
    area.remove();
    if (!copied) {
      say('클립보드에 복사할 수 없습니다. 편집기에서 모두 선택(Ctrl+A)하고 복사(Ctrl+C)해 주세요.', 'error');
      return;
    }
  }
  say('클립보드로 복사했습니다.');
}

function save() {
  const name = view.state.field(skinFile).name ?? 'skin.html';
  download(skinBytes(view.state), name, 'text/html');
  say(`저장했습니다: ${name}`);
}

// ---- Wiring -----------------------------------------------------------------------

$('open').addEventListener('click', () => $('file').click());
$('file').addEventListener('change', (e) => {
  const [file] = e.target.files;
  e.target.value = '';
  if (file) openFile(file);
});
$('apply').addEventListener('click', () => runCommand(true));
$('remove').addEventListener('click', () => runCommand(false));
$('copy').addEventListener('click', copyAll);
$('save').addEventListener('click', save);
setUpBbcodePanel(say);
$('find').addEventListener('click', () => openSearchPanel(view));
$('prev-change').addEventListener('click', () => stepToChange(view, false));
$('next-change').addEventListener('click', () => stepToChange(view, true));
$('close-changes').addEventListener('click', () => view.dispatch({effects: hideChanges()}));

const hasFiles = (event) => event.dataTransfer?.types.includes('Files');
document.addEventListener('dragover', (e) => {
  if (!hasFiles(e)) return;
  e.preventDefault();
  e.dataTransfer.dropEffect = 'copy';
  document.body.classList.add('dropping');
});
document.addEventListener('dragleave', (e) => {
  if (e.relatedTarget === null) document.body.classList.remove('dropping');
});
document.addEventListener('drop', (e) => {
  document.body.classList.remove('dropping');
  if (!hasFiles(e)) return;
  e.preventDefault();
  openDropped(e.dataTransfer);
});

// Ctrl+Z and Ctrl+Y reach the editor's history from anywhere on the page (the
// focus is often on a command's button), except inside the search fields.
document.addEventListener('keydown', (e) => {
  if (view.hasFocus || e.target.closest?.('input, textarea')) return;
  const key = e.key.toLowerCase();
  if (!(e.ctrlKey || e.metaKey) || e.altKey || (key !== 'z' && key !== 'y')) return;
  e.preventDefault();
  (key === 'y' || e.shiftKey ? redo : undo)(view);
});

showFile(view.state.field(skinFile));
corePromise.then(
  (core) => { $('version').textContent = `v${core.version}`; },
  () => say('이 브라우저에서는 Orlimo의 핵심 부분(WebAssembly)을 실행할 수 없습니다.', 'error'));
