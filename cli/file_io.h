// Reading the skin and writing the result. Every failure throws a Failure
// that names the file and the system's reason.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace orlimo::cli {

// How the input is named in messages: 'path', or standard input.
[[nodiscard]] std::string InputName(const std::optional<std::string>& path);

// The whole content of the file at `path`, or of standard input. More than
// `limit` bytes is a data error (status 65), checked before reading where the
// size is known.
[[nodiscard]] std::string ReadInput(const std::optional<std::string>& path, std::size_t limit);

// Writes `bytes` to the file at `path`, or to standard output. A regular file
// (or one that does not exist yet) is replaced by renaming a temporary file
// over it, so that it is never left half-written; anything else (a pipe, a
// terminal, /dev/null) is written directly.
void WriteOutput(const std::optional<std::string>& path, std::string_view bytes);

// Writes all of `bytes` to `fd`, retrying short writes. Returns 0, or the
// errno of the failure.
[[nodiscard]] int WriteAll(int fd, std::string_view bytes) noexcept;

}  // namespace orlimo::cli
