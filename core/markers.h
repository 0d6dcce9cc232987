// The byte strings the transforms search for and insert. All ASCII.
#pragma once

#include <string_view>

namespace orlimo::markers {

// Added in front of the first closing head tag.
inline constexpr std::string_view kHeadClose = "</head";
inline constexpr std::string_view kScriptLine =
    "<script type=\"text/javascript\" src=\"./images/bbcode35.js\"></script>\r\n";
// Used unless the head tag begins the text or a line.
inline constexpr std::string_view kScriptLineOnNewLine =
    "\r\n<script type=\"text/javascript\" src=\"./images/bbcode35.js\"></script>\r\n";

// The comment-text tokens and their common beginning.
inline constexpr std::string_view kTokenStart = "[##_";
inline constexpr std::string_view kCommentToken = "[##_rp_rep_desc_##]";
inline constexpr std::string_view kGuestToken = "[##_guest_rep_desc_##]";

// The wrapper around a token or its paragraph.
inline constexpr std::string_view kWrapOpen = "<div class=\"bbcode\">";
inline constexpr std::string_view kWrapClose = "</div>";

// Tag names; every tag test is a case-folding prefix test.
inline constexpr std::string_view kParagraphTag = "p";
inline constexpr std::string_view kDivTag = "div";
inline constexpr std::string_view kTextareaTag = "textarea";
inline constexpr std::string_view kScriptTag = "script";

// The class attribute value, quotes included, that marks a wrapper.
inline constexpr std::string_view kClassMarker = "\"bbcode\"";

// Script elements and statements that load or drive the BBCode script.
inline constexpr std::string_view kScriptLoader = "=\"./images/bbcode";
inline constexpr std::string_view kUpdateCall = "BBDecode.UpdateBBCodeNow";
inline constexpr std::string_view kResetCall = "BBDecode.ResetTimer";
inline constexpr std::string_view kResetStatement = "BBDecode.ResetTimer();";
// What the three needles above have in common.
inline constexpr std::string_view kCallPrefix = "BBDecode.";

}  // namespace orlimo::markers
