// Reading the skin. A regular file's size is known, so its bytes are read
// straight into the core's buffer; a pipe's or a terminal's (or those of a
// file whose size is wrong) are gathered in blocks first and handed over
// block by block, each freed once copied, so that the text is held about
// once at any moment.
#include "input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "failure.h"
#include "skin_patch_core.h"

namespace orlimo::cli {
namespace {

// Large enough to be mapped on its own (above malloc's mmap threshold), so
// that each block freed after its copy goes back to the system at once.
constexpr std::size_t kStreamBlock = std::size_t{256} << 10;

// The most the core takes, so that it never has to refuse a text.
constexpr std::size_t kLimit = CSkinPatchCore::kMaxTextLength;

// Refuses a text longer than the limit.
void CheckLength(std::size_t length, const std::string& name)
{
    if (length <= kLimit) return;
    throw Failure(ExitStatus::kDataError, name + " is larger than " + std::to_string(kLimit >> 20) +
                                              " MiB, the most orlimo takes");
}

// Reads up to `count` bytes, retrying short reads, until the end of the file.
// Returns how many it read.
[[nodiscard]] std::size_t ReadUpTo(int fd, char* dest, std::size_t count, const std::string& name)
{
    std::size_t done = 0;
    while (done < count) {
        const ssize_t got = ::read(fd, dest + done, count - done);
        if (got == 0) break;
        if (got < 0) {
            if (errno == EINTR) continue;
            throw Cannot(ExitStatus::kIoError, "read", name, errno);
        }
        done += static_cast<std::size_t>(got);
    }
    return done;
}

}  // namespace

InputFile::InputFile(const std::optional<std::string>& path)
    : m_name(path ? "'" + *path + "'" : "standard input")
{
    if (path) {
        m_opened = UniqueFd(::open(path->c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
        if (!m_opened.Valid()) throw Cannot(ExitStatus::kNoInput, "open", m_name, errno);
    }
    m_fd = path ? m_opened.Get() : STDIN_FILENO;

    struct stat info {};
    if (::fstat(m_fd, &info) != 0) throw Cannot(ExitStatus::kNoInput, "open", m_name, errno);
    if (S_ISDIR(info.st_mode)) throw Cannot(ExitStatus::kNoInput, "read", m_name, EISDIR);
    // A regular file holds its size from where it is read on (standard input
    // may have been read from already); ReadInto finds out if the size was
    // wrong. Files that show no size, as in /proc, are read as a stream.
    m_start = ::lseek(m_fd, 0, SEEK_CUR);
    if (S_ISREG(info.st_mode) && info.st_size > 0 && m_start >= 0) {
        const auto length = static_cast<std::size_t>(std::max<off_t>(info.st_size - m_start, 0));
        CheckLength(length, m_name);
        m_length = length;
    }
}

std::size_t InputFile::Length()
{
    if (!m_length) ReadStream();
    return *m_length;
}

void InputFile::ReadStream()
{
    m_stream = true;
    std::size_t total = 0;
    for (;;) {
        auto block = std::unique_ptr<char[]>(new char[kStreamBlock]);
        const std::size_t got = ReadUpTo(m_fd, block.get(), kStreamBlock, m_name);
        total += got;
        CheckLength(total, m_name);
        if (got > 0) m_blocks.push_back(std::move(block));
        if (got < kStreamBlock) break;
    }
    m_length = total;
}

void InputFile::ReadInto(char* dest)
{
    const std::size_t length = Length();
    if (!m_stream) {
        // One byte more than the size shows a file that holds more.
        char extra = 0;
        if (ReadUpTo(m_fd, dest, length, m_name) != length ||
            ReadUpTo(m_fd, &extra, 1, m_name) != 0) {
            throw SizeWasWrong{};
        }
    } else {
        std::size_t done = 0;
        for (std::unique_ptr<char[]>& block : m_blocks) {
            const std::size_t count = std::min(kStreamBlock, length - done);
            std::memcpy(dest + done, block.get(), count);
            done += count;
            block.reset();
        }
        m_blocks.clear();
    }
    (void)m_opened.Close();  // nothing was written through it
}

void InputFile::ReadAsStream()
{
    if (::lseek(m_fd, m_start, SEEK_SET) < 0)
        throw Cannot(ExitStatus::kIoError, "read", m_name, errno);
    ReadStream();
}

}  // namespace orlimo::cli
