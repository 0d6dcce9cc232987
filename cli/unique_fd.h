// Owns a POSIX file descriptor and closes it once.
#pragma once

#include <unistd.h>

#include <utility>

namespace orlimo::cli {

class UniqueFd {
public:
    UniqueFd() noexcept = default;
    explicit UniqueFd(int fd) noexcept : m_fd(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept
    {
        if (this != &other) {
            Reset();
            m_fd = std::exchange(other.m_fd, -1);
        }
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { Reset(); }

    [[nodiscard]] int Get() const noexcept { return m_fd; }
    [[nodiscard]] bool Valid() const noexcept { return m_fd >= 0; }

    // Closes now and returns close's result, for callers that must know
    // whether the last written data reached the file.
    [[nodiscard]] int Close() noexcept { return m_fd < 0 ? 0 : ::close(std::exchange(m_fd, -1)); }

private:
    void Reset() noexcept
    {
        if (m_fd >= 0) ::close(std::exchange(m_fd, -1));
    }

    int m_fd = -1;
};

}  // namespace orlimo::cli
