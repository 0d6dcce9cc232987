// The page's messages. Where the page and the Windows dialog mean the same
// thing, they say it in the same words (the dialog's string table is in
// res/orlimo.rc); the page adds the file's name and what to do next.
import {Encoding} from './encoding.js';

export const kTextKept = '텍스트는 바뀌지 않았습니다.';
const kOpenFirst = '먼저 skin.html 파일을 열거나 스킨을 붙여 넣으십시오.';

const kMiB = 1 << 20;
// A size in MiB with one decimal, rounded up unless it is whole, so that a
// file over a limit never reads as the limit.
export const sizeText = (bytes) =>
  (bytes % kMiB === 0 ? `${bytes / kMiB} MiB` : `${Math.ceil((bytes / kMiB) * 10) / 10} MiB`);

// The refusals of a file, each followed by kTextKept (a function where the
// words depend on the file).
export const Refusal = Object.freeze({
  oneFile: '파일은 한 번에 하나만 끌어다 놓으십시오.',
  folder: '폴더는 열 수 없습니다. skin.html 파일을 끌어다 놓으십시오.',
  unreadable: '파일을 읽을 수 없습니다.',
  outOfMemory: '메모리가 부족하여 파일을 열지 못했습니다.',
  empty: '빈 파일은 열 수 없습니다.',
  tooLarge: ({size, limit, cliLimit}) => `파일이 너무 커서 열 수 없습니다 (${sizeText(size)}). ` +
    `이 페이지에서는 ${sizeText(limit)}까지 열 수 있습니다. ` +
    `더 큰 스킨은 명령줄의 orlimo로 처리하십시오(${sizeText(cliLimit)}까지).`,
  utf16: 'UTF-8이나 EUC-KR로 된 텍스트 파일만 열 수 있습니다. 이 파일은 UTF-16으로 저장되어 있습니다. ' +
    '메모장 같은 편집기에서 UTF-8로 다시 저장한 뒤 여십시오.',
  notText: ({nulOffset}) => 'UTF-8이나 EUC-KR로 된 텍스트 파일만 열 수 있습니다. ' +
    `이 파일은 텍스트가 아닙니다(바이트 오프셋 ${nulOffset}에 NUL 문자가 있습니다). skin.html 파일을 여십시오.`,
});

// The failures of a command, each followed by kTextKept.
export const CommandFailure = Object.freeze({
  nulByte: ({nulOffset}) => `바이트 오프셋 ${nulOffset}에 NUL 문자가 있어 명령을 실행하지 않았습니다.`,
  tooLong: ({limit, cliLimit}) => `텍스트가 너무 길어 처리할 수 없습니다. 이 페이지에서는 ${sizeText(limit)}까지 ` +
    `처리합니다. 더 큰 스킨은 명령줄의 orlimo로 처리하십시오(${sizeText(cliLimit)}까지).`,
  unpaired: '텍스트에 처리할 수 없는 문자가 있습니다.',
  outOfMemory: '메모리가 부족하여 명령을 마치지 못했습니다.',
  failed: '명령을 마치지 못했습니다.',
});

// What an empty editor answers to each button.
export const kNothingYet = Object.freeze({
  command: `스킨이 없습니다. ${kOpenFirst}`,
  copy: `복사할 텍스트가 없습니다. ${kOpenFirst} 클립보드는 바뀌지 않았습니다.`,
  save: `저장할 텍스트가 없습니다. ${kOpenFirst}`,
});

// The notice over a text that cannot be typed into (null when it can).
export function readOnlyNotice({encoding, unshown}) {
  const keep = 'BBCode 적용·해제와 저장은 원래 바이트에 그대로 하며, 결과는 Orlimo 프로그램과 바이트 하나까지 같습니다.';
  if (unshown) {
    const shownAs = encoding === Encoding.cp949 ? 'CP949(EUC-KR)' : 'UTF-8';
    return `UTF-8로도 CP949로도 다 읽을 수 없는 파일이라, 가장 많이 읽히는 ${shownAs}로 보여 줍니다. ` +
      `읽을 수 없는 ${unshown}바이트는 �로 보입니다. 바이트가 바뀌지 않도록 입력은 막아 두었습니다. ${keep}`;
  }
  if (encoding === Encoding.cp949) {
    return 'CP949(EUC-KR)로 된 파일입니다. 브라우저는 CP949로 저장할 수 없으므로, ' +
      `바이트가 바뀌지 않도록 입력은 막아 두었습니다. ${keep}`;
  }
  return null;
}
