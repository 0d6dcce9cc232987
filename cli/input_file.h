// The skin's source: the file at a path, or standard input. It is opened
// before the command runs, so that a missing input is reported before any
// work; its text goes straight into the core's buffer. Every failure throws
// a Failure that names the input and the system's reason.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "unique_fd.h"

namespace orlimo::cli {

class InputFile {
public:
    // Thrown by ReadInto when a regular file turns out to hold another number
    // of bytes than its size said (a file in /sys shows 4096, or the file
    // changed meanwhile). Nothing is lost: ReadAsStream, then run again.
    struct SizeWasWrong {};

    // Opens the file (status 66 when it cannot be). A regular file longer
    // than the core takes (CSkinPatchCore::kMaxTextLength) is refused at once
    // (status 65), before the destination is looked at.
    explicit InputFile(const std::optional<std::string>& path);

    // How the input is named in messages: 'path', or standard input.
    [[nodiscard]] const std::string& Name() const noexcept { return m_name; }

    // The length of the text. A pipe, a terminal or a file that shows no
    // size is read to its end first, in blocks, and refused (status 65) as
    // soon as it passes the limit.
    [[nodiscard]] std::size_t Length();

    // Puts the Length() bytes of the text into dest and closes the input.
    void ReadInto(char* dest);

    // After SizeWasWrong: the file is read again from where it began, as a
    // stream.
    void ReadAsStream();

private:
    void ReadStream();

    std::string m_name;
    UniqueFd m_opened;  // the file at the path; standard input is not ours to close
    int m_fd = -1;
    off_t m_start = 0;                              // where a regular file is read from
    std::optional<std::size_t> m_length;            // a regular file's from the start
    bool m_stream = false;                          // read in blocks by Length
    std::vector<std::unique_ptr<char[]>> m_blocks;  // a stream's text, kStreamBlock bytes each
};

}  // namespace orlimo::cli
