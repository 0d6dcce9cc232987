#include "skin_inputs.h"

#include <fstream>
#include <sstream>
#include <string_view>

namespace bench {
namespace {

const std::string kC = "[##_rp_rep_desc_##]";
const std::string kG = "[##_guest_rep_desc_##]";
const std::string kWrap = "<div class=\"bbcode\">";
const std::string kLine =
    "<script type=\"text/javascript\" src=\"./images/bbcode35.js\"></script>\r\n";

// Repeats `units` in turn until the text holds about `bytes` bytes.
std::string Repeat(std::size_t bytes, const std::vector<std::string>& units,
                   std::string_view head = {}, std::string_view tail = {})
{
    std::string text(head);
    text.reserve(bytes + 256);
    for (std::size_t k = 0; text.size() + tail.size() < bytes; ++k) text += units[k % units.size()];
    text += tail;
    return text;
}

const std::string kSkinHead =
    "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\">\r\n"
    "<html xmlns=\"http://www.w3.org/1999/xhtml\">\r\n<head>\r\n"
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\" />\r\n"
    "<title>[##_page_title_##] :: [##_title_##]</title>\r\n"
    "<link rel=\"stylesheet\" media=\"screen\" type=\"text/css\" href=\"./style.css\" />\r\n"
    "<link rel=\"alternate\" type=\"application/rss+xml\" title=\"[##_title_##]\" "
    "href=\"[##_rss_url_##]\" />\r\n"
    "<script type=\"text/javascript\" src=\"./images/common.js\"></script>\r\n"
    "<style type=\"text/css\">\r\n  #content { width: 640px; float: left; }\r\n"
    "  .comment p { margin: 0 0 4px 0; line-height: 1.6em; }\r\n</style>\r\n"
    "</head>\r\n<body id=\"[##_body_id_##]\">\r\n<s_t3>\r\n<div id=\"wrap\">\r\n"
    "  <div id=\"header\"><h1><a href=\"[##_blog_link_##]\">[##_title_##]</a></h1>"
    "<p class=\"desc\">\xEB\xB8\x94\xEB\xA1\x9C\xEA\xB7\xB8 \xEC\x84\xA4\xEB\xAA\x85"
    "</p></div>\r\n";

// One article with its comments and one guest-book block: what a skin
// repeats for its list, index and guest-book views.
const std::string kSkinBlock =
    "  <s_article_rep>\r\n  <div class=\"article\">\r\n"
    "    <h2 class=\"title\"><a href=\"[##_article_rep_link_##]\">[##_article_rep_title_##]</a>"
    "</h2>\r\n"
    "    <div class=\"info\">[##_article_rep_date_##] | \xEB\xB6\x84\xEB\xA5\x98: "
    "<a href=\"[##_article_rep_category_link_##]\">[##_article_rep_category_##]</a></div>\r\n"
    "    <div class=\"body\">[##_article_rep_desc_##]</div>\r\n"
    "    <s_rp><div class=\"comment\">\r\n      <ol>\r\n      <s_rp_rep>\r\n"
    "        <li id=\"[##_rp_rep_id_##]\">\r\n"
    "          <span class=\"name\">[##_rp_rep_name_##]</span> "
    "<span class=\"date\">[##_rp_rep_date_##]</span>\r\n"
    "          <p>" +
    kC +
    "</p>\r\n"
    "          <a href=\"#\" onclick=\"[##_rp_rep_onclick_reply_##]\">\xEB\x8B\xB5\xEA\xB8\x80"
    "</a>\r\n"
    "          <ul><s_rp2_rep><li id=\"[##_rp_rep_id_##]\"><span>[##_rp_rep_name_##]</span>"
    "\r\n            <p class=\"reply\">&nbsp;" +
    kC +
    "</p></li></s_rp2_rep></ul>\r\n"
    "        </li>\r\n      </s_rp_rep>\r\n      </ol>\r\n"
    "      <form method=\"post\" action=\"[##_rp_input_form_action_##]\">"
    "<textarea name=\"[##_rp_input_comment_##]\" rows=\"5\" cols=\"50\"></textarea>"
    "<input type=\"submit\" value=\"\xEB\x93\xB1\xEB\xA1\x9D\" /></form>\r\n"
    "    </div></s_rp>\r\n  </div>\r\n  </s_article_rep>\r\n"
    "  <s_guest><div class=\"guest\">\r\n    <s_guest_rep>\r\n"
    "    <div class=\"entry\" id=\"[##_guest_rep_id_##]\">\r\n"
    "      <strong>[##_guest_rep_name_##]</strong> <em>[##_guest_rep_date_##]</em>\r\n"
    "      <div class=\"text\">" +
    kG +
    "</div>\r\n"
    "      <s_guest_reply_rep><div class=\"reply\">" +
    kG +
    "</div></s_guest_reply_rep>\r\n"
    "    </div>\r\n    </s_guest_rep>\r\n  </div></s_guest>\r\n"
    "  <div class=\"notice\">\xEC\x95\x88\xEB\x85\x95\xED\x95\x98\xEC\x84\xB8\xEC\x9A\x94. "
    "<b>[##_blogger_##]</b> \xEC\x9D\x98 \xEB\xB8\x94\xEB\xA1\x9C\xEA\xB7\xB8 "
    "<img src=\"./images/icon.gif\" alt=\"\" /></div>\r\n";

const std::string kSkinTail =
    "  <div id=\"footer\">[##_copyright_##] <a href=\"[##_blog_link_##]\">"
    "[##_title_##]</a></div>\r\n</div>\r\n</s_t3>\r\n</body>\r\n</html>\r\n";

std::string RealisticSkin(std::size_t bytes)
{
    return Repeat(bytes, {kSkinBlock}, kSkinHead, kSkinTail);
}

std::string PackedTokens(std::size_t bytes)
{
    return Repeat(bytes, {"<p>" + kC + "</p>\r\n", "<li>" + kG + "</li>\r\n",
                          "<p class=\"c\">&nbsp;" + kC + "</p>\r\n", kC + " " + kG + "\r\n"});
}

std::string PackedLoaders(std::size_t bytes)
{
    return Repeat(bytes, {"<b>x</b>\r\n" + kLine});
}

std::string PackedUpdateCalls(std::size_t bytes)
{
    return Repeat(bytes, {"<i>a</i><script>BBDecode.UpdateBBCodeNow();</script>\r\n"});
}

std::string PackedResetCalls(std::size_t bytes)
{
    return Repeat(bytes, {"<i>a</i><script type=\"text/javascript\">\r\nBBDecode.ResetTimer();"
                          "\r\n</script>\r\n"});
}

std::string PackedResetStatements(std::size_t bytes)
{
    return Repeat(bytes, {"<a onclick=\"BBDecode.ResetTimer(); go()\">x</a>\r\n"});
}

std::string PackedDivWrappers(const std::string& token, std::size_t bytes)
{
    return Repeat(bytes, {"<li>" + kWrap + "<p>" + token + "</p></div>\r\n</li>\r\n",
                          "<li>" + kWrap + token + "</div>  \r\n</li>\r\n"});
}

std::string PackedTextareas(const std::string& token, std::size_t bytes)
{
    return Repeat(
        bytes, {"<li><textarea class=\"bbcode\" rows=\"5\">" + token + "</textarea>\r\n</li>\r\n"});
}

// Tokens two bytes apart in one paragraph: every token tests the paragraph,
// which is wrapped once.
std::string TokensInOneParagraph(std::size_t bytes)
{
    return Repeat(bytes, {kC + "xx"}, "<p>", "</p>");
}

// No "<" or ">" anywhere near the pieces: every tag search runs far.
std::string TagFreeRuns(std::size_t bytes)
{
    return Repeat(bytes, {kC + " BBDecode.UpdateBBCodeNow " + kG + " BBDecode.ResetTimer "}, "<b>",
                  "</script></p>");
}

std::string TokenStarts(std::size_t bytes)
{
    return Repeat(bytes, {"[##_"});
}

}  // namespace

std::string ExampleSkin(bool& generated)
{
    std::ifstream file(ORLIMO_EXAMPLE_SKIN, std::ios::binary);
    if (file) {
        generated = false;
        std::ostringstream bytes;
        bytes << file.rdbuf();
        return bytes.str();
    }
    generated = true;
    return kSkinHead + kSkinBlock + kSkinTail;
}

const std::vector<InputKind>& InputKinds()
{
    static const std::vector<InputKind> kinds = {
        {"realistic", RealisticSkin, false},
        {"tokens", PackedTokens, true},
        {"p1-loaders", PackedLoaders, true},
        {"p2-update", PackedUpdateCalls, true},
        {"p3-reset", PackedResetCalls, true},
        {"p4-statements", PackedResetStatements, true},
        {"p5-div-comment", [](std::size_t b) { return PackedDivWrappers(kC, b); }, true},
        {"p6-textarea-comment", [](std::size_t b) { return PackedTextareas(kC, b); }, true},
        {"p7-div-guest", [](std::size_t b) { return PackedDivWrappers(kG, b); }, true},
        {"p8-textarea-guest", [](std::size_t b) { return PackedTextareas(kG, b); }, true},
        {"one-paragraph", TokensInOneParagraph, true},
        {"tag-free-runs", TagFreeRuns, true},
        {"token-starts", TokenStarts, true},
    };
    return kinds;
}

}  // namespace bench
