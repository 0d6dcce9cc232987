// UTF-16 (the windows' text) <-> UTF-8 (the core's text), refusing anything
// that would not survive the round trip.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace orlimo::ui {

// The UTF-16 text holds a surrogate without its partner; it has no UTF-8 form.
class UnpairedSurrogateError : public std::runtime_error {
public:
    UnpairedSurrogateError() : std::runtime_error("unpaired UTF-16 surrogate") {}
};

// The bytes are not well-formed UTF-8.
class InvalidUtf8Error : public std::runtime_error {
public:
    InvalidUtf8Error() : std::runtime_error("invalid UTF-8") {}
};

// Throws UnpairedSurrogateError, std::length_error (over INT_MAX units) or
// std::bad_alloc.
[[nodiscard]] std::string ToUtf8(std::wstring_view utf16);
// Throws InvalidUtf8Error, std::length_error or std::bad_alloc.
[[nodiscard]] std::wstring ToUtf16(std::string_view utf8);

}  // namespace orlimo::ui
