// The core compiled to WebAssembly for the web page: one call runs Apply or
// Remove on a skin's bytes, and the new bytes and the Korean report of the
// last run are read back from memory. The command runs in full (load,
// transforms, store, report), as in the dialog and on the command line.
//
// Failures come back as a status, never as a trap: the page tells the user
// and keeps its text.
#include <emscripten/emscripten.h>

#include <cstdint>
#include <new>
#include <stdexcept>
#include <string>

#include "string_host.h"
#include "text_search.h"
#include "version.h"

namespace {

// Kept in step with web/src/core.js.
enum Status : int32_t { kOk = 0, kNulByte = 1, kTooLong = 2, kOutOfMemory = 3 };

struct LastRun {
    std::string result;
    std::string report;
    int32_t nulOffset = -1;
};
LastRun g_last;

}  // namespace

extern "C" {

// Runs Remove (apply == 0) or Apply on the `length` bytes at `bytes`.
EMSCRIPTEN_KEEPALIVE int32_t orlimo_run(int32_t apply, const char* bytes, int32_t length)
{
    g_last = LastRun{};
    try {
        std::string input(bytes, static_cast<std::size_t>(length));
        if (const int32_t nul = orlimo::FindNulByte(input); nul >= 0) {
            g_last.nulOffset = nul;
            return kNulByte;
        }
        StringHost host(std::move(input));
        if (apply != 0) {
            host.OnApplyBBCode();
        } else {
            host.OnRemoveBBCode();
        }
        g_last.result.assign(host.Result());
        g_last.report.assign(host.Report());
        return kOk;
    } catch (const std::length_error&) {
        g_last = LastRun{};
        return kTooLong;
    } catch (const std::bad_alloc&) {
        g_last = LastRun{};
        return kOutOfMemory;
    }
}

EMSCRIPTEN_KEEPALIVE const char* orlimo_result_data() { return g_last.result.data(); }
EMSCRIPTEN_KEEPALIVE int32_t orlimo_result_size() { return static_cast<int32_t>(g_last.result.size()); }
EMSCRIPTEN_KEEPALIVE const char* orlimo_report_data() { return g_last.report.data(); }
EMSCRIPTEN_KEEPALIVE int32_t orlimo_report_size() { return static_cast<int32_t>(g_last.report.size()); }
EMSCRIPTEN_KEEPALIVE int32_t orlimo_nul_offset() { return g_last.nulOffset; }
// The longest text the core takes, in bytes.
EMSCRIPTEN_KEEPALIVE int32_t orlimo_max_length() { return CSkinPatchCore::kMaxTextLength; }
EMSCRIPTEN_KEEPALIVE const char* orlimo_version() { return ORLIMO_VERSION_STRING; }

}  // extern "C"
