// What a command changed, marked in the editor: inserted text underlined on
// green, removed text shown struck through on red where it stood, and the
// lines of the changed places tinted. A place is a run of changes on one
// line, or running on from one line into the next; on a long line (a
// minified skin) each change is a place of its own. The page counts the
// places and steps from one to the next. The marks follow later edits.
import {EditorSelection, StateEffect, StateField} from '@codemirror/state';
import {Decoration, EditorView, WidgetType} from '@codemirror/view';

class RemovedText extends WidgetType {
  constructor(text) {
    super();
    this.text = text;
  }
  eq(other) {
    return other.text === this.text;
  }
  toDOM() {
    const del = document.createElement('del');
    del.className = 'cm-removedText';
    del.title = '지운 텍스트';
    // Line ends stay visible and keep the lines as they are.
    del.textContent = this.text.replace(/\n/g, '⏎').replace(/\r/g, '␍');
    return del;
  }
}

const inserted = Decoration.mark({tagName: 'ins', class: 'cm-insertedText'});
const changedLine = Decoration.line({class: 'cm-changedLine'});

const setChanges = StateEffect.define();

// {decorations, places: [{from, to}]} while changes are shown, else null.
const shown = StateField.define({
  create: () => null,
  update(value, tr) {
    for (const effect of tr.effects) if (effect.is(setChanges)) return effect.value;
    if (!value || !tr.docChanged) return value;
    return {
      decorations: value.decorations.map(tr.changes),
      places: value.places.map((p) => ({from: tr.changes.mapPos(p.from, -1), to: tr.changes.mapPos(p.to, 1)})),
    };
  },
  provide: (field) => EditorView.decorations.from(field, (value) => value?.decorations ?? Decoration.none),
});

export const changeViewExtension = shown;

// A line longer than this holds many changes out of sight of each other.
const kLongLine = 200;

// The effect that shows `changes` ({fromA, toA, fromB, toB}, in order) from
// the editor's text `before` to its new text `doc`.
export function showChanges(changes, before, doc) {
  const ranges = [];
  const places = [];
  let tinted = -1;  // the start of the last line tinted
  for (const c of changes) {
    const last = places[places.length - 1];
    const line = doc.lineAt(c.fromB);
    if (last && line.length <= kLongLine && doc.lineAt(last.to).number >= line.number) {
      last.to = Math.max(last.to, c.toB);
    } else {
      places.push({from: c.fromB, to: c.toB});
      if (line.from !== tinted) ranges.push(changedLine.range((tinted = line.from)));
    }
    if (c.toA > c.fromA) {
      const widget = new RemovedText(before.sliceString(c.fromA, c.toA));
      ranges.push(Decoration.widget({widget, side: -1}).range(c.fromB));
    }
    if (c.toB > c.fromB) ranges.push(inserted.range(c.fromB, c.toB));
  }
  return setChanges.of({decorations: Decoration.set(ranges, true), places});
}

export const hideChanges = () => setChanges.of(null);

export const changesShown = (state) => state.field(shown, false) !== null;

// {count, at}: the number of places and the 1-based place at the cursor
// (0 when the cursor is in none), or null when no changes are shown.
export function changePosition(state) {
  const value = state.field(shown, false);
  if (!value) return null;
  const head = state.selection.main.head;
  return {count: value.places.length, at: value.places.findIndex((p) => p.from <= head && head <= p.to) + 1};
}

// Moves the cursor to the next (or previous) place, round at the ends.
export function stepToChange(view, forward) {
  const places = view.state.field(shown, false)?.places;
  if (!places?.length) return;
  const head = view.state.selection.main.head;
  let k = forward ? places.findIndex((p) => p.from > head) : places.findLastIndex((p) => p.from < head);
  if (k < 0) k = forward ? 0 : places.length - 1;
  view.dispatch({
    selection: EditorSelection.cursor(places[k].from),
    effects: EditorView.scrollIntoView(places[k].from, {y: 'center'}),
  });
}
