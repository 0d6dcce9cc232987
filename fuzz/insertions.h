// Checks that one text is another with nothing but whole literals inserted.
#pragma once

#include <initializer_list>
#include <string_view>
#include <vector>

// True when `after` can be made from `before` by inserting copies of the
// given literals at any positions. A search over (position in before,
// position in after); ambiguous alignments are all followed.
inline bool IsInsertionsOnly(std::string_view before, std::string_view after,
                             std::initializer_list<std::string_view> literals)
{
    if (after.size() < before.size()) return false;
    const std::size_t inserted = after.size() - before.size();
    // reached[j] holds the inserted-byte offsets d with (j - d, j) reachable.
    std::vector<std::vector<std::size_t>> reached(after.size() + 1);
    const auto reach = [&](std::size_t j, std::size_t d) {
        if (d > inserted) return;
        for (std::size_t seen : reached[j])
            if (seen == d) return;
        reached[j].push_back(d);
    };
    reach(0, 0);
    for (std::size_t j = 0; j < after.size(); ++j) {
        for (std::size_t k = 0; k < reached[j].size(); ++k) {
            const std::size_t d = reached[j][k];
            const std::size_t i = j - d;
            if (i < before.size() && before[i] == after[j]) reach(j + 1, d);
            for (std::string_view literal : literals) {
                if (after.substr(j, literal.size()) == literal) reach(j + literal.size(), d + literal.size());
            }
        }
    }
    for (std::size_t d : reached[after.size()])
        if (d == inserted) return true;
    return false;
}
