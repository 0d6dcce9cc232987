// The page: opens, edits, runs the commands on, shows the changes of, copies
// and saves one skin. Nothing leaves the browser.
import {ChangeSet, EditorState, StateEffect, StateField, Transaction} from '@codemirror/state';
import {EditorView} from '@codemirror/view';
import {isolateHistory, redo, undo} from '@codemirror/commands';
import {openSearchPanel} from '@codemirror/search';
import {Status} from './core.js';
import {coreInfo, runInWorker} from './core_client.js';
import {
  changePosition, changeViewExtension, changesShown, hideChanges, showChanges, stepToChange,
} from './change_view.js';
import {setUpBbcodePanel} from './bbcode_panel.js';
import {download} from './download.js';
import {createEditor} from './editor.js';
import {firstLineBreak, isEditable, lineBreakName} from './encoding.js';
import {CommandFailure, Refusal, kNothingYet, kTextKept, readOnlyNotice, sizeText} from './messages.js';
import {readSkin} from './skin_reader.js';
import {skinBytes, skinFile, skinFileEffects, skinText} from './skin_file.js';

const $ = (id) => document.getElementById(id);

// The largest skin the page opens or runs a command on: what a tab handles
// well (bench/web_sizes.mjs: at 32 MiB a command takes 2 to 3 s, the page's
// thread is blocked for under a second and the browser peaks at about
// 1.5 GB; at 128 MiB, 6 to 12 s, blocks of 3 s and up to 4.6 GB). The
// command line takes up to the core's own limit.
const kPageMaxBytes = 32 << 20;
const limits = async () =>
  ({limit: kPageMaxBytes, cliLimit: await coreInfo.then((core) => core.maxLength, () => kPageMaxBytes)});

// Each step of a command is measured, so that a profile (or the benchmark)
// shows where the time goes. `timings` are durations measured elsewhere (in
// the core's worker), ending now.
function measured(name, work) {
  const start = performance.now();
  try {
    return work();
  } finally {
    performance.measure(`orlimo ${name}`, {start});
  }
}
function recordTimings(timings) {
  let end = performance.now();
  for (const [name, duration] of Object.entries(timings).reverse()) {
    performance.measure(`orlimo ${name}`, {end, duration});
    end -= duration;
  }
}

// ---- Status line ------------------------------------------------------------

let sayAgain = 0;
function say(text, kind = 'report') {
  const line = $('status');
  line.className = kind;
  clearTimeout(sayAgain);
  if (line.textContent !== text) {
    line.textContent = text;
    return;
  }
  // The same words again: clear the line first, so that it is announced again.
  line.textContent = '';
  sayAgain = setTimeout(() => { line.textContent = text; }, 100);
}

// ---- Busy state -------------------------------------------------------------
// While a file opens or a command runs, the buttons that act on the text are
// off, the pointer waits, the status line says what is under way and the
// editor takes no input. Opening stays possible: the last file chosen wins,
// and an earlier open or command still under way is dropped.

const kTextButtons = ['apply', 'remove', 'copy', 'save'];
const setLocked = StateEffect.define();
const editorLock = StateField.define({
  create: () => false,
  update: (locked, tr) => tr.effects.reduce((value, e) => (e.is(setLocked) ? e.value : value), locked),
  provide: (field) => EditorState.readOnly.from(field),
});
let latestTask = 0;

function setBusy(text) {
  document.body.classList.toggle('busy', text !== null);
  for (const id of kTextButtons) $(id).setAttribute('aria-disabled', String(text !== null));
  $('editor').setAttribute('aria-busy', String(text !== null));
  view.dispatch({effects: setLocked.of(text !== null)});
  if (text !== null) say(text, 'busy');
}
const isBusy = () => document.body.classList.contains('busy');

// Runs `work(stale)` in the busy state; `stale()` tells that a later task has
// begun, and `work` then stops. An exception ends in `failure(error)` said,
// the editor unchanged.
async function runTask(busyText, failure, work) {
  const ticket = ++latestTask;
  const stale = () => ticket !== latestTask;
  setBusy(busyText);
  try {
    await work(stale);
  } catch (error) {
    if (!stale()) say(`${failure(error)} ${kTextKept}`, 'error');
  } finally {
    if (!stale()) setBusy(null);
  }
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

function showFile(file) {
  $('file-name').textContent = file.name ?? 'skin.html (새 텍스트)';
  $('file-encoding').textContent = file.encoding;
  $('file-line-break').textContent = lineBreakName(file.lineBreak);
  const notice = readOnlyNotice(file);
  $('notice').hidden = notice === null;
  $('notice').textContent = notice ?? '';
}

// Typing into a text the page cannot write back is refused: say why.
function sayInputRefused(update) {
  const file = update.startState.field(skinFile);
  if (isEditable(file) || !update.transactions.some((tr) =>
    !tr.docChanged && (tr.isUserEvent('input') || tr.isUserEvent('delete')))) return;
  const text = `입력할 수 없습니다. ${readOnlyNotice(file)}`;
  if ($('status').textContent !== text) say(text, 'error');
}

// ---- The editor -----------------------------------------------------------------

const view = createEditor($('editor'), [
  changeViewExtension,
  editorLock,
  // Undo and redo of a command replace the whole text: close the change view.
  EditorState.transactionExtender.of((tr) =>
    (tr.isUserEvent('undo') || tr.isUserEvent('redo')) && changesShown(tr.startState)
      ? {effects: hideChanges()} : null),
  EditorView.updateListener.of((u) => {
    if (u.startState.field(skinFile) !== u.state.field(skinFile)) showFile(u.state.field(skinFile));
    if (u.docChanged || u.selectionSet || u.transactions.some((t) => t.effects.length)) showPosition(u.state);
    sayInputRefused(u);
  }),
  // Files dropped on the editor open as a skin (below), not as inserted text.
  EditorView.domEventHandlers({drop: (event) => event.dataTransfer?.types.includes('Files')}),
]);

// ---- Opening a file ----------------------------------------------------------

function openFile(file) {
  const refuse = (refusal) => say(`${file.name}: ${refusal} ${kTextKept}`, 'error');
  const failure = (error) =>
    `${file.name}: ${error instanceof RangeError ? Refusal.outOfMemory : Refusal.unreadable}`;
  return runTask(`여는 중: ${file.name}…`, failure, async (stale) => {
    const read = await readSkin(file, await limits(), stale);
    if (stale() || !read) return;
    if (read.refusal) {
      refuse(read.refusal);
      return;
    }
    const {encoding, text, unshown} = read.decoded;
    const lineBreak = firstLineBreak(text);
    view.dispatch({
      changes: {from: 0, to: view.state.doc.length, insert: skinText(text, lineBreak)},
      effects: [
        ...skinFileEffects({name: file.name, encoding, lineBreak, unshown, bytes: read.bytes}),
        hideChanges(),
      ],
      selection: {anchor: 0},
      annotations: [isolateHistory.of('full'), Transaction.userEvent.of('orlimo.open')],
      filter: false,
      scrollIntoView: true,
    });
    say(`열었습니다: ${file.name} (${encoding}, ${lineBreakName(lineBreak)})`);
  });
}

function openDropped(dataTransfer) {
  const items = [...dataTransfer.items].filter((item) => item.kind === 'file');
  if (items.length !== 1) {
    say(`${Refusal.oneFile} ${kTextKept}`, 'error');
    return;
  }
  const file = items[0].getAsFile();
  if (items[0].webkitGetAsEntry?.()?.isDirectory || !file) {
    say(`${file?.name ?? ''}: ${Refusal.folder} ${kTextKept}`, 'error');
    return;
  }
  openFile(file);
}

// ---- The commands ---------------------------------------------------------------

async function failureText(result) {
  switch (result.status) {
    case Status.nulByte: return CommandFailure.nulByte(result);
    case Status.tooLong: return CommandFailure.tooLong(await limits());
    default: return CommandFailure.outOfMemory;
  }
}

function runCommand(apply) {
  if (isBusy()) return;
  if (view.state.doc.length === 0) {
    say(kNothingYet.command, 'error');
    return;
  }
  const failure = (error) => (error instanceof RangeError ? CommandFailure.outOfMemory : CommandFailure.failed);
  runTask(apply ? 'BBCode 적용 중…' : 'BBCode 해제 중…', failure, async (stale) => {
    const {state} = view;
    const file = state.field(skinFile);
    const bytes = measured('skin bytes', () => skinBytes(state));
    if (bytes === null) {
      say(`${CommandFailure.unpaired} ${kTextKept}`, 'error');
      return;
    }
    const reply = bytes.length > kPageMaxBytes ? {status: Status.tooLong}
      : await runInWorker({apply, bytes, encoding: file.encoding, lineBreak: file.lineBreak});
    if (stale()) return;
    if (reply.status !== Status.ok) {
      say(`${await failureText(reply)} ${kTextKept}`, 'error');
      return;
    }
    recordTimings(reply.timings);
    const {changes} = reply;
    const before = state.doc;
    const after = measured('lines', () => skinText(reply.text, file.lineBreak));
    // The editor's text is replaced whole: for a large skin far cheaper than
    // thousands of small edits, and exact whatever its lines hold. The
    // selection and the scroll position follow the changes.
    // (Only the lengths of the insertions matter to a mapping.)
    const mapping = measured('mapping', () => ChangeSet.of(changes.map((c) =>
      ({from: c.fromA, to: c.toA, insert: ' '.repeat(c.toB - c.fromB)})), before.length));
    const marks = measured('marks', () => showChanges(changes, before, after));
    measured('editor', () => view.dispatch({
      changes: changes.length ? {from: 0, to: before.length, insert: after} : undefined,
      selection: view.state.selection.map(mapping),
      effects: [
        view.scrollSnapshot().map(mapping),
        ...skinFileEffects({...file, encoding: reply.encoding, unshown: reply.unshown, bytes: reply.bytes}),
        marks,
      ],
      annotations: [isolateHistory.of('full'), Transaction.userEvent.of('orlimo.command')],
      filter: false,
    }));
    say(reply.report);
  });
}

// ---- Copy and save ----------------------------------------------------------------

async function copyAll() {
  if (isBusy()) return;
  const text = view.state.sliceDoc();
  if (text === '') {
    say(kNothingYet.copy, 'error');
    return;
  }
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
      say('클립보드에 복사할 수 없습니다. 편집기에서 모두 선택(Ctrl+A)하고 복사(Ctrl+C)하십시오.', 'error');
      return;
    }
  }
  say('클립보드로 복사했습니다.');
}

function save() {
  if (isBusy()) return;
  if (view.state.doc.length === 0) {
    say(kNothingYet.save, 'error');
    return;
  }
  const name = view.state.field(skinFile).name ?? 'skin.html';
  const bytes = skinBytes(view.state);
  if (bytes === null) {
    say(`${CommandFailure.unpaired} 저장하지 않았습니다.`, 'error');
    return;
  }
  download(bytes, name, 'text/html');
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
$('close-changes').addEventListener('click', () => {
  view.dispatch({effects: hideChanges()});
  view.focus();
});

// The drop hint shows while files are dragged over the page. A drag that
// ends elsewhere or is cancelled may send no dragleave: the hint also goes
// when the dragover events stop (they come every few hundred milliseconds
// while a drag stays over the page) or the mouse moves again.
const hasFiles = (event) => event.dataTransfer?.types.includes('Files');
let dropHintTimer = 0;
function showDropHint(shown) {
  clearTimeout(dropHintTimer);
  document.body.classList.toggle('dropping', shown);
  if (shown) dropHintTimer = setTimeout(() => showDropHint(false), 1000);
}
document.addEventListener('dragover', (e) => {
  if (!hasFiles(e)) return;
  e.preventDefault();
  e.dataTransfer.dropEffect = 'copy';
  showDropHint(true);
});
document.addEventListener('dragleave', (e) => {
  if (e.relatedTarget === null) showDropHint(false);
});
document.addEventListener('mousemove', () => {
  if (document.body.classList.contains('dropping')) showDropHint(false);
});
document.addEventListener('drop', (e) => {
  showDropHint(false);
  if (!hasFiles(e)) return;
  e.preventDefault();
  openDropped(e.dataTransfer);
});

// Ctrl+Z, Ctrl+Y and Ctrl+F reach the editor from anywhere on the page (the
// focus is often on a command's button), so Ctrl+F opens the editor's search,
// which finds in the whole text, not the browser's. The editor and its
// search fields handle their own keys.
document.addEventListener('keydown', (e) => {
  if (!(e.ctrlKey || e.metaKey) || e.altKey || view.dom.contains(e.target) ||
      e.target.closest?.('input, textarea')) return;
  const command = {z: e.shiftKey ? redo : undo, y: redo, f: openSearchPanel}[e.key.toLowerCase()];
  if (!command) return;
  e.preventDefault();
  command(view);
});

showFile(view.state.field(skinFile));
$('page-limit').textContent = sizeText(kPageMaxBytes);
coreInfo.then(
  (core) => {
    $('version').textContent = `v${core.version}`;
    $('cli-limit').textContent = sizeText(core.maxLength);
  },
  () => say('이 브라우저에서는 Orlimo의 핵심 부분(WebAssembly)을 실행할 수 없습니다.', 'error'));
