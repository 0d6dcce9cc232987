// Literals and the table-row check shared by the transform tests.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "fake_host.h"

namespace skin {

inline const std::string kC = "[##_rp_rep_desc_##]";     // comment token
inline const std::string kG = "[##_guest_rep_desc_##]";  // guest-book token
inline const std::string kOpen = "<div class=\"bbcode\">";
inline const std::string kClose = "</div>";
inline const std::string kLine =
    "<script type=\"text/javascript\" src=\"./images/bbcode35.js\"></script>\r\n";
// Enough bytes after a token for the add scan, which starts 33 bytes from the end.
inline const std::string kTail = "\r\n<!-- the end of the list -->";

// One row of a transform table: the whole text before and after, and the count.
struct TransformCase {
    const char* label;
    std::string before;
    std::string after;
    int32_t count;
};

// Runs `transform` on the row's text and checks text, count and terminator.
inline void ExpectTransform(int32_t (CSkinPatchCore::*transform)(), const TransformCase& c)
{
    FakeHost host;
    host.Load(c.before);
    const int32_t count = (host.*transform)();
    EXPECT_EQ(host.Text(), c.after) << c.label;
    EXPECT_EQ(count, c.count) << c.label;
    EXPECT_TRUE(host.TerminatedAtLength()) << c.label;
}

}  // namespace skin
