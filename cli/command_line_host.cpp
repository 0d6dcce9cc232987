#include "command_line_host.h"

#include <algorithm>
#include <cstring>

int32_t CCommandLineHost::HostTextLength()
{
    // A longer input is reported as just too long, so that the core refuses it.
    constexpr std::size_t kTooLong = std::size_t{kMaxTextLength} + 1;
    return static_cast<int32_t>(std::min(m_strInput.size(), kTooLong));
}

void CCommandLineHost::HostGetText(char* dest, int32_t capacity)
{
    if (capacity <= 0) return;
    const std::size_t count = std::min(m_strInput.size(), static_cast<std::size_t>(capacity) - 1);
    std::memcpy(dest, m_strInput.data(), count);
    dest[count] = '\0';
    // The core works on its own copy from here on; letting ours go keeps the
    // peak memory of a large skin one text lower.
    std::string().swap(m_strInput);
}

void CCommandLineHost::HostSetText(std::string_view text)
{
    m_strResult.assign(text);
}

void CCommandLineHost::HostShowMessage(std::string_view utf8)
{
    m_strReport.assign(utf8);
}
