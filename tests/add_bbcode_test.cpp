// The adding transform: the script line, the wrappers and the count.
#include <gtest/gtest.h>

#include <string>

#include "skin_fixtures.h"

namespace {

using namespace skin;
using AddCase = TransformCase;

void ExpectAdded(const AddCase& c)
{
    ExpectTransform(&CSkinPatchCore::AddBBCode, c);
}

TEST(AddBBCode, ScriptLine)
{
    const AddCase cases[] = {
        {"nothing to add", "<html><body>hello</body></html>", "<html><body>hello</body></html>", 0},
        {"head tag at 0", "</head>", kLine + "</head>", 1},
        {"head tag after CR LF", "<title>t</title>\r\n</head>",
         "<title>t</title>\r\n" + kLine + "</head>", 1},
        {"head tag after a lone LF", "<title>t</title>\n</head>",
         "<title>t</title>\n" + kLine + "</head>", 1},
        {"head tag on the title's line", "<title>t</title></head>",
         "<title>t</title>\r\n" + kLine + "</head>", 1},
        {"indented head tag", "  </head>", "  \r\n" + kLine + "</head>", 1},
        {"after a lone CR", "x\r</head>", "x\r\r\n" + kLine + "</head>", 1},
        {"capitals", "</HEAD>", kLine + "</HEAD>", 1},
        {"only the first head tag", "</head></head>", kLine + "</head></head>", 1},
        {"a header tag before it takes the line", "x</header></head>",
         "x\r\n" + kLine + "</header></head>", 1},
    };
    for (const AddCase& c : cases) ExpectAdded(c);
}

TEST(AddBBCode, ScanStartsThirtyThreeBytesFromTheEnd)
{
    const AddCase cases[] = {
        {"shorter than 33 bytes", kC, kC, 0},
        {"comment token with 14 bytes after", kC + std::string(14, 'x'),
         kOpen + kC + kClose + std::string(14, 'x'), 1},
        {"comment token with 13 bytes after", kC + std::string(13, 'x'), kC + std::string(13, 'x'),
         0},
        {"guest token with 11 bytes after", kG + std::string(11, 'x'),
         kOpen + kG + kClose + std::string(11, 'x'), 1},
        {"guest token with 10 bytes after", kG + std::string(10, 'x'), kG + std::string(10, 'x'),
         0},
        // The scan starts from the length after the script line went in.
        {"script line counts towards the 33 bytes", kC + "</head>",
         kOpen + kC + kClose + "\r\n" + kLine + "</head>", 2},
    };
    for (const AddCase& c : cases) ExpectAdded(c);
}

TEST(AddBBCode, WrapsTheParagraphOrTheTokenAlone)
{
    const AddCase cases[] = {
        {"token alone in a paragraph", "<p class=\"c\">" + kC + "</P >" + kTail,
         kOpen + "<p class=\"c\">" + kC + "</P >" + kClose + kTail, 1},
        {"plain text beside the token", "<p>Comment: " + kC + " end</p>" + kTail,
         kOpen + "<p>Comment: " + kC + " end</p>" + kClose + kTail, 1},
        {"end tag broken over a line", "<P>" + kC + "</p\r\n>" + kTail,
         kOpen + "<P>" + kC + "</p\r\n>" + kClose + kTail, 1},
        {"a pre element counts as a paragraph", "<pre>" + kG + "</pre>" + kTail,
         kOpen + "<pre>" + kG + "</pre>" + kClose + kTail, 1},
        {"span between token and paragraph", "<p><span>" + kC + "</span></p>" + kTail,
         "<p><span>" + kOpen + kC + kClose + "</span></p>" + kTail, 1},
        {"line break after the token", "<p>" + kC + "<br></p>" + kTail,
         "<p>" + kOpen + kC + kClose + "<br></p>" + kTail, 1},
        {"no paragraph", "<li>" + kG + "</li>" + kTail,
         "<li>" + kOpen + kG + kClose + "</li>" + kTail, 1},
        {"other tokens and other case are left alone",
         "[##_rp_rep_name_##] [##_RP_REP_DESC_##]" + kTail,
         "[##_rp_rep_name_##] [##_RP_REP_DESC_##]" + kTail, 0},
    };
    for (const AddCase& c : cases) ExpectAdded(c);
}

// A paragraph is wrapped once, however many tokens it holds, so that Remove,
// which takes the wrapper at the first token, leaves none behind.
TEST(AddBBCode, SeveralTokensInOneParagraph)
{
    const AddCase cases[] = {
        {"side by side", "<p>" + kC + kC + "</p>" + kTail,
         kOpen + "<p>" + kC + kC + "</p>" + kClose + kTail, 1},
        {"four bytes apart", "<p>" + kC + " or " + kC + "</p>" + kTail,
         kOpen + "<p>" + kC + " or " + kC + "</p>" + kClose + kTail, 1},
        {"three tokens", "<p>" + kC + "ab" + kC + std::string(30, 'c') + kC + "</p>" + kTail,
         kOpen + "<p>" + kC + "ab" + kC + std::string(30, 'c') + kC + "</p>" + kClose + kTail, 1},
        {"comment and guest-book tokens", "<p>" + kG + " and " + kC + "</p>" + kTail,
         kOpen + "<p>" + kG + " and " + kC + "</p>" + kClose + kTail, 1},
        {"side by side outside a paragraph", "x" + kC + kC + kTail,
         "x" + kOpen + kC + kClose + kOpen + kC + kClose + kTail, 2},
    };
    for (const AddCase& c : cases) ExpectAdded(c);
}

TEST(AddBBCode, CountsTheScriptLineAndEveryWrapper)
{
    const std::string skin = "<head><title>t</title>\r\n</head>\r\n<body>\r\n<p>" + kC +
                             "</p>\r\n<div>" + kG + "</div>\r\n<li>" + kC + "</li>" + kTail;
    const std::string expected = "<head><title>t</title>\r\n" + kLine + "</head>\r\n<body>\r\n" +
                                 kOpen + "<p>" + kC + "</p>" + kClose + "\r\n<div>" + kOpen + kG +
                                 kClose + "</div>\r\n<li>" + kOpen + kC + kClose + "</li>" + kTail;
    ExpectAdded({"head and three tokens", skin, expected, 4});
}

TEST(AddBBCode, AddsAgainToAnAlreadyPatchedText)
{
    const std::string once = kOpen + kC + kClose + kTail;
    ExpectAdded({"wrapped token", once, kOpen + kOpen + kC + kClose + kClose + kTail, 1});
}

}  // namespace
