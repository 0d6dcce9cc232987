#include "report.h"

#include <initializer_list>
#include <string_view>

namespace orlimo {
namespace {

constexpr std::string_view kNothingDone = "한 일 없음";
constexpr std::string_view kAdded = "%d 개의 BBCode 관련 코드 추가";
constexpr std::string_view kRemovedAndAdded = "%d 개의 BBCode 관련 코드 제거, %d 개 추가";
constexpr std::string_view kRemoved = "%d 개의 BBCode 관련 코드 제거!";

// Replaces each "%d" of `pattern`, in order, with the next count in plain
// signed decimal.
[[nodiscard]] std::string Fill(std::string_view pattern, std::initializer_list<int32_t> counts)
{
    std::string out;
    auto next = counts.begin();
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern.compare(i, 2, "%d") == 0 && next != counts.end()) {
            out += std::to_string(*next++);
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

}  // namespace

std::string ApplyReport(int32_t removed, int32_t added)
{
    if (removed != 0) return Fill(kRemovedAndAdded, {removed, added});
    if (added != 0) return Fill(kAdded, {added});
    return std::string(kNothingDone);
}

std::string RemoveReport(int32_t removed)
{
    if (removed != 0) return Fill(kRemoved, {removed});
    return std::string(kNothingDone);
}

}  // namespace orlimo
