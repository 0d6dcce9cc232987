// Skin texts for the benchmark: a small and a large realistic skin, texts
// packed with pieces for each transform, and inputs built to defeat naive
// forward and backward tag searches.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace bench {

struct InputKind {
    std::string name;
    std::string (*make)(std::size_t bytes);  // about `bytes` long
    bool scaled;                             // run at every size, not just one
};

// The bundled example skin when the source tree has one, else a generated
// skin of the same shape (`generated` tells which).
[[nodiscard]] std::string ExampleSkin(bool& generated);

// Every kind, in table order.
[[nodiscard]] const std::vector<InputKind>& InputKinds();

}  // namespace bench
