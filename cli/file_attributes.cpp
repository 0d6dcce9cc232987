// Copying a file's attributes onto its replacement. On Linux the access ACL
// is the extended attribute system.posix_acl_access, so copying every
// attribute the process can see copies the ACL too; attributes the new file
// got by itself (an ACL inherited from the folder) are removed, so that it
// ends up with exactly the original's.
#include "file_attributes.h"

#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string_view>

#include "failure.h"

namespace orlimo::cli {
namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& name, int error)
{
    throw Cannot(ExitStatus::kCannotCreate, "keep the " + what + " of", name, error);
}

// Runs a listxattr- or getxattr-style call for the size, then for the data.
// Returns the data; `error` is 0, or the errno of the failure.
template <typename Call>
[[nodiscard]] std::string Fetch(Call call, int& error)
{
    for (int attempt = 0; attempt < 4; ++attempt) {  // the size may change in between
        const ssize_t size = call(nullptr, 0);
        if (size < 0) break;
        std::string data(static_cast<std::size_t>(size), '\0');
        const ssize_t got = call(data.data(), data.size());
        if (got >= 0) {
            data.resize(static_cast<std::size_t>(got));
            error = 0;
            return data;
        }
        if (errno != ERANGE) break;
    }
    error = errno;
    return {};
}

// The names in a listxattr list, each followed by a NUL, calling visit(name).
template <typename Visit>
void ForEachName(std::string_view list, Visit visit)
{
    while (!list.empty()) {
        const std::size_t end = list.find('\0');
        visit(std::string(list.substr(0, end)));
        list.remove_prefix(end == std::string_view::npos ? list.size() : end + 1);
    }
}

[[nodiscard]] bool Lists(std::string_view list, const std::string& wanted)
{
    bool found = false;
    ForEachName(list, [&](const std::string& name) { found = found || name == wanted; });
    return found;
}

// A file system without extended attributes has none to list.
[[nodiscard]] std::string ListOrFail(auto call, const std::string& name)
{
    int error = 0;
    std::string list = Fetch(call, error);
    if (error != 0 && error != ENOTSUP) Fail("extended attributes", name, error);
    return list;
}

void CopyExtendedAttributes(int fd, const std::string& original, bool ownerKept,
                            const std::string& name)
{
    const std::string wanted = ListOrFail(
        [&](char* data, std::size_t size) { return ::listxattr(original.c_str(), data, size); },
        name);
    ForEachName(wanted, [&](const std::string& attribute) {
        // File capabilities are a privilege like the set-ID bits.
        if (!ownerKept && attribute == "security.capability") return;
        int error = 0;
        const std::string value = Fetch(
            [&](char* data, std::size_t size) {
                return ::getxattr(original.c_str(), attribute.c_str(), data, size);
            },
            error);
        if (error != 0) Fail("attribute " + attribute, name, error);
        const std::string current =
            Fetch([&](char* data,
                      std::size_t size) { return ::fgetxattr(fd, attribute.c_str(), data, size); },
                  error);
        if (error == 0 && current == value) return;  // inherited as it was, e.g. a label
        if (::fsetxattr(fd, attribute.c_str(), value.data(), value.size(), 0) != 0) {
            Fail("attribute " + attribute, name, errno);
        }
    });
    const std::string own = ListOrFail(
        [&](char* data, std::size_t size) { return ::flistxattr(fd, data, size); }, name);
    ForEachName(own, [&](const std::string& attribute) {
        if (!Lists(wanted, attribute) && ::fremovexattr(fd, attribute.c_str()) != 0) {
            Fail("attribute " + attribute, name, errno);
        }
    });
}

}  // namespace

void CopyAttributes(int fd, const std::string& original, const struct stat& status,
                    const std::string& name)
{
    struct stat own {};
    if (::fstat(fd, &own) != 0) Fail("owner", name, errno);
    bool ownerKept = own.st_uid == status.st_uid && own.st_gid == status.st_gid;
    if (!ownerKept) {
        // chown comes first: it clears the set-ID bits and file capabilities.
        ownerKept = ::fchown(fd, status.st_uid, status.st_gid) == 0;
        if (!ownerKept) (void)!::fchown(fd, static_cast<uid_t>(-1), status.st_gid);
    }
    CopyExtendedAttributes(fd, original, ownerKept, name);
    // Last, as setting an ACL may clear the set-group-ID bit; on a file with
    // an ACL the group bits are its mask, which they were on the original.
    mode_t mode = status.st_mode & 07777;
    if (!ownerKept) mode &= static_cast<mode_t>(~(S_ISUID | S_ISGID));
    if (::fchmod(fd, mode) != 0) Fail("permissions", name, errno);
}

void SetNewFileMode(int fd, const std::string& name)
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    if (::fchmod(fd, static_cast<mode_t>(0666 & ~mask)) != 0) {
        throw Cannot(ExitStatus::kCannotCreate, "set the permissions of", name, errno);
    }
}

}  // namespace orlimo::cli
