// Reading the whole skin into memory before anything else happens, so that a
// failure later on leaves every file as it was.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

#include "failure.h"
#include "file_io.h"
#include "unique_fd.h"

namespace orlimo::cli {
namespace {

[[nodiscard]] std::string TooLarge(const std::string& name, std::size_t limit)
{
    return name + " is larger than " + std::to_string(limit >> 20) + " MiB, the most orlimo takes";
}

// Reads `fd` to its end, at most limit + 1 bytes: one byte more than allowed
// is enough to refuse the input.
[[nodiscard]] std::string ReadToEnd(int fd, const std::string& name, std::size_t limit,
                                    std::size_t expectedSize)
{
    std::string data;
    data.reserve(std::min(expectedSize, limit) + 1);
    std::array<char, 64 * 1024> chunk;
    while (data.size() <= limit) {
        const std::size_t wanted = std::min(chunk.size(), limit + 1 - data.size());
        const ssize_t got = ::read(fd, chunk.data(), wanted);
        if (got == 0) return data;
        if (got < 0) {
            if (errno == EINTR) continue;
            throw Failure(ExitStatus::kIoError,
                          "cannot read " + name + ": " + std::strerror(errno));
        }
        data.append(chunk.data(), static_cast<std::size_t>(got));
    }
    throw Failure(ExitStatus::kDataError, TooLarge(name, limit));
}

}  // namespace

std::string InputName(const std::optional<std::string>& path)
{
    return path ? "'" + *path + "'" : "standard input";
}

std::string ReadInput(const std::optional<std::string>& path, std::size_t limit)
{
    const std::string name = InputName(path);
    UniqueFd opened;
    if (path) {
        opened = UniqueFd(::open(path->c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
        if (!opened.Valid()) {
            throw Failure(ExitStatus::kNoInput,
                          "cannot open " + name + ": " + std::strerror(errno));
        }
    }
    const int fd = path ? opened.Get() : STDIN_FILENO;

    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        throw Failure(ExitStatus::kNoInput, "cannot open " + name + ": " + std::strerror(errno));
    }
    if (S_ISDIR(info.st_mode)) {
        throw Failure(ExitStatus::kNoInput, "cannot read " + name + ": " + std::strerror(EISDIR));
    }
    // A regular file's size is known: refuse a large one before reading it,
    // and read the rest into one block. (Standard input may have been read
    // from already, so its size only guides the block.)
    std::size_t expectedSize = 0;
    if (S_ISREG(info.st_mode)) {
        expectedSize = static_cast<std::size_t>(info.st_size);
        if (path && expectedSize > limit) {
            throw Failure(ExitStatus::kDataError, TooLarge(name, limit));
        }
    }
    return ReadToEnd(fd, name, limit, expectedSize);
}

}  // namespace orlimo::cli
