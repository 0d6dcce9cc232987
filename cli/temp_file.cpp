// The temporary file and its removal on a fatal signal. The handler only
// unlinks a path prepared in advance and dies of the same signal again, both
// async-signal-safe; the signals stay blocked while the file is created, so
// that none can arrive between its creation and the handler knowing it.
#include "temp_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>

#include "failure.h"

namespace orlimo::cli {
namespace {

// The signals sent to end a process: by a user, a terminal or a time limit.
// SIGPIPE and SIGXFSZ are ignored instead (main), so that they become write
// errors; a crash's signals are left alone.
constexpr std::array kFatalSignals = {SIGHUP,  SIGINT,  SIGQUIT, SIGTERM,
                                      SIGALRM, SIGUSR1, SIGUSR2, SIGXCPU};

// The temporary file to remove on a signal, or null. Only one exists at a time.
std::atomic<const char*> g_removeOnSignal{nullptr};
static_assert(std::atomic<const char*>::is_always_lock_free);

extern "C" void RemoveAndDie(int signal)
{
    if (const char* path = g_removeOnSignal.load()) ::unlink(path);
    // The handler was reset to the default on entry: this ends the process
    // once the handler returns.
    ::raise(signal);
}

[[nodiscard]] sigset_t FatalSignalSet() noexcept
{
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : kFatalSignals) sigaddset(&set, signal);
    return set;
}

// Installed once, before the first temporary file. A signal the caller
// ignores (nohup) stays ignored.
void InstallHandlers() noexcept
{
    static bool installed = false;
    if (installed) return;
    installed = true;
    struct sigaction action {};
    action.sa_handler = RemoveAndDie;
    action.sa_mask = FatalSignalSet();
    action.sa_flags = static_cast<int>(SA_RESETHAND);
    for (const int signal : kFatalSignals) {
        struct sigaction previous {};
        if (::sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler != SIG_IGN) {
            ::sigaction(signal, &action, nullptr);
        }
    }
}

// Blocks the fatal signals for its lifetime.
class FatalSignalsBlocked {
public:
    FatalSignalsBlocked() noexcept
    {
        const sigset_t set = FatalSignalSet();
        ::sigprocmask(SIG_BLOCK, &set, &m_previous);
    }
    FatalSignalsBlocked(const FatalSignalsBlocked&) = delete;
    FatalSignalsBlocked& operator=(const FatalSignalsBlocked&) = delete;
    ~FatalSignalsBlocked() { ::sigprocmask(SIG_SETMASK, &m_previous, nullptr); }

private:
    sigset_t m_previous{};
};

}  // namespace

TempFile::TempFile(const std::string& folder) : m_path(folder + "/.orlimo-XXXXXX")
{
    InstallHandlers();
    const FatalSignalsBlocked blocked;
    m_fd = UniqueFd(::mkostemp(m_path.data(), O_CLOEXEC));
    if (!m_fd.Valid()) {
        throw Cannot(ExitStatus::kCannotCreate, "create a temporary file in", "'" + folder + "'",
                     errno);
    }
    g_removeOnSignal.store(m_path.c_str());
}

TempFile::~TempFile()
{
    // Unlink first: a signal in between then finds the path gone, harmlessly.
    if (!m_renamed) ::unlink(m_path.c_str());
    g_removeOnSignal.store(nullptr);
}

void TempFile::RenameTo(const std::string& destination, const std::string& name)
{
    if (::fsync(m_fd.Get()) != 0) throw Cannot(ExitStatus::kIoError, "write", name, errno);
    if (m_fd.Close() != 0) throw Cannot(ExitStatus::kIoError, "write", name, errno);
    if (::rename(m_path.c_str(), destination.c_str()) != 0) {
        throw Cannot(ExitStatus::kCannotCreate, "replace", name, errno);
    }
    m_renamed = true;
    g_removeOnSignal.store(nullptr);
}

}  // namespace orlimo::cli
