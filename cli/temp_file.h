// The temporary file a replaced destination is written to. It never outlives
// the run: it is removed when the run fails, and on the signals sent to end a
// process (SIGINT, SIGTERM, SIGHUP and the like; SIGKILL or a crash can leave
// it).
#pragma once

#include <string>

#include "unique_fd.h"

namespace orlimo::cli {

class TempFile {
public:
    // Creates ".orlimo-XXXXXX" in `folder` (status 73 when it cannot).
    explicit TempFile(const std::string& folder);
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile();

    [[nodiscard]] int Fd() const noexcept { return m_fd.Get(); }

    // Makes the bytes durable, then renames the file to `destination`
    // (`name` is how messages call it).
    void RenameTo(const std::string& destination, const std::string& name);

private:
    std::string m_path;  // stays put while a signal handler may read it
    UniqueFd m_fd;
    bool m_renamed = false;
};

}  // namespace orlimo::cli
