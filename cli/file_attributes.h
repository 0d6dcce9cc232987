// What a replaced file keeps: its owner and group where the process may give
// them, its permission bits, and its extended attributes, the access ACL
// among them.
#pragma once

#include <sys/stat.h>

#include <string>

namespace orlimo::cli {

// Gives the file open as `fd` the attributes of the file at `original`, whose
// status is `status` (`name` is how messages call it). The set-user-ID and
// set-group-ID bits stay only with the owner and the group, as a plain write
// by another user would clear them. An attribute that cannot be copied fails
// the run (status 73) rather than silently widen or lose the file's rights.
void CopyAttributes(int fd, const std::string& original, const struct stat& status,
                    const std::string& name);

// Gives a new file the mode a file created now would get: 0666 less the umask.
void SetNewFileMode(int fd, const std::string& name);

}  // namespace orlimo::cli
