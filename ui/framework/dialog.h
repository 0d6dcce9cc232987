// A dialog built from a template resource.
//
// DoModal runs a message loop of its own, so every queued message reaches
// PreTranslateMessage before the dialog manager sees it. Window messages
// reach the object through one static dialog procedure, which finds it in
// DWLP_USER and calls the member DlgProc; a derived class dispatches there to
// its handlers and passes the rest on to its base. A button's click is
// decoded once, here, and goes to OnClicked. No C++ exception leaves a
// handler for the window manager: OnHandlerException deals with it.
#pragma once

#include "win32.h"

class CDataExchange;
class DialogTemplate;

class CDialog {
public:
    CDialog(UINT templateId, HWND parent) noexcept;
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;
    virtual ~CDialog();

    // Creates the window owned by `owner` without running it; the template
    // says whether it is visible. nullptr on failure. Throws std::bad_alloc.
    HWND Create(HWND owner);
    // Creates the window, disables its owner (the parent given at
    // construction, or else the active window) and runs the loop until
    // EndDialog. Returns EndDialog's result, or -1 when the window could not
    // be created.
    INT_PTR DoModal();
    // Ends the modal loop once the current message has been handled.
    void EndDialog(INT_PTR result) noexcept;

protected:
    // Binds the controls (DoDataExchange) and centres the window.
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange& dx);
    // TRUE when the message has been dealt with and must not be dispatched.
    virtual BOOL PreTranslateMessage(MSG* msg);
    virtual void OnOK();
    virtual void OnCancel();
    // The click of the button `id` (Enter and Escape come as clicks of IDOK
    // and IDCANCEL); true when handled. IDOK and IDCANCEL go to OnOK and
    // OnCancel.
    virtual bool OnClicked(int id);
    // A last chance to change the template, e.g. its font face.
    virtual void PrepareTemplate(DialogTemplate& dialogTemplate);
    // One message; TRUE when handled. Handlers hand back a message result
    // with SetMsgResult (apart from the few messages whose result a dialog
    // procedure returns itself, such as WM_QUERYDRAGICON).
    virtual INT_PTR DlgProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Runs inside the catch block when a handler has thrown; the message
    // counts as handled.
    virtual void OnHandlerException() noexcept;

    INT_PTR SetMsgResult(LRESULT result) const noexcept;

    HWND m_hWnd = nullptr;

private:
    static INT_PTR CALLBACK StaticDlgProc(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam) noexcept;
    void RunModalLoop();
    void CenterOverOwner() const noexcept;

    UINT m_templateId;
    HWND m_hParent;
    bool m_ended = false;
    INT_PTR m_result = IDCANCEL;
};
