// A host for fuzzing: keeps the text in a string and lets a fuzz target run
// the transforms step by step and check the buffer's invariants in between.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "skin_patch_core.h"

#define FUZZ_CHECK(condition)                                                          \
    do {                                                                               \
        if (!(condition)) {                                                            \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                              \
        }                                                                              \
    } while (0)

class FuzzHost : public CSkinPatchCore {
public:
    explicit FuzzHost(std::string_view initial) : text(initial) {}

    std::string text;
    std::string report;

    // The buffer holds exactly Text() and a NUL after it, and no NUL before.
    void CheckInvariants() const
    {
        FUZZ_CHECK(m_nTextLen >= 0);
        FUZZ_CHECK(m_pszText != nullptr);
        FUZZ_CHECK(m_pszText[static_cast<std::size_t>(m_nTextLen)] == '\0');
        FUZZ_CHECK(std::strlen(m_pszText.get()) == static_cast<std::size_t>(m_nTextLen));
    }

protected:
    int32_t HostTextLength() override { return static_cast<int32_t>(text.size()); }
    void HostGetText(char* dest, int32_t capacity) override
    {
        FUZZ_CHECK(static_cast<std::size_t>(capacity) == text.size() + 1);
        std::memcpy(dest, text.c_str(), text.size() + 1);
    }
    void HostSetText(std::string_view newText) override { text.assign(newText); }
    void HostShowMessage(std::string_view utf8) override { report.assign(utf8); }
};

// The fuzzer's bytes as a skin, or nothing when they hold a NUL: the front
// ends refuse such texts before any command runs.
inline bool AsSkinText(const uint8_t* data, std::size_t size, std::string_view& out)
{
    out = std::string_view(reinterpret_cast<const char*>(data), size);
    return out.find('\0') == std::string_view::npos;
}
