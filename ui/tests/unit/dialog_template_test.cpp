// A template given another face keeps everything else: the controls come out
// of the rewritten template exactly as they went in.
#include "dialog_template.h"

#include <gtest/gtest.h>

#include "resource.h"
#include "template_reader.h"

namespace {

DialogTemplateValues Values(const DialogTemplate& t)
{
    // The template's size is not kept; a generous bound is enough to read it.
    return TemplateReader(t.Data(), 1 << 16).Read();
}

void ExpectSameApartFromFace(const DialogTemplateValues& a, const DialogTemplateValues& b)
{
    EXPECT_EQ(a.style, b.style);
    EXPECT_EQ(a.caption, b.caption);
    EXPECT_EQ(a.pointSize, b.pointSize);
    EXPECT_EQ(a.charset, b.charset);
    ASSERT_EQ(a.items.size(), b.items.size());
    for (std::size_t i = 0; i < a.items.size(); ++i) {
        EXPECT_EQ(a.items[i].id, b.items[i].id);
        EXPECT_EQ(a.items[i].style, b.items[i].style);
        EXPECT_EQ(a.items[i].title, b.items[i].title);
        EXPECT_EQ(a.items[i].titleOrdinal, b.items[i].titleOrdinal);
        EXPECT_EQ(a.items[i].classOrdinal, b.items[i].classOrdinal);
        EXPECT_EQ(a.items[i].x + a.items[i].cx, b.items[i].x + b.items[i].cx);
    }
}

TEST(DialogTemplate, NewFaceKeepsTheControls)
{
    // Faces of odd and even length move the controls by different amounts.
    for (int id : {IDD_SKINPATCH_DIALOG, IDD_ABOUTBOX}) {
        for (const wchar_t* face : {L"X", L"NanumGothic", L"맑은 고딕", L"Noto Sans CJK KR"}) {
            DialogTemplate t;
            ASSERT_TRUE(t.Load(::GetModuleHandleW(nullptr), static_cast<UINT>(id)));
            const DialogTemplateValues before = Values(t);
            EXPECT_EQ(t.FaceName(), L"굴림");
            t.SetFaceName(face);
            EXPECT_EQ(t.FaceName(), face);
            const DialogTemplateValues after = Values(t);
            EXPECT_EQ(after.face, face);
            ExpectSameApartFromFace(before, after);
        }
    }
}

TEST(DialogTemplate, MissingTemplateIsReported)
{
    DialogTemplate t;
    EXPECT_FALSE(t.Load(::GetModuleHandleW(nullptr), 4242));
}

}  // namespace
