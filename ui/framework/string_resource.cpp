#include "string_resource.h"

namespace orlimo::ui {

HINSTANCE ResourceModule() noexcept
{
    return ::GetModuleHandleW(nullptr);
}

std::wstring_view LoadStringView(UINT id) noexcept
{
    // With a zero buffer size LoadStringW hands out a pointer to the resource
    // itself; the string is counted, not NUL-terminated.
    const wchar_t* text = nullptr;
    const int length = ::LoadStringW(ResourceModule(), id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || text == nullptr) return {};
    return {text, static_cast<std::size_t>(length)};
}

}  // namespace orlimo::ui
