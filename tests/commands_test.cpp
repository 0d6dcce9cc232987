// Apply and Remove from load to report, through the host operations.
#include <gtest/gtest.h>

#include <string>

#include "allocation_failure.h"
#include "report.h"
#include "skin_fixtures.h"

namespace {

using namespace skin;

// A small skin whose tokens can all be wrapped and unwrapped again.
const std::string kSkin =
    "<html>\r\n<head>\r\n<title>\xEB\xB8\x94\xEB\xA1\x9C\xEA\xB7\xB8</title>\r\n</head>\r\n"
    "<body>\r\n<ol>\r\n<li><p>" +
    kC + "</p></li>\r\n</ol>\r\n<div class=\"guest\">" + kG + "</div>\r\n</body>\r\n</html>\r\n";

TEST(Report, TextsAndCounts)
{
    struct Case {
        std::string actual;
        const char* expected;
    };
    const Case cases[] = {
        {orlimo::ApplyReport(0, 0), "한 일 없음"},
        {orlimo::ApplyReport(0, 3), "3 개의 BBCode 관련 코드 추가"},
        {orlimo::ApplyReport(2, 5), "2 개의 BBCode 관련 코드 제거, 5 개 추가"},
        {orlimo::ApplyReport(4, 0), "4 개의 BBCode 관련 코드 제거, 0 개 추가"},
        {orlimo::ApplyReport(-1, 12), "-1 개의 BBCode 관련 코드 제거, 12 개 추가"},
        {orlimo::RemoveReport(0), "한 일 없음"},
        {orlimo::RemoveReport(1), "1 개의 BBCode 관련 코드 제거!"},
        {orlimo::RemoveReport(2147483647), "2147483647 개의 BBCode 관련 코드 제거!"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.actual, c.expected);
}

TEST(Commands, EmptyTextIsStoredBackWithNothingDone)
{
    FakeHost host;
    host.OnApplyBBCode();
    host.OnRemoveBBCode();
    EXPECT_EQ(host.text, "");
    EXPECT_EQ(host.setTextCalls, 2);
    EXPECT_EQ(host.messages, (std::vector<std::string>{"한 일 없음", "한 일 없음"}));
}

TEST(Commands, ApplyThenApplyAgainThenRemove)
{
    FakeHost host(kSkin);
    host.OnApplyBBCode();
    ASSERT_EQ(host.messages.back(), "3 개의 BBCode 관련 코드 추가");
    const std::string patched = host.text;
    EXPECT_NE(patched.find(kLine + "</head>"), std::string::npos);
    EXPECT_NE(patched.find(kOpen + "<p>" + kC + "</p></div>"), std::string::npos);
    EXPECT_NE(patched.find(kOpen + kG + "</div>"), std::string::npos);

    host.OnApplyBBCode();  // removes the old markup first, then adds it again
    EXPECT_EQ(host.messages.back(), "3 개의 BBCode 관련 코드 제거, 3 개 추가");
    EXPECT_EQ(host.text, patched);

    host.OnRemoveBBCode();
    EXPECT_EQ(host.messages.back(), "3 개의 BBCode 관련 코드 제거!");
    EXPECT_EQ(host.text, kSkin);
}

TEST(Commands, ApplyThatOnlyRemovesStillNamesBothCounts)
{
    FakeHost host("<textarea class=\"bbcode\">" + kC + "</textarea>");
    host.OnApplyBBCode();  // the bare token is too close to the end to be wrapped
    EXPECT_EQ(host.messages.back(), "1 개의 BBCode 관련 코드 제거, 0 개 추가");
    EXPECT_EQ(host.text, kC);
}

TEST(Commands, RemoveWithNothingToDoStillStores)
{
    FakeHost host(kSkin);
    host.OnRemoveBBCode();
    EXPECT_EQ(host.setTextCalls, 1);
    EXPECT_EQ(host.text, kSkin);
    EXPECT_EQ(host.messages.back(), "한 일 없음");
}

TEST(Commands, FailureLeavesTheHostTextAndShowsNoReport)
{
    FakeHost host(kSkin);
    host.failGetText = true;
    EXPECT_THROW(host.OnApplyBBCode(), std::bad_alloc);
    EXPECT_THROW(host.OnRemoveBBCode(), std::bad_alloc);
    EXPECT_EQ(host.setTextCalls, 0);
    EXPECT_TRUE(host.messages.empty());

    host.failGetText = false;  // the next command starts afresh
    host.OnRemoveBBCode();
    EXPECT_EQ(host.messages.back(), "한 일 없음");
}

// Every allocation a command makes, refused in turn: the command fails
// cleanly before storing anything, or (past the last one) succeeds.
TEST(Commands, EveryAllocationFailureLeavesTheHostTextAsItWas)
{
    FakeHost patched(kSkin);
    patched.OnApplyBBCode();
    // Also one whose in-place removals search back into the closed-up text.
    const std::string update = "<script>BBDecode.UpdateBBCodeNow();</script>";
    const std::string inputs[] = {
        patched.text, "<script>" + update + "BBDecode.UpdateBBCodeNow();</script>" + kSkin};

    for (const std::string& input : inputs)
        for (auto command : {&CSkinPatchCore::OnApplyBBCode, &CSkinPatchCore::OnRemoveBBCode}) {
            for (int64_t nth = 1;; ++nth) {
                FakeHost host(input);
                bool threw = false;
                {
                    ScopedAllocationFailure fail(nth);
                    try {
                        (host.*command)();
                    } catch (const std::bad_alloc&) {
                        threw = true;
                    }
                }
                if (!threw) {
                    EXPECT_FALSE(ScopedAllocationFailure::Triggered());
                    EXPECT_EQ(host.messages.size(), 1u);
                    break;
                }
                EXPECT_EQ(host.text, input) << "allocation " << nth;
                EXPECT_EQ(host.setTextCalls, 0) << "allocation " << nth;
                EXPECT_TRUE(host.messages.empty()) << "allocation " << nth;
                ASSERT_LT(nth, 1000) << "a command should need far fewer allocations";
            }
        }
}

// Apply run again changes nothing, and Remove after Apply gives the skin
// back, wherever no wrapper ends right before a blank or line end (Remove
// takes those with the wrapper) and </head> starts a line.
TEST(Commands, ApplyAgainChangesNothingAndRemoveGivesBackTheSkin)
{
    const std::string skins[] = {
        kSkin,
        "<head>\n</HEAD><body>" + kC + "<br>" + kG + "<p class=\"x\">" + kC + "</p>" + "<ul><li>" +
            kG + "</li></ul><div>end of the skin</div>",
        "<p>" + kC + "</p><p>" + kC + "</p><pre>" + kG + "</pre><b>and that is all</b>",
        "no head here, " + kC + ", in plain text, and more plain text after it",
        "<p>" + kC + " or " + kC + "</p><p>" + kG + " and " + kC + "</p><b>the end of it</b>",
    };
    for (const std::string& skin : skins) {
        FakeHost host(skin);
        host.OnApplyBBCode();
        const std::string applied = host.text;
        EXPECT_NE(applied, skin);
        host.OnApplyBBCode();
        EXPECT_EQ(host.text, applied);
        host.OnRemoveBBCode();
        EXPECT_EQ(host.text, skin);
        EXPECT_EQ(std::stoi(host.messages[0]), std::stoi(host.messages[2]))
            << "as many pieces removed as were added";
    }
}

}  // namespace
