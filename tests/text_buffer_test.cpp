// Loading, splicing and storing the text buffer.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "allocation_failure.h"
#include "fake_host.h"

namespace {

TEST(InsertText, SplicesAtStartMiddleAndEnd)
{
    struct Case {
        int32_t position;
        const char* expected;
    };
    for (const Case& c : {Case{0, "XYabcd"}, Case{2, "abXYcd"}, Case{4, "abcdXY"}}) {
        FakeHost host;
        host.Load("abcd");
        host.InsertText("XY", c.position);
        EXPECT_EQ(host.Text(), c.expected) << "at " << c.position;
        EXPECT_EQ(host.Text().size(), 6u);
        EXPECT_TRUE(host.TerminatedAtLength());
    }
}

TEST(InsertText, IntoEmptyText)
{
    FakeHost host;
    host.Load("");
    host.InsertText("</div>", 0);
    EXPECT_EQ(host.Text(), "</div>");
    EXPECT_TRUE(host.TerminatedAtLength());
}

TEST(InsertText, KeepsOldTextWhenItCannotAllocate)
{
    FakeHost host;
    host.Load("abcd");
    {
        ScopedAllocationFailure fail(1);
        EXPECT_THROW(host.InsertText("XY", 2), std::bad_alloc);
    }
    EXPECT_EQ(host.Text(), "abcd");
    EXPECT_TRUE(host.TerminatedAtLength());
}

TEST(InsertText, RefusesAPositionOutsideTheText)
{
    FakeHost host;
    host.Load("abcd");
    EXPECT_THROW(host.InsertText("XY", 5), std::out_of_range);
    EXPECT_THROW(host.InsertText("XY", -1), std::out_of_range);
    EXPECT_EQ(host.Text(), "abcd");
}

TEST(LoadText, TakesTheHostTextWithATerminator)
{
    FakeHost host;
    host.Load("<p>\xEA\xB0\x80</p>");  // UTF-8 Hangul passes as bytes
    EXPECT_EQ(host.Text(), "<p>\xEA\xB0\x80</p>");
    EXPECT_TRUE(host.TerminatedAtLength());
}

TEST(LoadText, RefusesATextBeyondTheLimit)
{
    FakeHost host("x");
    host.reportedLength = CSkinPatchCore::kMaxTextLength + 1;
    EXPECT_THROW(host.LoadText(), std::length_error);
}

TEST(StoreText, StoresBytesUpToTheFirstNul)
{
    // Front ends refuse such texts first (FindNulByte); this is why.
    FakeHost host;
    host.Load(std::string("ab\0cd", 5));
    host.StoreText();
    EXPECT_EQ(host.text, "ab");
    EXPECT_EQ(host.setTextCalls, 1);
}

}  // namespace
