#include "command_line_host.h"

#include <cstdio>
#include <stdexcept>

#include "failure.h"
#include "text_search.h"

namespace {

using orlimo::cli::ExitStatus;
using orlimo::cli::Failure;

// The core takes its text NUL-terminated and would silently cut it there.
void RefuseNulBytes(std::string_view text, const std::string& name)
{
    const int32_t nul = orlimo::FindNulByte(text);
    if (nul < 0) return;
    if (text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF")) {
        throw Failure(ExitStatus::kDataError,
                      name +
                          " is UTF-16 (it starts with a byte-order mark); save it as UTF-8 "
                          "or code page 949 first");
    }
    throw Failure(ExitStatus::kDataError, name + " holds a NUL byte at byte offset " +
                                              std::to_string(nul) + "; a skin text has none");
}

}  // namespace

int32_t CommandLineHost::HostTextLength()
{
    // At most kMaxTextLength: InputFile refuses a longer input.
    return static_cast<int32_t>(m_input.Length());
}

void CommandLineHost::HostGetText(char* dest, int32_t capacity)
{
    const std::size_t length = m_input.Length();
    if (capacity <= 0 || static_cast<std::size_t>(capacity) - 1 < length) {
        throw std::logic_error("the core's buffer is shorter than the input");
    }
    m_input.ReadInto(dest);
    dest[length] = '\0';
    RefuseNulBytes(std::string_view(dest, length), m_input.Name());
}

void CommandLineHost::HostSetText(std::string_view text)
{
    m_destination.Commit(text);
}

// Called after the store: it must not fail, so it allocates nothing. A
// failure to print has nowhere to be reported.
void CommandLineHost::HostShowMessage(std::string_view utf8)
{
    if (!m_quiet) std::fprintf(stderr, "%.*s\n", static_cast<int>(utf8.size()), utf8.data());
}
