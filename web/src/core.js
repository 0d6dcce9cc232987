// The Orlimo core, compiled to WebAssembly (web/orlimo_wasm.cpp): runs Apply
// or Remove on a skin's bytes and hands back the new bytes and the core's own
// Korean report. Used by the page and, under node, by the comparison with the
// native build.

// Kept in step with the status codes of web/orlimo_wasm.cpp.
export const Status = Object.freeze({ok: 0, nulByte: 1, tooLong: 2, outOfMemory: 3});

// `createModule` is the Emscripten factory, `wasmBinary` the module's bytes.
export async function loadCore(createModule, wasmBinary) {
  const m = await createModule({wasmBinary});
  const utf8 = new TextDecoder();
  const bytesAt = (data, size) => m.HEAPU8.slice(data, data + size);
  const cString = (at) => utf8.decode(m.HEAPU8.subarray(at, m.HEAPU8.indexOf(0, at)));

  return {
    maxLength: m._orlimo_max_length(),
    version: cString(m._orlimo_version()),

    // Returns {status, bytes, report} on success, {status, nulOffset} when
    // the text holds a NUL byte, and {status} for the other failures.
    run(apply, input) {
      if (input.length > this.maxLength) return {status: Status.tooLong};
      const at = m._malloc(Math.max(input.length, 1));
      if (at === 0) return {status: Status.outOfMemory};
      let status;
      try {
        m.HEAPU8.set(input, at);
        status = m._orlimo_run(apply ? 1 : 0, at, input.length);
      } finally {
        m._free(at);
      }
      if (status === Status.nulByte) return {status, nulOffset: m._orlimo_nul_offset()};
      if (status !== Status.ok) return {status};
      return {
        status,
        bytes: bytesAt(m._orlimo_result_data(), m._orlimo_result_size()),
        report: utf8.decode(bytesAt(m._orlimo_report_data(), m._orlimo_report_size())),
      };
    },
  };
}
