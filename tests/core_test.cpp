// The core's tests. The commands from load to report and the text buffer;
// the search primitives against the plain searches of the literal method
// (tests/oracle); and both transforms and both commands against the literal
// method (tests/differential.h) on worked examples, whose result the literal
// method must give too, on quirky cases and on many generated skins.
//
// The generated run uses a fixed seed; a longer run takes its seed and count
// from the environment:
//   ORLIMO_DIFF_SEED=7 ORLIMO_DIFF_ITERATIONS=1000000 build/bin/core_tests
//   --gtest_filter='Differential.GeneratedSkins'
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "allocation_failure.h"
#include "differential.h"
#include "text_search.h"

namespace {

using namespace skin;
using Core = CSkinPatchCore;

// A small skin whose tokens can all be wrapped and unwrapped again.
const std::string kSkin = Skin(
    "<html>\r\n<head>\r\n<title>\xEB\xB8\x94\xEB\xA1\x9C\xEA\xB7\xB8</title>\r\n</head>\r\n"
    "<body>\r\n<ol>\r\n<li><p>{C}</p></li>\r\n</ol>\r\n<div class=\"guest\">{G}</div>\r\n"
    "</body>\r\n</html>\r\n");

TEST(Commands, StoreAlwaysAndReport)
{
    FakeHost empty;
    empty.OnRemoveBBCode();
    EXPECT_EQ(empty.setTextCalls, 1);  // stored, though nothing changed
    EXPECT_EQ(empty.messages.back(), "한 일 없음");

    FakeHost host(kSkin);
    host.OnApplyBBCode();
    EXPECT_EQ(host.messages.back(), "3 개의 BBCode 관련 코드 추가");
    host.OnApplyBBCode();  // removes the old markup first, then adds it again
    EXPECT_EQ(host.messages.back(), "3 개의 BBCode 관련 코드 제거, 3 개 추가");
    host.OnRemoveBBCode();
    EXPECT_EQ(host.messages.back(), "3 개의 BBCode 관련 코드 제거!");
    EXPECT_EQ(host.text, kSkin);
    EXPECT_TRUE(host.Released());
}

// Every allocation a command makes, refused in turn: the command stores
// nothing, shows no report and lets the buffer go; past the last one, it
// succeeds. The skin's in-place removals also search back into the text
// they closed up.
TEST(Commands, FailureLeavesTheHostTextAndReleasesTheBuffer)
{
    FakeHost patched(kSkin);
    patched.OnApplyBBCode();
    const std::string input =
        Skin("<script>{U}BBDecode.UpdateBBCodeNow();</script>") + patched.text;
    for (auto command : {&CSkinPatchCore::OnApplyBBCode, &CSkinPatchCore::OnRemoveBBCode}) {
        for (int64_t nth = 1;; ++nth) {
            FakeHost host(input);
            bool threw = true;
            try {
                ScopedAllocationFailure fail(nth);
                (host.*command)();
                threw = false;
            } catch (const std::bad_alloc&) {
            }
            EXPECT_TRUE(host.Released()) << "allocation " << nth;
            if (!threw) {
                EXPECT_FALSE(ScopedAllocationFailure::Triggered());
                EXPECT_EQ(host.messages.size(), 1u);
                break;
            }
            EXPECT_TRUE(host.text == input && host.setTextCalls == 0 && host.messages.empty())
                << "allocation " << nth;
            ASSERT_LT(nth, 1000) << "a command should need far fewer allocations";
        }
    }
}

TEST(TextBuffer, LoadsUpToTheLimit)
{
    FakeHost host;
    host.reportedLength = Core::kMaxTextLength + 1;
    EXPECT_THROW(host.LoadText(), std::length_error);
    host.reportedLength = Core::kMaxTextLength;
    ScopedAllocationFailure fail(
        1);  // taken: its block is asked for (and refused, to spare memory)
    EXPECT_THROW(host.LoadText(), std::bad_alloc);
    EXPECT_EQ(ScopedAllocationFailure::RefusedSize(), std::size_t{Core::kMaxTextLength} + 1);
}

// On many short texts of the bytes that matter, from every start; every
// other text is followed by three more such bytes, which no search may read.
TEST(SearchPrimitives, AnswerAsThePlainSearches)
{
    using namespace oracle;
    const std::string bytes = "<</>>pPrRaAzZ \t\r\n\xE1";
    const std::string_view needles[] = {"p", "pr", "<p", "</head", "aZ", "zZa"};
    std::mt19937 random(1);
    for (int k = 0; k < 20000; ++k) {
        std::string block(random() % 12 + k % 2 * 3, ' ');
        for (char& c : block) c = bytes[random() % bytes.size()];
        const std::string_view text(block.data(), block.size() - k % 2 * 3);
        const std::string_view needle = needles[random() % std::size(needles)];
        for (int32_t start = -1; start <= static_cast<int32_t>(text.size()) + 1; ++start) {
            const auto same = [&](int32_t core, int32_t plain) {
                EXPECT_EQ(core, plain)
                    << testing::PrintToString(std::string(text)) << needle << " " << start;
            };
            same(orlimo::FindTagOpenBack(text, needle, start), TagOpenBack(text, needle, start));
            if (start < 0) continue;  // a start the forward searches are never given
            same(orlimo::FindText(text, needle, start), Find(text, needle, start, false));
            same(orlimo::FindTextNoCase(text, needle, start), Find(text, needle, start, true));
            same(orlimo::FindTagCloseFwd(text, needle, start), TagCloseFwd(text, needle, start));
            same(orlimo::MeasureLineTail(text, start), LineTail(text, start));
        }
    }
}

// Each row: the transform, the whole text before and after (patterns for
// Skin(), "=" for the same text) and the count, as the literal method gives
// them; the fast transforms must agree.
TEST(Transforms, WorkedExamples)
{
    const std::tuple<int32_t (Core::*)(), std::string, std::string, int32_t> examples[] = {
        // The script line, before the first closing head tag.
        {kAdd, "</head>", "{L}</head>", 1},
        {kAdd, "x\r</HEAD></head>", "x\r\r\n{L}</HEAD></head>", 1},
        // The scan starts 33 bytes from the end, the script line counted.
        {kAdd, "{C}xxxxxxxxxxxxxx", "{O}{C}{X}xxxxxxxxxxxxxx", 1},
        {kAdd, "{C}xxxxxxxxxxxxx", "=", 0},
        {kAdd, "{C}</head>", "{O}{C}{X}\r\n{L}</head>", 2},
        // Around the paragraph (once, however many tokens) or the token alone.
        {kAdd, "<P a>{G} or {C}</p \r\n>{T}", "{O}<P a>{G} or {C}</p \r\n>{X}{T}", 1},
        {kAdd, "<p>{C}<br></p>{T}", "<p>{O}{C}{X}<br></p>{T}", 1},
        {kAdd, "<p><span>{C}</span></p>{T}", "<p><span>{O}{C}{X}</span></p>{T}", 1},
        {kAdd, "<li>{G}{C}</li>{T}", "<li>{O}{G}{X}{O}{C}{X}</li>{T}", 2},
        {kAdd, "<p>{C}</p>" + std::string(40, ' '), "{O}<p>{C}</p>{X}" + std::string(40, ' '), 1},
        // Script elements that load the script or drive the timer.
        {kRemove, "", "", 0},
        {kRemove, "<head>\r\n{L}{L}</head>", "<head>\r\n</head>", 2},
        {kRemove, "\t<script src=\"./images/bbcode.js\"></script>\t \r\n\r\nX", "\t\r\nX", 1},
        {kRemove, "<SCRIPT src=\"./images/bbcode.js\"></SCRIPT>\nX", "\nX", 1},
        {kRemove, "<img src=\"./images/bbcode/i.png\">{L}", "=", 0},
        {kRemove, "<script>if (a<b) BBDecode.UpdateBBCodeNow();</script>{U}\r\nX",
         "<script>if (a<b) BBDecode.UpdateBBCodeNow();</script>X", 1},
        {kRemove, "<script>BBDecode.UpdateBBCodeNow();BBDecode.ResetTimer();</script>X", "X", 1},
        // A phase that shortens the text leaves its old bytes past the new
        // end (here a LF, a blank): the next phase's line tail stops at the end.
        {kRemove,
         "<script src=\"./images/bbcode35.js\">" + std::string(11, '\n') + "</script>{U}\r", "\r",
         2},
        {kRemove, "<script src=\"./images/bbcode35.js\">" + std::string(12, ' ') + "</script>{U} ",
         "", 2},
        {kRemove, "<script>\r\n\tBBDecode.ResetTimer();\r\n\tif (a < b) f();\r\n</script>",
         "<script>\r\n\t\tif (a < b) f();\r\n</script>", 1},
        // Wrappers: the token comes back bare, or with its p element as it stood.
        {kRemove, "<li>{O}<p>{C}</p></div>\r\n</li>", "<li><p>{C}</p></li>", 1},
        {kRemove, "A{O}x{C}y</div>  \r\nB{O}{C}</div>Z", "A{C}B{C}Z", 2},
        {kRemove, "<textarea class=\"BBCODE\" rows=\"5\">{G}</textarea >\t\r\nX", "{G}X", 1},
        {kRemove, "{O}<p title=\"a>b\">{C} end</p></div>", "<p title=\"a>b\">{C} end</p>", 1},
        {kRemove, "<div><p class=\"bbcode\" {C}</p></div>", "<p class=\"bbcode\" {C}</p>", 1},
        {kRemove, "<div\"bbcode\">{C}</div>", "{C}", 1},  // the marker right after the name
        {kRemove, "{C}{O}{G}</div>", "{C}{G}", 1},        // each phase ends on its own
        {kRemove, "{O}<textarea class=\"bbcode\">{C}</textarea></div>", "{O}{C}</div>", 1},
        // Nested layers of Add's exact bytes go in one run, each counted.
        {kRemove, "{O}{O}<p>{C}{C}</p></div></div>\r\nnext", "<p>{C}{C}</p>next", 2},
        {kRemove, "<div class=\"BBCODE\">{O}{C}</div></div>", "<div class=\"BBCODE\">{C}</div>", 1},
        // A piece whose start tag lies inside the previous one.
        {kRemove, "{O}{C}</div {O}<p aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa>{C}</p></div>",
         "{C}<p aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa>{C}</p>", 2},
        // Wrappers that stay.
        {kRemove, "A{C}B{O}{C}</div>", "=", 0},                 // a bare token ends the phase
        {kRemove, "<div class=\"bbcode\"{C}</div>", "=", 0},    // the marker touches the token
        {kRemove, "<div class=bbcode\">{C}</div>", "=", 0},     // no opening quote
        {kRemove, "{O}<span><p>{C}</p></span></div>", "=", 0},  // another tag in between
        {kRemove, "{O}<p>{C}</div>", "=", 0},                   // only one p tag
    };
    for (const auto& [transform, pattern, after, count] : examples) {
        const std::string before = Skin(pattern);
        const auto literal = transform == kAdd ? oracle::LiteralAdd : oracle::LiteralRemove;
        EXPECT_EQ(literal(before).text, after == "=" ? before : Skin(after)) << pattern;
        EXPECT_EQ(literal(before).count, count) << pattern;
        EXPECT_STREQ(differential::FailedCheck(before), nullptr) << pattern;
    }
}

// Where the fast transforms could part from the literal method: searches
// that meet what an earlier step inserted or closed up, scans that remember
// their last answer, and inputs that make naive searches quadratic.
TEST(Differential, QuirkyCases)
{
    const auto repeat = [](const std::string& unit, int times) {
        std::string text;
        for (int k = 0; k < times; ++k) text += unit;
        return text;
    };
    std::vector<std::string> cases = {
        // An end tag without ">" before the next wrapper, token or script line.
        "<p>{C}{C}{C}</p>{C}<p>{C}</p>{T}", "<p>{C}</p <p>{C}</p>{T}", "<p>{C}</p{C}x{T}",
        "<p>{G}</P   <pre>{C}</pre>{T}", "<p>{C}</p</head>{T}", "<p class=\"c\" {C}</p>{T}",
        "<p><{C}</p><p>{C}</p>{T}",
        // A closing p tag near the end, reached only because the text grew.
        "<p>{C}xxxxxxxxxxxxxx</p", "<p>{C}</p           {C}yyyyyyyyyyyyyy",
        // A piece that begins inside the previous one.
        "<script src=\"./images/bbcode35.js\"></script <script> src=\"./images/bbcode2.js\">"
        "</script>X",
        // In-place removals, and backward searches into what they closed up.
        "<script>{U}BBDecode.UpdateBBCodeNow();</script>X",
        "<SCRIPT{U}\r\nBBDecode.UpdateBBCodeNow</script >\r\nX",
        "<script><script>{U}<b BBDecode.UpdateBBCodeNow BBDecode.UpdateBBCodeNow</script>",
        "<script><script>{U}{U}BBDecode.UpdateBBCodeNow;</script>BBDecode.UpdateBBCodeNow;</"
        "script>",
        "<script>BBDecode.UpdateBBCodeNowBBDecode.UpdateBBCodeNow</script>",
        "<script><script>BBDecode.ResetTimer();</script>\r\nBBDecode.ResetTimer</script>"
        "<script>if(a<b)<script>BBDecode.ResetTimer();</script>BBDecode.ResetTimer();</script>",
        // A start tag's name split by a removal, a tag start of the output met
        // again after a kept stretch, a name one letter off, an end tag
        // without ">", and a kept stretch far from the text's start.
        "<scr{U}ipt>BBDecode.UpdateBBCodeNow</script>",
        "<b>{U}BBDecode.UpdateBBCodeNow</script><script>c{U}BBDecode.UpdateBBCodeNow</script>",
        "<xcript>BBDecode.UpdateBBCodeNow</script>", "{U}<script>BBDecode.UpdateBBCodeNow</scriptX",
        repeat("0123456789", 8) + "{U}y{U}" + repeat("abcdefghijklmnopqrstuvwxyz", 4),
        // Layers whose outermost end tag is the text's last bytes.
        "{O}{O}{C}{X}{X}",
        // Text before a tag that could be mistaken for one: "/p" or "/script"
        // at the very start, a "[" in front of a token.
        "/p><p>{C}xxxxxxxxxxxxxx", "/script><script>BBDecode.UpdateBBCodeNow();", "{O}[{C}</div>",
        // Quadratic for naive searches, at a size the literal method handles.
        "<p>" + repeat("{C}xx", 300) + "</p>{T}", repeat("[##_", 3000),
        "<b>" + repeat("{C} BBDecode.UpdateBBCodeNow {G} BBDecode.ResetTimer ", 150) +
            "</script></p>",
        "<x>" + repeat("BBDecode.UpdateBBCodeNow ", 400) + "</script>",
        repeat("<i>a</i>{U}\r\n", 300),
        repeat("<script>{U}{U}{U}BBDecode.UpdateBBCodeNow</script>", 100),
        repeat("<li>{O}<p>{C}</p></div>\r\n</li>\r\n", 200) + "{T}"};
    // Two tokens in one paragraph at every distance: the literal scan is not
    // corrected after a paragraph wrap and resumes 20 bytes early.
    for (const char* start : {"<p>", "<P class=\"c\">", "<pre>"}) {
        for (int lead = 0; lead <= 22; lead += 11) {
            for (int gap = 0; gap <= 25; ++gap) {
                cases.push_back(std::string("x") + start + std::string(lead, ' ') +
                                (gap % 2 ? "{G}" : "{C}") + std::string(gap, 'a') +
                                (gap % 3 ? "{C}" : "{G}") + "</p>{T}");
            }
        }
    }
    for (const std::string& text : cases) {
        EXPECT_STREQ(differential::FailedCheck(Skin(text)), nullptr) << text;
    }
}

// A skin of random pieces: markers whole, cut short and in other case, tags
// the transforms look for (in mixed case), blanks and line ends.
std::string GeneratedSkin(std::mt19937_64& random)
{
    static const std::vector<std::string> pieces = [] {
        std::vector<std::string> split;
        std::istringstream all(Skin(
            "{C}|{C}|{G}|{O}|{O}|{X}|{L}|</div|</div <|<div>|<div class=bbcode>|<textarea>"
            "|<textarea class=\"bbcode\">|</textarea>|\"bbcode\"|<p>|<p>|</p>|</p>|<p|</p|</p >"
            "|<pre>|</pre>|<p class=\"bbcode\">|<span>|<|>|</|<script>|</script>|</script|<head>"
            "|</head>|</header>|=\"./images/bbcode|<img "
            "src=\"./images/bbcode/i.png\">|BBDecode.ResetTimer"
            "|BBDecode.ResetTimer();|BBDecode.UpdateBBCodeNow();|BBDecode.UpdateBBCodeNow|[##_"
            "|[##_rp_rep_desc_##|[##_RP_REP_DESC_##]|[##_rp_rep_name_##]|\xED\x95\x9C|x|abc"
            "|aaaaaaaaaaaa| |\t|\r\n|\r\n|\r|\n"));
        for (std::string piece; std::getline(all, piece, '|');) split.push_back(piece);
        return split;
    }();
    const auto below = [&random](std::size_t n) { return static_cast<std::size_t>(random() % n); };
    std::string skin;
    for (std::size_t k = below(2) == 0 ? 1 + below(12) : 1 + below(60); k > 0; --k) {
        std::string piece = pieces[below(pieces.size())];
        for (char& c : piece) {
            if (piece[0] == '<' && c >= 'a' && c <= 'z' && below(4) == 0)
                c = static_cast<char>(c - 32);
        }
        skin += piece;
    }
    return skin;
}

// With ORLIMO_DIFF_DUMP=FILE, every skin tested and the text and report of
// the Apply and of the Remove command go to FILE, each as a 32-bit
// little-endian length and its bytes, for the WebAssembly build to match.
void Dump(std::ofstream& file, const std::string& skin)
{
    const auto write = [&file](const std::string& text) {
        for (int shift = 0; shift < 32; shift += 8)
            file.put(static_cast<char>(text.size() >> shift));
        file << text;
    };
    write(skin);
    for (auto command : {&CSkinPatchCore::OnApplyBBCode, &CSkinPatchCore::OnRemoveBBCode}) {
        FakeHost host(skin);
        (host.*command)();
        write(host.text);
        write(host.messages.back());
    }
}

// Each generated skin, and the skin after the literal Add (so that Remove
// meets many well-formed wrappers), against the oracle.
TEST(Differential, GeneratedSkins)
{
    const auto setting = [](const char* name, uint64_t fallback) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0' ? std::strtoull(value, nullptr, 10) : fallback;
    };
    const uint64_t seed = setting("ORLIMO_DIFF_SEED", 20240611);
    const uint64_t iterations = setting("ORLIMO_DIFF_ITERATIONS", 30000);
    std::ofstream dump;
    if (const char* path = std::getenv("ORLIMO_DIFF_DUMP")) dump.open(path, std::ios::binary);
    std::mt19937_64 random(seed);
    SCOPED_TRACE("seed " + std::to_string(seed));
    for (uint64_t k = 0; k < iterations; ++k) {
        const std::string skin = GeneratedSkin(random);
        for (const std::string& text : {skin, oracle::LiteralAdd(skin).text}) {
            ASSERT_STREQ(differential::FailedCheck(text), nullptr)
                << "iteration " << k << ": " << testing::PrintToString(text);
            if (dump.is_open()) Dump(dump, text);
        }
    }
}

}  // namespace
