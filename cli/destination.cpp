// Writing the result. A regular destination is replaced atomically: the bytes
// go to a temporary file in the same folder, which takes the destination's
// attributes and is then renamed over it, so that a reader (or an interrupted
// run) never sees half a skin. Symbolic links are followed, so that the file
// they name is replaced (or created) and the links stay as they are. A
// destination that is one of the process's own open files (-o /dev/stdout,
// an appended log) is written through that descriptor, as standard output is.
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstring>
#include <memory>

#include "destination.h"

#include "failure.h"
#include "file_attributes.h"

namespace orlimo::cli {
namespace {

[[nodiscard]] std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// The file `path` names once symbolic links are followed, whether it exists
// or not: a dangling link names the file to create.
[[nodiscard]] std::string FollowLinks(std::string path, const std::string& name)
{
    constexpr int kMaxLinks = 40;  // as many as the kernel follows in one path
    for (int followed = 0;; ++followed) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
        if (followed == kMaxLinks) throw Cannot(ExitStatus::kCannotCreate, "write", name, ELOOP);
        std::string target(PATH_MAX, '\0');
        const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
        if (length < 0) throw Cannot(ExitStatus::kCannotCreate, "write", name, errno);
        if (static_cast<std::size_t>(length) >= target.size()) {
            throw Cannot(ExitStatus::kCannotCreate, "write", name, ENAMETOOLONG);
        }
        target.resize(static_cast<std::size_t>(length));
        path = target.starts_with('/') ? target : FolderOf(path) + "/" + target;
    }
}

// A descriptor of this process, open for writing, on the file `info`
// describes; or -1.
[[nodiscard]] int OwnDescriptorOn(const struct stat& info)
{
    struct CloseDir {
        void operator()(DIR* folder) const noexcept { ::closedir(folder); }
    };
    const std::unique_ptr<DIR, CloseDir> folder(::opendir("/proc/self/fd"));
    if (!folder) return -1;
    while (const dirent* entry = ::readdir(folder.get())) {
        const std::string_view digits = entry->d_name;
        int fd = -1;
        if (std::from_chars(digits.data(), digits.data() + digits.size(), fd).ec != std::errc{} ||
            fd == ::dirfd(folder.get())) {
            continue;
        }
        const int flags = ::fcntl(fd, F_GETFL);
        struct stat open {};
        if (flags >= 0 && (flags & O_ACCMODE) != O_RDONLY && ::fstat(fd, &open) == 0 &&
            open.st_dev == info.st_dev && open.st_ino == info.st_ino) {
            return fd;
        }
    }
    return -1;
}

}  // namespace

Destination::Destination(const std::optional<std::string>& path)
    : m_name(path ? "'" + *path + "'" : "standard output"), m_fd(STDOUT_FILENO)
{
    if (!path) return;
    struct stat existing {};
    const bool exists = ::stat(path->c_str(), &existing) == 0;
    if (!exists && errno != ENOENT) throw Cannot(ExitStatus::kCannotCreate, "write", m_name, errno);
    if (exists) {
        if (const int fd = OwnDescriptorOn(existing); fd >= 0) {
            m_fd = fd;
            return;
        }
        if (S_ISDIR(existing.st_mode))
            throw Cannot(ExitStatus::kCannotCreate, "write", m_name, EISDIR);
        if (!S_ISREG(existing.st_mode)) {  // a pipe or a device: replacing it would be wrong
            m_kind = Kind::kDevice;
            m_path = *path;
            return;
        }
        // A file its owner has made read-only stays as it is, although the
        // rename would get past its permission bits.
        if (::access(path->c_str(), W_OK) != 0) {
            throw Cannot(ExitStatus::kCannotCreate, "write", m_name, errno);
        }
        m_replaced = existing;
    }
    m_kind = Kind::kReplace;
    m_path = FollowLinks(*path, m_name);
    m_temp.emplace(FolderOf(m_path));
}

void Destination::Commit(std::string_view bytes)
{
    switch (m_kind) {
        case Kind::kDescriptor:
            if (const int error = WriteAll(m_fd, bytes)) {
                throw Cannot(ExitStatus::kIoError, "write", m_name, error);
            }
            return;
        case Kind::kDevice: {
            // Opened only now: a pipe's reader sees nothing of a failed run.
            UniqueFd fd(::open(m_path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY));
            if (!fd.Valid()) throw Cannot(ExitStatus::kCannotCreate, "write", m_name, errno);
            int error = WriteAll(fd.Get(), bytes);
            if (error == 0 && fd.Close() != 0) error = errno;
            if (error != 0) throw Cannot(ExitStatus::kIoError, "write", m_name, error);
            return;
        }
        case Kind::kReplace:
            if (const int error = WriteAll(m_temp->Fd(), bytes)) {
                throw Cannot(ExitStatus::kIoError, "write", m_name, error);
            }
            // After the bytes: a write by another user would clear set-ID bits.
            if (m_replaced) {
                CopyAttributes(m_temp->Fd(), m_path, *m_replaced, m_name);
            } else {
                SetNewFileMode(m_temp->Fd(), m_name);
            }
            m_temp->RenameTo(m_path, m_name);
            return;
    }
}

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

}  // namespace orlimo::cli
