// The search primitives across the boundary matrix: empty, not found, one
// byte short, exactly at the end, at the start, and the prefix-name quirks.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "skin_patch_core.h"

namespace {

using Core = CSkinPatchCore;

struct SearchCase {
    const char* label;
    std::string_view text;
    std::string_view needle;  // or tag name
    int32_t start;
    int32_t expected;
};

using Search = int32_t (*)(std::string_view, std::string_view, int32_t) noexcept;

template <std::size_t N>
void ExpectSearches(Search search, const SearchCase (&cases)[N])
{
    for (const SearchCase& c : cases) {
        EXPECT_EQ(search(c.text, c.needle, c.start), c.expected) << c.label;
    }
}

TEST(FindText, FindsFirstExactMatchAtOrAfterStart)
{
    const SearchCase cases[] = {
        {"empty text", "", "ab", 0, -1},
        {"text shorter than needle", "a", "ab", 0, -1},
        {"match at start", "abc", "ab", 0, 0},
        {"match ending at last byte", "xxab", "ab", 0, 2},
        {"start = length - n compares once", "xxab", "ab", 2, 2},
        {"start one past last candidate", "xxab", "ab", 3, -1},
        {"start beyond length", "xxab", "ab", 9, -1},
        {"first of two", "abab", "ab", 0, 0},
        {"second when start passes first", "abab", "ab", 1, 2},
        {"case differs", "xSCRIPT", "script", 0, -1},
        {"cut needle at end", "xxa", "ab", 0, -1},
    };
    ExpectSearches(Core::FindText, cases);
}

TEST(FindTextNoCase, FoldsAsciiLettersOnly)
{
    const SearchCase cases[] = {
        {"capital head tag", "<title></HEAD>", "</head", 0, 7},
        {"mixed case", "</HeAd>", "</head", 0, 0},
        {"header tag matches too", "</header></head>", "</head", 0, 0},
        {"capital script", "xSCRIPT", "script", 0, 1},
        {"false starts in both cases", "sSsSCRIPT", "script", 0, 3},
        {"start passes a match", "script SCRIPT", "script", 1, 7},
        {"first byte too near the end", "scrip Scrip", "script", 0, -1},
        {"ends at last byte", "ab</HEAD", "</head", 0, 2},
        {"start past last candidate", "ab</HEAD", "</head", 3, -1},
        {"one byte short", "</HEA", "</head", 0, -1},
        {"no folding of non-letters", "[##_", "{##_", 0, -1},
        {"high bytes never fold", "\xC1\xE1", "aa", 0, -1},
        {"empty text", "", "</head", 0, -1},
    };
    ExpectSearches(Core::FindTextNoCase, cases);
}

TEST(FindTagOpenBack, TestsOnlyTheNearestTag)
{
    const SearchCase cases[] = {
        {"start on the <", "ab<p>x", "p", 2, 2},
        {"nearest tag is p", "<p>hello", "p", 7, 0},
        {"capital P", "<P class=x>hi", "p", 12, 0},
        {"pre matches p", "<pre>hi", "p", 6, 0},
        {"param matches p", "<param>hi", "p", 8, 0},
        {"closing tag never matches", "<p>a</p>b", "p", 8, -1},
        {"nearest is other name", "<p>a<b>x", "p", 7, -1},
        {"no < at all", "hello", "p", 4, -1},
        {"start -1", "<p>", "p", -1, -1},
        {"name cut by the end", "xx<scr", "script", 5, -1},
        {"name ending at the end", "xx<script", "script", 8, 2},
        {"byte at start is tested first", "<p><b", "p", 3, -1},
    };
    ExpectSearches(Core::FindTagOpenBack, cases);
}

TEST(FindTagCloseFwd, FirstTagAfterStartDecidesAlone)
{
    const SearchCase cases[] = {
        {"plain close", "x</p>y", "p", 0, 5},
        {"five-byte text", "x</p>", "p", 0, 5},
        {"capitals, blanks and CR LF before >", "x</P \r\n>y", "p", 0, 8},
        {"pre counts as p", "x</pre>", "p", 0, 7},
        {"first tag is an opening tag", "x<b></p>", "p", 0, -1},
        {"closes another tag first", "x</b></p>", "p", 0, -1},
        {"no > after the name", "x</p", "p", 0, -1},
        {"< in the last three bytes", "xx</p", "p", 0, -1},
        {"< just fits", "xx</p>", "p", 0, 6},
        {"start past last candidate", "x</p>", "p", 2, -1},
        {"letters before the >", "</scriptx >", "script", 0, 11},
        {"empty text", "", "p", 0, -1},
        {"script close, any case", ";</SCRIPT>\r\n", "script", 0, 10},
    };
    ExpectSearches(Core::FindTagCloseFwd, cases);
}

TEST(MeasureLineTail, CountsBlanksAndOneCrLf)
{
    struct Case {
        std::string_view text;
        int32_t start;
        int32_t expected;
    };
    const Case cases[] = {
        {"  \r\nx", 0, 4},     // two blanks and CR LF
        {"\t x", 0, 2},        // blanks without a line end
        {"\nx", 0, 0},         // a lone LF is no line end
        {" \r", 0, 1},         // a CR that ends the text
        {"\r\n", 0, 2},        // CR LF ending the text
        {"ab", 2, 0},          // start at length
        {"ab", 7, 0},          // start beyond length
        {"a \r\n\r\n", 1, 3},  // only one CR LF
        {"\r\r\n", 0, 0},      // lone CR before CR LF
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CSkinPatchCore::MeasureLineTail(c.text, c.start), c.expected)
            << testing::PrintToString(std::string(c.text)) << " from " << c.start;
    }
}

}  // namespace
