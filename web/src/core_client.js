// The page's side of the core's worker (web/src/core_worker.js), started
// from the page's own bytes through a blob URL: the one kind of worker the
// page's Content-Security-Policy admits. Requests are answered in order. A
// worker that dies fails the requests it held and is started again for the
// next. One that has run on a large skin is stopped once it is idle and
// started again when needed: WebAssembly memory never shrinks.
import workerSource from 'orlimo-core-worker';

// A run on more bytes than this leaves the worker's memory to the browser.
const kKeepWorkerUpTo = 16 << 20;

const url = URL.createObjectURL(new Blob([workerSource], {type: 'text/javascript'}));
let worker = null;
let waiting = [];  // {resolve, reject} of each request sent, in order
let announce;
// {version, maxLength} of the core, or a rejection when it cannot run here.
export const coreInfo = new Promise((resolve, reject) => { announce = {resolve, reject}; });

function stop(error) {
  worker?.terminate();
  worker = null;
  for (const request of waiting) request.reject(error);
  waiting = [];
}

function start() {
  worker = new Worker(url);
  worker.onmessage = ({data}) => {
    if (!('ready' in data)) waiting.shift().resolve(data);
    else if (data.ready) announce.resolve(data.ready);
    else announce.reject(new Error('the core cannot run in this browser'));
  };
  worker.onerror = (event) => {
    event.preventDefault();
    announce.reject(new Error('the core\'s worker failed to start'));
    stop(new Error(`the core's worker failed: ${event.message}`));
  };
}

// Runs a command in the worker: resolves with its reply (see core_worker.js);
// rejects when the worker dies.
export function runInWorker(request) {
  if (!worker) start();
  const reply = new Promise((resolve, reject) => waiting.push({resolve, reject}));
  worker.postMessage(request);
  if (request.bytes.length > kKeepWorkerUpTo) {
    return reply.finally(() => { if (!waiting.length) stop(new Error('stopped')); });
  }
  return reply;
}

start();
