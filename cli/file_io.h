// The skin's source and the result's destination. Both are checked before the
// command runs (the input opened, a replaced file's temporary file created),
// so that a missing input or an unwritable destination is reported before any
// work; the text itself goes from the input straight into
// the core's buffer and from there straight to the destination. Every
// failure throws a Failure that names the file and the system's reason.
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "temp_file.h"
#include "unique_fd.h"

namespace orlimo::cli {

// The input: the file at a path, or standard input.
class InputFile {
public:
    // Opens the file (status 66 when it cannot be). A regular file longer
    // than the core takes (CSkinPatchCore::kMaxTextLength) is refused at once
    // (status 65).
    explicit InputFile(const std::optional<std::string>& path);

    // How the input is named in messages: 'path', or standard input.
    [[nodiscard]] const std::string& Name() const noexcept { return m_name; }

    // The length of the text. A pipe or a terminal is read to its end first,
    // in blocks, and refused (status 65) as soon as it passes the limit.
    [[nodiscard]] std::size_t Length();

    // Puts the Length() bytes of the text into dest and closes the input.
    void ReadInto(char* dest);

private:
    void ReadStream();

    std::string m_name;
    UniqueFd m_opened;  // the file at the path; standard input is not ours to close
    int m_fd = -1;
    std::optional<std::size_t> m_length;            // a regular file's from the start
    bool m_stream = false;                          // read in blocks by Length
    std::vector<std::unique_ptr<char[]>> m_blocks;  // a stream's text, kStreamBlock bytes each
};

// The output: standard output, or the file at a path.
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
