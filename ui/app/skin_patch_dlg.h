// The main dialog: the skin text in one edit box, five buttons under it, the
// About entry in the system menu. It is the host of the core's commands: the
// edit box's UTF-16 text goes to the core as UTF-8 and comes back the same
// way, so no character is lost whatever the system's code page. The window
// can be resized (the edit box takes the room) and takes a dropped skin file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "anchor_layout.h"
#include "dialog.h"
#include "edit.h"
#include "skin_patch_core.h"
#include "wait_cursor.h"

class CSkinPatchDlg : public CDialog, public TextViewHost {
public:
    explicit CSkinPatchDlg(HWND parent = nullptr);
    ~CSkinPatchDlg() override;

protected:
    void DoDataExchange(CDataExchange& dx) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnInitDialog() override;
    void PrepareTemplate(DialogTemplate& dialogTemplate) override;
    INT_PTR DlgProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnClicked(int id) override;
    void OnHandlerException() noexcept override;

    // Handlers. Those that return bool say whether they handled the message;
    // false leaves it to the default processing.
    bool OnSysCommand(UINT id, LPARAM lParam);
    bool OnPaint();
    [[nodiscard]] HICON OnQueryDragIcon() const noexcept;
    void OnPasteSkin();
    void OnCopySkin();
    void OnDropFiles(HDROP drop);
    BOOL OnHelpInfo(HELPINFO* info);

    // Host operations of the core.
    [[nodiscard]] std::string_view HostTextView() override;
    void HostTextCopied() noexcept override;
    void HostSetText(std::string_view text) override;
    void HostShowMessage(std::string_view utf8) override;

    CEdit m_editSkin;
    HICON m_hIcon;

private:
    // Runs a button's work (a command, paste, copy, a dropped file) under the
    // wait cursor; a failure is shown in an error box and leaves the edit
    // box's text as it was. Then, with `focusEditBox`, the edit box has the
    // focus, so that Ctrl+Z takes the work back.
    template <typename Work>
    void RunBusy(Work work, bool focusEditBox = true);
    void FocusEditBox() const noexcept;
    void ShowErrorBox(UINT messageId) const noexcept;

    HICON m_hSmallIcon;
    CAnchorLayout m_layout;
    CWaitCursor* m_waitCursor = nullptr;  // while RunBusy runs: ended before a report shows
    std::string m_utf8Text;               // the edit box's text, until the core has its copy
};
