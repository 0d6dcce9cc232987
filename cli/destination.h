// The result's destination: standard output, or the file at a path. It is
// checked before the command runs (a replaced file's temporary file created
// then), so that an unwritable destination is reported before any work; the
// finished text goes straight from the core's buffer to it. Every failure
// throws a Failure that names the destination and the system's reason.
#pragma once

#include <sys/stat.h>

#include <optional>
#include <string>
#include <string_view>

#include "temp_file.h"

namespace orlimo::cli {

class Destination {
public:
    // A regular file (or one not there yet) gets a temporary file beside it
    // now; anything else is checked and written at Commit.
    explicit Destination(const std::optional<std::string>& path);

    // Writes all of `bytes`. A regular file is replaced only once the whole
    // text and the file's attributes are in place, so that it is either
    // complete or as it was.
    void Commit(std::string_view bytes);

private:
    enum class Kind { kDescriptor, kDevice, kReplace };

    std::string m_name;  // for messages
    Kind m_kind = Kind::kDescriptor;
    int m_fd = -1;                          // kDescriptor: one of the process's own
    std::string m_path;                     // kDevice, kReplace: links followed
    std::optional<struct stat> m_replaced;  // kReplace: none for a new file
    std::optional<TempFile> m_temp;         // kReplace
};

// Writes all of `bytes` to `fd`, retrying short writes. Returns 0, or the
// errno of the failure.
[[nodiscard]] int WriteAll(int fd, std::string_view bytes) noexcept;

}  // namespace orlimo::cli
