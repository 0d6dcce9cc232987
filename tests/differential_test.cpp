// The fast transforms against the literal method (tests/oracle): same text,
// same counts, on the quirky cases and on many generated skins.
//
// The generated run uses a fixed seed; a longer run takes its seed and
// iteration count from the environment:
//   ORLIMO_DIFF_SEED=7 ORLIMO_DIFF_ITERATIONS=200000 build/bin/core_tests
//   --gtest_filter='Differential*'
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "apply_idempotence.h"
#include "literal_skin_patch.h"
#include "report.h"
#include "skin_fixtures.h"

namespace {

using namespace skin;

// The bytes of `text` as a C++ literal would spell them.
std::string Escaped(const std::string& text)
{
    std::string out;
    for (unsigned char c : text) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else if (c == '"' || c == '\\')
            out += std::string("\\") + static_cast<char>(c);
        else if (c < 0x20 || c >= 0x7F)
            out += "\\x" + std::string(1, "0123456789ABCDEF"[c >> 4]) + "0123456789ABCDEF"[c & 15];
        else
            out += static_cast<char>(c);
    }
    return out;
}

// One transform on `text`, fast and literal; false (after reporting) when
// they differ.
bool SameTransform(const std::string& text, int32_t (CSkinPatchCore::*fast)(),
                   oracle::Outcome (*literal)(std::string), const std::string& where)
{
    FakeHost host;
    host.Load(text);
    const int32_t count = (host.*fast)();
    const oracle::Outcome expected = literal(text);
    EXPECT_EQ(host.Text(), expected.text) << where;
    EXPECT_EQ(count, expected.count) << where;
    EXPECT_TRUE(host.TerminatedAtLength()) << where;
    return host.Text() == expected.text && count == expected.count;
}

// Add, Remove and the Apply command on `text`, each against the oracle, and
// Apply's idempotence.
bool SameAsLiteral(const std::string& text, const std::string& label = {})
{
    const std::string where = label + " input \"" + Escaped(text) + "\"";
    if (!SameTransform(text, &CSkinPatchCore::AddBBCode, oracle::LiteralAdd, "Add," + where) ||
        !SameTransform(text, &CSkinPatchCore::RemoveBBCode, oracle::LiteralRemove,
                       "Remove," + where)) {
        return false;
    }
    FakeHost host(text);
    host.OnApplyBBCode();
    const oracle::ApplyOutcome literal = oracle::LiteralApply(text);
    EXPECT_EQ(host.text, literal.text) << "Apply," << where;
    EXPECT_EQ(host.messages.back(), orlimo::ApplyReport(literal.removed, literal.added))
        << "Apply," << where;
    const char* failed = idempotence::FailedPropertyOfCore<FakeHost>(text);
    EXPECT_STREQ(failed, nullptr) << where;
    return host.text == literal.text && failed == nullptr;
}

TEST(Differential, TwoTokensInOneParagraphAtEveryDistance)
{
    // The literal scan is not corrected after a paragraph wrap: it resumes
    // 20 bytes early in the paragraph, or inside the wrapper put before it.
    const std::string starts[] = {"<p>", "<P class=\"c\">", "<pre>", "<p title=\"t\"  >"};
    for (const std::string& first : {kC, kG}) {
        for (const std::string& second : {kC, kG}) {
            for (int gap = 0; gap <= 25; ++gap) {
                for (const std::string& start : starts) {
                    for (int lead = 0; lead <= 22; lead += 11) {
                        const std::string text = "x" + start + std::string(lead, ' ') + first +
                                                 std::string(gap, 'a') + second + "</p>" + kTail;
                        ASSERT_TRUE(SameAsLiteral(text));
                    }
                }
            }
        }
    }
}

TEST(Differential, TokensSideBySideAndNested)
{
    const std::vector<std::string> cases = {
        kC + kC + kC + kTail,
        "<p>" + kC + kC + kC + "</p>" + kTail,
        "<p>" + kC + "ab" + kC + "ab" + kC + "ab" + kG + "</p>" + kTail,
        "<li>" + kG + kC + "</li><p>" + kG + "</p>" + kC + kTail,
        "<p>" + kC + "</p>" + kC + "<p>" + kC + "</p>" + kTail,
        "<p>" + std::string(40, 'a') + kC + std::string(30, 'b') + kC + "</p>" + kTail,
        kOpen + "<p>" + kC + "</p></div>" + kTail,  // already wrapped: wrapped again
    };
    for (const std::string& text : cases) ASSERT_TRUE(SameAsLiteral(text));
}

// A later search meets what an earlier wrap inserted.
TEST(Differential, SearchesThatMeetInsertedWrappers)
{
    const std::vector<std::string> cases = {
        // The first p end tag has no ">" before the next paragraph's wrapper.
        "<p>" + kC + "</p <p>" + kC + "</p>" + kTail,
        "<p>" + kC + "</p\r\n" + kC + "</p>" + kTail,
        "<p>" + kC + "</p" + kC + "x" + kTail,
        "<p>" + kG + "</P   <pre>" + kC + "</pre>" + kTail,
        // A p end tag without ">" before the script line, which takes the
        // closing wrapper after its first ">".
        "<p>" + kC + "</p</head>" + kTail,
        // A p start tag without ">" before the token.
        "<p class=\"c\" " + kC + "</p>" + kTail,
        "<div><p class=\"bbcode\" " + kC + "</p></div>" + kTail,
        // A closing p tag that ends within the last bytes, reached only
        // because the text grew.
        "<p>" + kC + std::string(14, 'x') + "</p",
        "<p>" + kC + "</p" + std::string(11, ' ') + kC + std::string(14, 'y'),
        "<p>" + kC + "</p>" + std::string(14, 'x'),
        // End tags holding "<" before ">".
        kOpen + kC + "</div " + kOpen + kC + "</div>" + kTail,
        "<p>" + kC + "</p <div>" + kG + "</div>" + kTail,
    };
    for (const std::string& text : cases) ASSERT_TRUE(SameAsLiteral(text));
}

// An in-place removal closes the text up; the next backward start-tag search
// may reach into the part already closed up.
TEST(Differential, InPlaceRemovalsAndBackwardSearches)
{
    const std::string update = "<script>BBDecode.UpdateBBCodeNow();</script>";
    const std::string reset = "<script>BBDecode.ResetTimer();</script>\r\n";
    const std::vector<std::string> cases = {
        "<script>" + update + "BBDecode.UpdateBBCodeNow();</script>X",
        "<scr" + update + "ipt>BBDecode.UpdateBBCodeNow();</script>X",
        "<SCRIPT" + update + "\r\nBBDecode.UpdateBBCodeNow</script >\r\nX",
        "<b>" + update + "BBDecode.UpdateBBCodeNow</script>X",
        "<script><script>" + update + update +
            "BBDecode.UpdateBBCodeNow;</script>"
            "BBDecode.UpdateBBCodeNow;</script>",
        "<script>" + reset + "BBDecode.ResetTimer</script>" + reset + "<script>if(a<b)" + reset +
            "BBDecode.ResetTimer();</script>",
        "<script>a<b BBDecode.UpdateBBCodeNow();</script>" + update,
        update + "BBDecode.UpdateBBCodeNow</scrip>" + update,
        std::string("<script>") + "BBDecode.UpdateBBCodeNowBBDecode.UpdateBBCodeNow</script>",
        "<script>BBDecode.ResetTimer();BBDecode.UpdateBBCodeNow();</script>\t \r\n\r\n",
    };
    for (const std::string& text : cases) ASSERT_TRUE(SameAsLiteral(text));
}

// Inputs that make naive tag searches quadratic, at a size the literal
// method still handles quickly.
TEST(Differential, PathologicalInputs)
{
    auto repeat = [](const std::string& unit, int times) {
        std::string text;
        for (int k = 0; k < times; ++k) text += unit;
        return text;
    };
    const std::vector<std::string> cases = {
        "<p>" + repeat(kC + "xx", 300) + "</p>" + kTail,
        "<p>" + repeat(kC + " ", 300) + "</p>" + kTail,
        "<b>" + repeat(kC + " BBDecode.UpdateBBCodeNow " + kG + " BBDecode.ResetTimer ", 150) +
            "</script></p>",
        repeat("[##_", 3000),
        "<script>" + repeat("BBDecode.ResetTimer ", 400) + "</script>",
        "<x>" + repeat("BBDecode.UpdateBBCodeNow ", 400) + "</script>",
        repeat("<i>a</i><script>BBDecode.UpdateBBCodeNow();</script>\r\n", 300),
        repeat("<script>" + repeat("<script>BBDecode.UpdateBBCodeNow();</script>", 3) +
                   "BBDecode.UpdateBBCodeNow</script>",
               100),
        repeat("<li>" + kOpen + "<p>" + kC + "</p></div>\r\n</li>\r\n", 200) + kTail,
    };
    for (const std::string& text : cases) ASSERT_TRUE(SameAsLiteral(text));
}

// ---- Generated skins ----------------------------------------------------

class SkinGenerator {
public:
    explicit SkinGenerator(uint64_t seed) : m_rng(seed) {}

    std::string Next()
    {
        std::string text;
        const int pieces = Below(2) == 0 ? 1 + Below(12) : 1 + Below(60);
        for (int k = 0; k < pieces; ++k) text += Piece();
        return text;
    }

private:
    int Below(int n) { return static_cast<int>(m_rng() % static_cast<uint64_t>(n)); }
    const std::string& Pick(const std::vector<std::string>& from)
    {
        return from[static_cast<std::size_t>(Below(static_cast<int>(from.size())))];
    }
    // Letters of a tag in a random mix of cases.
    std::string MixCase(std::string s)
    {
        for (char& c : s) {
            if (c >= 'a' && c <= 'z' && Below(4) == 0) c = static_cast<char>(c - 32);
        }
        return s;
    }
    std::string Token() { return Below(3) == 0 ? kG : kC; }
    std::string Blanks()
    {
        static const std::vector<std::string> blanks = {"",     "",   " ",  "  ",      "\t",
                                                        "\r\n", "\r", "\n", " \t\r\n", "\r\n\r\n"};
        return Pick(blanks);
    }
    std::string Filler()
    {
        return std::string(static_cast<std::size_t>(Below(26)), "ab "[Below(3)]);
    }

    std::string Piece()
    {
        switch (Below(8)) {
            case 0:
                return Token();
            case 1:
                return Wrapper();
            case 2:
                return Paragraph();
            case 3:
                return ScriptElement();
            default:
                return Fragment();
        }
    }

    std::string Wrapper()
    {
        static const std::vector<std::string> opens = {"<div class=\"bbcode\">",
                                                       "<div class=\"bbcode\" id=\"x\">",
                                                       "<div class=\"BBCode\"",
                                                       "<div class=bbcode>",
                                                       "<div class='bbcode'>",
                                                       "<div>",
                                                       "<textarea class=\"bbcode\">",
                                                       "<textarea class=\"bbcode\" rows=\"5\">",
                                                       "<textarea>",
                                                       "<div id=\"a\" class=\"bbcode\">"};
        static const std::vector<std::string> closes = {"</div>",      "</div >",         "</div",
                                                        "</textarea>", "</textarea\r\n>", "</p>"};
        std::string inner = Token();
        switch (Below(5)) {
            case 0:
                inner = MixCase("<p>") + Filler() + inner + Filler() + MixCase("</p>");
                break;
            case 1:
                inner = MixCase("<p class=\"bbcode\">") + inner + "</p>";
                break;
            case 2:
                inner = Blanks() + inner + Blanks();
                break;
            case 3:
                inner = MixCase("<pre>") + inner + MixCase("</pre>");
                break;
            default:
                break;
        }
        return MixCase(Pick(opens)) + Blanks() + inner + Blanks() + MixCase(Pick(closes)) +
               Blanks();
    }

    std::string Paragraph()
    {
        std::string text = MixCase(Below(3) == 0 ? "<p class=\"c\">" : "<p>") + Filler() + Token();
        for (int k = Below(3); k > 0; --k) text += Filler() + Token();
        return text + Filler() + MixCase(Below(4) == 0 ? "</p" : "</p>") + Blanks();
    }

    std::string ScriptElement()
    {
        static const std::vector<std::string> calls = {
            "BBDecode.UpdateBBCodeNow();",   "BBDecode.ResetTimer();",
            "BBDecode.ResetTimer",           "BBDecode.UpdateBBCodeNow",
            "src=\"./images/bbcode35.js\">", "bbdecode.resettimer();"};
        std::string text = MixCase(Below(2) ? "<script>" : "<script type=\"text/javascript\">");
        if (Below(4) == 0) text += "if (a<b) ";
        text += Blanks() + Pick(calls) + Blanks();
        if (Below(3) == 0) text += Pick(calls);
        return text + MixCase(Below(5) ? "</script>" : "</script") + Blanks();
    }

    std::string Fragment()
    {
        static const std::vector<std::string> fragments = {"[##_",
                                                           "[##_rp_rep_desc_##",
                                                           "[##_RP_REP_DESC_##]",
                                                           "[##_guest_rep_desc_#]",
                                                           "[##_rp_rep_name_##]",
                                                           "<p>",
                                                           "</p>",
                                                           "</p >",
                                                           "<p",
                                                           "</p",
                                                           "<pre>",
                                                           "</pre>",
                                                           "<param>",
                                                           "<div>",
                                                           "</div>",
                                                           "</div <",
                                                           "<div class=\"bbcode\">",
                                                           "<textarea>",
                                                           "</textarea>",
                                                           "<span>",
                                                           "</span>",
                                                           "<br>",
                                                           "<",
                                                           ">",
                                                           "</",
                                                           "\"bbcode\"",
                                                           "\"BBCODE\"",
                                                           "</head>",
                                                           "</HEAD>",
                                                           "</header>",
                                                           "<head>",
                                                           "<script>",
                                                           "</script>",
                                                           "=\"./images/bbcode",
                                                           "<img src=\"./images/bbcode/i.png\">",
                                                           "BBDecode.ResetTimer();",
                                                           "BBDecode.ResetTimer",
                                                           "BBDecode.UpdateBBCodeNow",
                                                           "\xED\x95\x9C\xEA\xB8\x80",
                                                           "&nbsp;",
                                                           "x",
                                                           "abc",
                                                           "Comment: ",
                                                           " ",
                                                           "\t",
                                                           "\r\n",
                                                           "\r",
                                                           "\n",
                                                           kLine};
        std::string text = Pick(fragments);
        return text[0] == '<' ? MixCase(text) : text;
    }

    std::mt19937_64 m_rng;
};

uint64_t FromEnvironment(const char* name, uint64_t fallback)
{
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? std::strtoull(value, nullptr, 10) : fallback;
}

// With ORLIMO_DIFF_DUMP=FILE, every skin tested and what the Apply and Remove
// commands make of it go to FILE, each text as a 32-bit little-endian length
// and its bytes, for the WebAssembly build to match (web/test/).
class CommandDump {
public:
    CommandDump()
    {
        if (const char* path = std::getenv("ORLIMO_DIFF_DUMP")) m_file.open(path, std::ios::binary);
    }
    void Add(const std::string& skin)
    {
        if (!m_file.is_open()) return;
        Write(skin);
        for (auto command : {&CSkinPatchCore::OnApplyBBCode, &CSkinPatchCore::OnRemoveBBCode}) {
            FakeHost host(skin);
            (host.*command)();
            Write(host.text);
            Write(host.messages.back());
        }
    }

private:
    void Write(const std::string& text)
    {
        const auto n = static_cast<uint32_t>(text.size());
        const char length[4] = {static_cast<char>(n), static_cast<char>(n >> 8),
                                static_cast<char>(n >> 16), static_cast<char>(n >> 24)};
        m_file.write(length, 4).write(text.data(), static_cast<std::streamsize>(text.size()));
    }
    std::ofstream m_file;
};

// Each generated skin, and the skin after the literal Add (so that Remove
// meets many well-formed wrappers), against the oracle.
TEST(Differential, GeneratedSkins)
{
    const uint64_t seed = FromEnvironment("ORLIMO_DIFF_SEED", 20240611);
    const uint64_t iterations = FromEnvironment("ORLIMO_DIFF_ITERATIONS", 3000);
    SkinGenerator generator(seed);
    CommandDump dump;
    for (uint64_t k = 0; k < iterations; ++k) {
        const std::string skin = generator.Next();
        const std::string added = oracle::LiteralAdd(skin).text;
        const std::string label =
            "seed " + std::to_string(seed) + " iteration " + std::to_string(k);
        ASSERT_TRUE(SameAsLiteral(skin, label));
        ASSERT_TRUE(SameAsLiteral(added, label + " after Add"));
        dump.Add(skin);
        dump.Add(added);
    }
}

}  // namespace
