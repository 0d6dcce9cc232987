// The removing transform: script elements, timer calls and wrappers.
#include <gtest/gtest.h>

#include <string>

#include "skin_fixtures.h"

namespace {

using namespace skin;
using RemoveCase = TransformCase;

void ExpectRemoved(const RemoveCase& c)
{
    ExpectTransform(&CSkinPatchCore::RemoveBBCode, c);
}

TEST(RemoveBBCode, NothingOrEverythingToRemove)
{
    const RemoveCase cases[] = {
        {"empty", "", "", 0},
        {"everything removed", kLine + kLine, "", 2},
        {"everything removed in place", "<script>BBDecode.ResetTimer();</script>", "", 1},
        {"plain skin", "<html><head></head><body>" + kC + "</body></html>",
         "<html><head></head><body>" + kC + "</body></html>", 0},
    };
    for (const RemoveCase& c : cases) ExpectRemoved(c);
}

TEST(RemoveBBCode, ScriptElementsThatLoadTheScript)
{
    const RemoveCase cases[] = {
        {"the inserted line vanishes whole", "<head>\r\n" + kLine + "</head>", "<head>\r\n</head>",
         1},
        {"a CR LF in front of it stays", "<title>t</title>\r\n" + kLine + "</head>",
         "<title>t</title>\r\n</head>", 1},
        {"blanks and one CR LF after it go", "\t" + kLine.substr(0, 67) + "\t \r\n\r\nX", "\t\r\nX",
         1},
        {"blanks before the head tag go", kLine.substr(0, 67) + "  </head>", "</head>", 1},
        {"a lone LF stays", kLine.substr(0, 67) + "\nX", "\nX", 1},
        {"tags in capitals", "<SCRIPT src=\"./images/bbcode.js\"></SCRIPT>X", "X", 1},
        {"needle in other case stays", "<script src=\"./IMAGES/bbcode.js\"></script>",
         "<script src=\"./IMAGES/bbcode.js\"></script>", 0},
        {"two elements", kLine + kLine + "X", "X", 2},
        {"an image before it ends the phase", "<img src=\"./images/bbcode/i.png\">" + kLine,
         "<img src=\"./images/bbcode/i.png\">" + kLine, 0},
        // The first close tag's ">" is that of the next start tag, so the
        // next element's start tag lies inside the piece just removed.
        {"start tag inside the previous piece",
         "<script src=\"./images/bbcode35.js\"></script <script> src=\"./images/bbcode2.js\">"
         "</script>X",
         "X", 2},
    };
    for (const RemoveCase& c : cases) ExpectRemoved(c);
}

TEST(RemoveBBCode, ScriptElementsThatDriveTheTimer)
{
    const RemoveCase cases[] = {
        {"a < before the call keeps that element only",
         "<script>if (a<b) BBDecode.UpdateBBCodeNow();</script>\r\n"
         "<script>BBDecode.UpdateBBCodeNow();</script>\r\nX",
         "<script>if (a<b) BBDecode.UpdateBBCodeNow();</script>\r\nX", 1},
        {"a call in an event attribute stays", "<a onclick=\"BBDecode.UpdateBBCodeNow()\">x</a>",
         "<a onclick=\"BBDecode.UpdateBBCodeNow()\">x</a>", 0},
        {"reset statement on its own line",
         "<script type=\"text/javascript\">\r\nBBDecode.ResetTimer();\r\n</script>\r\nX", "X", 1},
        {"both calls in one element count once",
         "<script>BBDecode.UpdateBBCodeNow();BBDecode.ResetTimer();</script>X", "X", 1},
        {"a < after the statement leaves only the statement to phase 4",
         "<script>\r\n\tBBDecode.ResetTimer();\r\n\tif (a < b) f();\r\n</script>",
         "<script>\r\n\t\tif (a < b) f();\r\n</script>", 1},
        {"statement in an attribute", "<a onclick=\"BBDecode.ResetTimer(); go()\">x</a>",
         "<a onclick=\"go()\">x</a>", 1},
        {"calls in other case stay", "<script>bbdecode.resettimer();</script>",
         "<script>bbdecode.resettimer();</script>", 0},
    };
    for (const RemoveCase& c : cases) ExpectRemoved(c);
}

// Each worked example is the whole text.
TEST(RemoveBBCode, WrapperWorkedExamples)
{
    const RemoveCase cases[] = {
        {"div around p", "<li>" + kOpen + "<p>" + kC + "</p></div>\r\n</li>",
         "<li><p>" + kC + "</p></li>", 1},
        {"div around the token", "<li>" + kOpen + kC + "</div>  \r\n</li>", "<li>" + kC + "</li>",
         1},
        {"one enclosed, one bare",
         "A" + kOpen + "<p class=\"x\">" + kC + "</p></div>B" + kOpen + kC + "</div>Z",
         "A<p class=\"x\">" + kC + "</p>B" + kC + "Z", 2},
        {"textarea", "<textarea class=\"bbcode\" rows=\"5\">" + kC + "</textarea>\r\nX", kC + "X",
         1},
        {"capitals and line breaks", "<DIV CLASS=\"BBCode\">\r\n<P>" + kG + "</P>\r\n</DIV>\r\nX",
         "<P>" + kG + "</P>X", 1},
        {"textarea end tag with a blank",
         "<textarea class=\"BBCODE\">" + kG + "</textarea >\t\r\nX", kG + "X", 1},
    };
    for (const RemoveCase& c : cases) ExpectRemoved(c);
}

TEST(RemoveBBCode, WrapperPieces)
{
    const RemoveCase cases[] = {
        {"blanks after the wrapper go", kOpen + kC + "</div>  x", kC + "x", 1},
        {"text inside the wrapper goes", kOpen + "x" + kC + "y</div>z", kC + "z", 1},
        {"line breaks inside the wrapper go", kOpen + "\r\n  " + kC + "\r\n</div>\r\nnext",
         kC + "next", 1},
        {"wrapper ending the text", kOpen + kC + "</div>", kC, 1},
        {"marker on the p element", "<div><p class=\"bbcode\">" + kC + "</p></div>",
         "<p class=\"bbcode\">" + kC + "</p>", 1},
        {"pre as the p element", kOpen + "<pre>" + kC + "</pre></div>", "<pre>" + kC + "</pre>", 1},
        {"each phase ends on its own", kC + kOpen + kG + "</div>", kC + kG, 1},
        // Nested layers of Add's exact bytes go in one run, each counted; the
        // line tail goes after the outermost.
        {"two layers", kOpen + kOpen + "<p>" + kC + " or " + kC + "</p></div></div>\r\nnext",
         "<p>" + kC + " or " + kC + "</p>next", 2},
        {"three layers", "x" + kOpen + kOpen + kOpen + kG + "</div></div></div> y",
         "x" + kG + "y", 3},
        {"only the exact bytes make a layer", "<div class=\"BBCODE\">" + kOpen + kC + "</div></div>",
         "<div class=\"BBCODE\">" + kC + "</div>", 1},
        {"nested textareas: one per run",
         "<textarea class=\"bbcode\"><textarea class=\"bbcode\">" + kC + "</textarea></textarea>",
         "<textarea class=\"bbcode\">" + kC + "</textarea>", 1},
    };
    for (const RemoveCase& c : cases) ExpectRemoved(c);
}

TEST(RemoveBBCode, WrappersThatStay)
{
    const std::string stay[] = {
        "A" + kC + "B" + kOpen + kC + "</div>",          // a bare occurrence ends the phase
        "<div class=\"bbcode\"" + kC + "</div>",         // marker touches the token
        "<div class=bbcode>" + kC + "</div>",            // marker without quotes
        "<div class='bbcode'>" + kC + "</div>",          // marker in single quotes
        kOpen + "<span><p>" + kC + "</p></span></div>",  // another tag in between
        kOpen + "<p>" + kC + "</div>",                   // only one p tag
        "<div>" + kC + "</div>",                         // no marker
    };
    for (const std::string& text : stay) ExpectRemoved({text.c_str(), text, text, 0});
}

TEST(RemoveBBCode, DivAroundTextareaNeedsTwoCalls)
{
    FakeHost host;
    host.Load(kOpen + "<textarea class=\"bbcode\">" + kC + "</textarea></div>");
    EXPECT_EQ(host.RemoveBBCode(), 1);
    EXPECT_EQ(host.Text(), kOpen + kC + "</div>");
    EXPECT_EQ(host.RemoveBBCode(), 1);
    EXPECT_EQ(host.Text(), kC);
}

// Where a wrapper encloses a paragraph, the paragraph comes back exactly as
// it stood, so nothing the skin's author wrote beside the token is lost.
TEST(RemoveBBCode, KeepsTheWholeParagraph)
{
    const RemoveCase cases[] = {
        {"text beside the token", kOpen + "<p>Comment: " + kC + " end</p></div>\r\nnext",
         "<p>Comment: " + kC + " end</p>next", 1},
        {"entities before the token", kOpen + "<p>&nbsp;&nbsp;" + kC + "</p></div>",
         "<p>&nbsp;&nbsp;" + kC + "</p>", 1},
        {"multi-line paragraph", kOpen + "\r\n<p>\r\n    " + kG + "\r\n</p>\r\n</div>\r\nX",
         "<p>\r\n    " + kG + "\r\n</p>X", 1},
        {"start tag closing after the token", "<div><p class=\"bbcode\" " + kC + "</p></div>",
         "<p class=\"bbcode\" " + kC + "</p>", 1},
        {"start tag with > in an attribute", kOpen + "<p title=\"a>b\">" + kC + "</p></div>",
         "<p title=\"a>b\">" + kC + "</p>", 1},
    };
    for (const RemoveCase& c : cases) ExpectRemoved(c);
}

// An end tag holding a "<" before its ">" makes the next wrapper's start tag
// lie inside the piece just removed; nothing between them is kept.
TEST(RemoveBBCode, StartTagInsideThePreviousPiece)
{
    ExpectRemoved({"div", kOpen + kC + "</div " + kOpen + kC + "</div>", kC + kC, 2});
    ExpectRemoved(
        {"div with p",
         kOpen + kC + "</div " + kOpen + "<p aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa>" + kC + "</p></div>",
         kC + "<p aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa>" + kC + "</p>", 2});
}

TEST(RemoveBBCode, TextFarBeyondOneMillionBytes)
{
    // 3 MB with pieces for the copying phases all through it, and one
    // in-place piece near each end.
    const std::string reset = "<script>BBDecode.ResetTimer();</script>\r\n";
    const std::string unit = "<li>" + kOpen + "<p>" + kC + "</p></div>\r\n</li>\r\n" + kLine +
                             "<textarea class=\"bbcode\">" + kG + "</textarea>\r\n";
    const std::string kept = "<li><p>" + kC + "</p></li>\r\n" + kG;
    std::string before = reset;
    std::string after;
    int32_t pieces = 2;
    while (before.size() < 3'000'000) {
        before += unit;
        after += kept;
        pieces += 3;
    }
    before += reset;
    ExpectRemoved({"3 MB", before, after, pieces});
}

}  // namespace
