#include "hangul_face.h"

#include <string>
#include <vector>

#include "dialog_template.h"
#include "gdi.h"

namespace orlimo::ui {
namespace {

// Every Hangul syllable of the two dialogs' captions.
constexpr std::wstring_view kCaptionHangul =
    L"클립보드에서붙이기적용해제로복사종료대하여확인블그스킨를넣고뺍니다";

// Korean faces, most common first: Windows since Vista has 맑은 고딕; older
// Korean systems have 돋움 and 굴림 under their English names too; Linux
// desktops (and Wine through them) usually have Nanum or Noto.
constexpr std::wstring_view kKoreanFaces[] = {
    L"맑은 고딕", L"Malgun Gothic",    L"돋움",         L"Dotum",   L"Gulim", L"NanumGothic",
    L"나눔고딕",  L"Noto Sans CJK KR", L"Noto Sans KR", L"UnDotum",
};

}  // namespace

bool FaceHasGlyphs(std::wstring_view face, std::wstring_view text)
{
    LOGFONTW font{};
    font.lfHeight = -16;
    font.lfCharSet = DEFAULT_CHARSET;
    if (face.size() >= LF_FACESIZE) return false;
    face.copy(font.lfFaceName, face.size());

    UniqueFont handle(::CreateFontIndirectW(&font));
    WindowDC screen(nullptr);
    if (!handle || !screen.get()) return false;
    SelectedObject selected(screen.get(), handle.get());

    std::vector<WORD> glyphs(text.size());
    const std::wstring characters(text);
    if (::GetGlyphIndicesW(screen.get(), characters.c_str(), static_cast<int>(characters.size()),
                           glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR) {
        return false;
    }
    for (WORD glyph : glyphs) {
        if (glyph == 0xFFFF) return false;
    }
    return true;
}

void EnsureHangulFace(DialogTemplate& dialogTemplate)
{
    const std::wstring_view face = dialogTemplate.FaceName();
    if (face.empty() || FaceHasGlyphs(face, kCaptionHangul)) return;
    for (std::wstring_view candidate : kKoreanFaces) {
        if (FaceHasGlyphs(candidate, kCaptionHangul)) {
            dialogTemplate.SetFaceName(candidate);
            return;
        }
    }
}

}  // namespace orlimo::ui
