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
    std::string_view needle;
    int32_t start;
    int32_t expected;
};

// Names each table row in test output by its label.
void PrintTo(const SearchCase& c, std::ostream* os)
{
    *os << c.label;
}

class FindTextTable : public testing::TestWithParam<SearchCase> {};

TEST_P(FindTextTable, FindsFirstExactMatchAtOrAfterStart)
{
    const SearchCase& c = GetParam();
    EXPECT_EQ(Core::FindText(c.text, c.needle, c.start), c.expected) << c.label;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FindTextTable,
    testing::Values(SearchCase{"empty text", "", "ab", 0, -1},
                    SearchCase{"text shorter than needle", "a", "ab", 0, -1},
                    SearchCase{"match at start", "abc", "ab", 0, 0},
                    SearchCase{"match ending at last byte", "xxab", "ab", 0, 2},
                    SearchCase{"start = length - n compares once", "xxab", "ab", 2, 2},
                    SearchCase{"start one past last candidate", "xxab", "ab", 3, -1},
                    SearchCase{"start beyond length", "xxab", "ab", 9, -1},
                    SearchCase{"first of two", "abab", "ab", 0, 0},
                    SearchCase{"second when start passes first", "abab", "ab", 1, 2},
                    SearchCase{"case differs", "xSCRIPT", "script", 0, -1},
                    SearchCase{"cut needle at end", "xxa", "ab", 0, -1}));

class FindTextNoCaseTable : public testing::TestWithParam<SearchCase> {};

TEST_P(FindTextNoCaseTable, FoldsAsciiLettersOnly)
{
    const SearchCase& c = GetParam();
    EXPECT_EQ(Core::FindTextNoCase(c.text, c.needle, c.start), c.expected) << c.label;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FindTextNoCaseTable,
    testing::Values(SearchCase{"capital head tag", "<title></HEAD>", "</head", 0, 7},
                    SearchCase{"mixed case", "</HeAd>", "</head", 0, 0},
                    SearchCase{"header tag matches too", "</header></head>", "</head", 0, 0},
                    SearchCase{"capital script", "xSCRIPT", "script", 0, 1},
                    SearchCase{"false starts in both cases", "sSsSCRIPT", "script", 0, 3},
                    SearchCase{"start passes a match", "script SCRIPT", "script", 1, 7},
                    SearchCase{"first byte too near the end", "scrip Scrip", "script", 0, -1},
                    SearchCase{"ends at last byte", "ab</HEAD", "</head", 0, 2},
                    SearchCase{"start past last candidate", "ab</HEAD", "</head", 3, -1},
                    SearchCase{"one byte short", "</HEA", "</head", 0, -1},
                    SearchCase{"no folding of non-letters", "[##_", "{##_", 0, -1},
                    SearchCase{"high bytes never fold", "\xC1\xE1", "aa", 0, -1},
                    SearchCase{"empty text", "", "</head", 0, -1}));

class FindTagOpenBackTable : public testing::TestWithParam<SearchCase> {};

TEST_P(FindTagOpenBackTable, TestsOnlyTheNearestTag)
{
    const SearchCase& c = GetParam();
    EXPECT_EQ(Core::FindTagOpenBack(c.text, c.needle, c.start), c.expected) << c.label;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FindTagOpenBackTable,
    testing::Values(SearchCase{"start on the <", "ab<p>x", "p", 2, 2},
                    SearchCase{"nearest tag is p", "<p>hello", "p", 7, 0},
                    SearchCase{"capital P", "<P class=x>hi", "p", 12, 0},
                    SearchCase{"pre matches p", "<pre>hi", "p", 6, 0},
                    SearchCase{"param matches p", "<param>hi", "p", 8, 0},
                    SearchCase{"closing tag never matches", "<p>a</p>b", "p", 8, -1},
                    SearchCase{"nearest is other name", "<p>a<b>x", "p", 7, -1},
                    SearchCase{"no < at all", "hello", "p", 4, -1},
                    SearchCase{"start -1", "<p>", "p", -1, -1},
                    SearchCase{"name cut by the end", "xx<scr", "script", 5, -1},
                    SearchCase{"name ending at the end", "xx<script", "script", 8, 2},
                    SearchCase{"byte at start is tested first", "<p><b", "p", 3, -1}));

class FindTagCloseFwdTable : public testing::TestWithParam<SearchCase> {};

TEST_P(FindTagCloseFwdTable, FirstTagAfterStartDecidesAlone)
{
    const SearchCase& c = GetParam();
    EXPECT_EQ(Core::FindTagCloseFwd(c.text, c.needle, c.start), c.expected) << c.label;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FindTagCloseFwdTable,
    testing::Values(SearchCase{"plain close", "x</p>y", "p", 0, 5},
                    SearchCase{"five-byte text", "x</p>", "p", 0, 5},
                    SearchCase{"capitals, blanks and CR LF before >", "x</P \r\n>y", "p", 0, 8},
                    SearchCase{"pre counts as p", "x</pre>", "p", 0, 7},
                    SearchCase{"first tag is an opening tag", "x<b></p>", "p", 0, -1},
                    SearchCase{"closes another tag first", "x</b></p>", "p", 0, -1},
                    SearchCase{"no > after the name", "x</p", "p", 0, -1},
                    SearchCase{"< in the last three bytes", "xx</p", "p", 0, -1},
                    SearchCase{"< just fits", "xx</p>", "p", 0, 6},
                    SearchCase{"start past last candidate", "x</p>", "p", 2, -1},
                    SearchCase{"letters before the >", "</scriptx >", "script", 0, 11},
                    SearchCase{"empty text", "", "p", 0, -1},
                    SearchCase{"script close, any case", ";</SCRIPT>\r\n", "script", 0, 10}));

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
