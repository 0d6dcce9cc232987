// The main dialog: the skin text in one edit box, five buttons under it, the
// About entry in the system menu. It is the host of the core's commands: the
// edit box's UTF-16 text goes to the core as UTF-8 and comes back the same
// way, so no character is lost whatever the system's code page.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "dialog.h"
#include "edit.h"
#include "skin_patch_core.h"

class CSkinPatchDlg : public CDialog, public CSkinPatchCore {
public:
    // What the user can type or paste into the edit box, in UTF-16 units.
    static constexpr UINT kEditLimit = 1000000;

    explicit CSkinPatchDlg(HWND parent = nullptr);
    ~CSkinPatchDlg() override;

protected:
    void DoDataExchange(CDataExchange& dx) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnInitDialog() override;
    void PrepareTemplate(DialogTemplate& dialogTemplate) override;
    INT_PTR DlgProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnHandlerException() noexcept override;

    // Handlers. Those that return bool say whether they handled the message;
    // false leaves it to the default processing.
    bool OnSysCommand(UINT id, LPARAM lParam);
    bool OnPaint();
    [[nodiscard]] HICON OnQueryDragIcon() const noexcept;
    void OnPasteSkin() const noexcept;
    void OnCopySkin() const noexcept;
    BOOL OnHelpInfo(HELPINFO* info);

    // Host operations of the core.
    [[nodiscard]] int32_t HostTextLength() override;
    void HostGetText(char* dest, int32_t capacity) override;
    void HostSetText(std::string_view text) override;
    void HostShowMessage(std::string_view utf8) override;

    CEdit m_editSkin;
    HICON m_hIcon;

private:
    // Runs Apply or Remove; a failure is shown in an error box and leaves the
    // edit box's text as it was.
    void RunCommand(void (CSkinPatchCore::*command)());
    void ShowErrorBox(UINT messageId) const noexcept;

    HICON m_hSmallIcon;
    std::string m_utf8Text;  // the edit box's text, from HostTextLength to HostGetText
};
