// The difference between a skin before and after a command, fast enough for
// a 1 MB skin with thousands of changes. A general diff is quadratic in the
// size of what changed; a command only inserts and removes short pieces
// between long runs of unchanged text, so this one walks both texts together
// and, where they part, looks for the nearest place where they agree again.
//
// Any result is a correct edit script from `a` to `b`, in order; for the
// commands' edits (short pieces with unchanged text between them) it finds
// each piece. A change it cannot place (more than kNear characters replaced
// on both sides) runs to the end of the texts.
//
// A change is {fromA, toA, fromB, toB}: a[fromA, toA) became b[fromB, toB).

const change = (fromA, toA, fromB, toB) => ({fromA, toA, fromB, toB});

const kAgree = 16;  // characters that must agree to resynchronise (a token is 19 or more)
const kNear = 256;  // the most skipped on either side near a divergence
const kFar = 1 << 16;  // the longest pure insertion or removal looked for further
const kBlock = 64;

// Agreement at a[i..] and b[j..]: kAgree characters, or both ends together.
function agree(a, i, b, j) {
  const n = Math.min(kAgree, a.length - i, b.length - j);
  if (n < kAgree && a.length - i !== b.length - j) return false;
  return a.startsWith(b.substring(j, j + n), i);
}

// The first k in [1, limit] at which from[at + k..] agrees with to[to0..], or -1.
function skipIn(from, at, to, to0, limit) {
  const key = to.substring(to0, to0 + kAgree);
  if (key.length < kAgree) {  // `to` ends within the key, so `from` must too
    const k = from.length - key.length - at;
    return k >= 1 && k <= limit && from.endsWith(key) ? k : -1;
  }
  // A substring of a long string is a cheap slice: the search stays bounded.
  const window = from.substring(at + 1, at + 1 + limit + kAgree);
  for (let k = window.indexOf(key); k >= 0 && k < limit; k = window.indexOf(key, k + 1)) {
    if (agree(from, at + 1 + k, to, to0)) return k + 1;
  }
  return -1;
}

// The shorter of a pure removal and a pure insertion within `limit`, or null.
function pureSkip(a, i, b, j, limit) {
  const removed = skipIn(a, i, b, j, limit);
  const inserted = skipIn(b, j, a, i, limit);
  if (removed < 0 && inserted < 0) return null;
  return inserted < 0 || (removed > 0 && removed < inserted) ? [removed, 0] : [0, inserted];
}

// [da, db]: how much of `a` and of `b` to skip from i and j so that they agree
// again, the least in all within kNear on each side, else a pure removal or
// insertion within kFar; or null.
function resync(a, i, b, j) {
  let best = pureSkip(a, i, b, j, kNear);
  // A replacement wins only by skipping fewer characters in all.
  for (let db = 1; db <= Math.min(kNear, b.length - j); ++db) {
    const most = Math.min(kNear, best ? best[0] + best[1] - db - 1 : kNear);
    if (most < 1) break;
    const da = skipIn(a, i, b, j + db, most);
    if (da > 0) best = [da, db];
  }
  return best ?? pureSkip(a, i, b, j, kFar);
}

// A pure insertion or removal can slide back along text that repeats it, up
// to `room` characters (the unchanged run before it); put it where its text
// starts with "<", as the commands' pieces do, if it can.
function placed(a, b, fromA, toA, fromB, toB, room) {
  const [s, from, len] = toA === fromA ? [b, fromB, toB - fromB] : [a, fromA, toA - fromA];
  if (len === 0 || (toA !== fromA && toB !== fromB)) return change(fromA, toA, fromB, toB);
  let shift = 0;  // leftwards, as far as the text repeats
  while (shift < room && s.charCodeAt(from - shift - 1) === s.charCodeAt(from - shift - 1 + len)) {
    ++shift;
  }
  for (let k = shift; k > 0; --k) {
    if (s[from - k] === '<') return change(fromA - k, toA - k, fromB - k, toB - k);
  }
  return change(fromA, toA, fromB, toB);
}

export function editDiff(a, b) {
  const changes = [];
  let i = 0;
  let j = 0;
  for (;;) {
    const runStart = i;
    // The unchanged run: a block at a time (a native comparison), then by
    // character.
    while (i + kBlock <= a.length && j + kBlock <= b.length && a.startsWith(b.substring(j, j + kBlock), i)) {
      i += kBlock;
      j += kBlock;
    }
    while (i < a.length && j < b.length && a.charCodeAt(i) === b.charCodeAt(j)) {
      ++i;
      ++j;
    }
    if (i === a.length || j === b.length) {
      if (i < a.length || j < b.length) changes.push(placed(a, b, i, a.length, j, b.length, i - runStart));
      return changes;
    }
    const skip = resync(a, i, b, j);
    if (skip === null) {
      changes.push(change(i, a.length, j, b.length));
      return changes;
    }
    changes.push(placed(a, b, i, i + skip[0], j, j + skip[1], i - runStart));
    i += skip[0];
    j += skip[1];
  }
}
