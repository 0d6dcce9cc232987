// Work the main dialog refuses before it changes anything: the id of the
// string-table message that says why.
#pragma once

#include <stdexcept>

#include "win32.h"

namespace orlimo::ui {

class Refusal : public std::runtime_error {
public:
    explicit Refusal(UINT id) : std::runtime_error("refused"), messageId(id) {}
    UINT messageId;
};

}  // namespace orlimo::ui
