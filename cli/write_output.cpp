// Writing the result. A regular destination is replaced atomically: the bytes
// go to a temporary file in the same folder, which is then renamed over the
// destination, so that a reader (or an interrupted run) never sees half a skin.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "failure.h"
#include "file_io.h"
#include "unique_fd.h"

namespace orlimo::cli {
namespace {

[[nodiscard]] std::string Reason(int error)
{
    return std::strerror(error);
}

[[nodiscard]] std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// The file a path names once symbolic links are followed, so that replacing
// it keeps the links.
[[nodiscard]] std::string ResolveLinks(const std::string& path)
{
    std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                         &std::free);
    if (!resolved) {
        throw Failure(ExitStatus::kCannotCreate, "cannot write '" + path + "': " + Reason(errno));
    }
    return resolved.get();
}

// The mode a file created now would get: 0666 less the umask.
[[nodiscard]] mode_t NewFileMode() noexcept
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
}

// A temporary file beside the destination; removed again unless it has been
// renamed over the destination.
class TempFile {
public:
    TempFile(const std::string& folder, const std::string& destination)
        : m_path(folder + "/.orlimo-XXXXXX"), m_destination(destination)
    {
        m_fd = UniqueFd(::mkstemp(m_path.data()));
        if (!m_fd.Valid()) {
            throw Failure(ExitStatus::kCannotCreate,
                          "cannot create a temporary file in '" + folder + "': " + Reason(errno));
        }
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile()
    {
        if (!m_renamed) ::unlink(m_path.c_str());
    }

    void Write(std::string_view bytes)
    {
        if (const int error = WriteAll(m_fd.Get(), bytes)) ThrowIo(error);
    }

    // Gives the file the destination's permission bits and, where allowed,
    // its owner (chown first: it may clear the set-id bits).
    void TakeAttributes(const struct stat* existing)
    {
        if (existing != nullptr) {
            if (existing->st_uid != ::geteuid() || existing->st_gid != ::getegid()) {
                (void)!::fchown(m_fd.Get(), existing->st_uid, existing->st_gid);
            }
        }
        const mode_t mode = existing != nullptr ? existing->st_mode & 07777 : NewFileMode();
        if (::fchmod(m_fd.Get(), mode) != 0) {
            throw Failure(ExitStatus::kCannotCreate, "cannot set the permissions of '" +
                                                         m_destination + "': " + Reason(errno));
        }
    }

    // Makes the bytes durable, then puts the file in the destination's place.
    void RenameOverDestination()
    {
        if (::fsync(m_fd.Get()) != 0) ThrowIo(errno);
        if (m_fd.Close() != 0) ThrowIo(errno);
        if (::rename(m_path.c_str(), m_destination.c_str()) != 0) {
            throw Failure(ExitStatus::kCannotCreate,
                          "cannot replace '" + m_destination + "': " + Reason(errno));
        }
        m_renamed = true;
    }

private:
    [[noreturn]] void ThrowIo(int error) const
    {
        throw Failure(ExitStatus::kIoError,
                      "cannot write '" + m_destination + "': " + Reason(error));
    }

    std::string m_path;
    std::string m_destination;
    UniqueFd m_fd;
    bool m_renamed = false;
};

void ReplaceFile(const std::string& destination, std::string_view bytes,
                 const struct stat* existing)
{
    TempFile temp(FolderOf(destination), destination);
    temp.Write(bytes);
    temp.TakeAttributes(existing);
    temp.RenameOverDestination();
}

// A pipe, a terminal or a device: replacing it would be wrong, so write into it.
void WriteDirectly(const std::string& path, std::string_view bytes)
{
    UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY));
    if (!fd.Valid()) {
        throw Failure(ExitStatus::kCannotCreate, "cannot write '" + path + "': " + Reason(errno));
    }
    int error = WriteAll(fd.Get(), bytes);
    if (error == 0 && fd.Close() != 0) error = errno;
    if (error != 0) {
        throw Failure(ExitStatus::kIoError, "cannot write '" + path + "': " + Reason(error));
    }
}

}  // namespace

int WriteAll(int fd, std::string_view bytes) noexcept
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

void WriteOutput(const std::optional<std::string>& path, std::string_view bytes)
{
    if (!path) {
        if (const int error = WriteAll(STDOUT_FILENO, bytes)) {
            throw Failure(ExitStatus::kIoError, "cannot write standard output: " + Reason(error));
        }
        return;
    }
    struct stat existing {};
    if (::stat(path->c_str(), &existing) != 0) {
        if (errno != ENOENT) {
            throw Failure(ExitStatus::kCannotCreate,
                          "cannot write '" + *path + "': " + Reason(errno));
        }
        ReplaceFile(*path, bytes, nullptr);  // a new file
        return;
    }
    if (!S_ISREG(existing.st_mode)) {
        WriteDirectly(*path, bytes);
        return;
    }
    // A file its owner has made read-only stays as it is, although the
    // rename would get past its permission bits.
    if (::access(path->c_str(), W_OK) != 0) {
        throw Failure(ExitStatus::kCannotCreate, "cannot write '" + *path + "': " + Reason(errno));
    }
    ReplaceFile(ResolveLinks(*path), bytes, &existing);
}

}  // namespace orlimo::cli
