#include "skin_patch_dlg.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>

#include "about_dlg.h"
#include "clipboard.h"
#include "data_exchange.h"
#include "dialog_template.h"
#include "gdi.h"
#include "hangul_face.h"
#include "refusal.h"
#include "resource.h"
#include "skin_file.h"
#include "string_resource.h"
#include "unicode.h"
#include "version.h"
#include "win_app.h"

namespace {

constexpr const wchar_t* kProductName = L"" ORLIMO_PRODUCT_NAME;

// The caption of every message box: the application's name.
[[nodiscard]] const wchar_t* AppName() noexcept
{
    CWinApp* app = CWinApp::Current();
    try {
        return app ? app->AppName() : kProductName;
    } catch (const std::bad_alloc&) {
        return kProductName;
    }
}

[[nodiscard]] HICON LoadAppIcon(int size) noexcept
{
    return static_cast<HICON>(::LoadImageW(orlimo::ui::ResourceModule(),
                                           MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, size, size,
                                           LR_SHARED));
}

// The files of one drop, released at the end.
class DroppedFiles {
public:
    explicit DroppedFiles(HDROP drop) noexcept : m_drop(drop) {}
    DroppedFiles(const DroppedFiles&) = delete;
    DroppedFiles& operator=(const DroppedFiles&) = delete;
    ~DroppedFiles() { ::DragFinish(m_drop); }

    [[nodiscard]] UINT Count() const noexcept
    {
        return ::DragQueryFileW(m_drop, 0xFFFFFFFF, nullptr, 0);
    }
    // Throws std::bad_alloc.
    [[nodiscard]] std::wstring Path(UINT index) const
    {
        std::wstring path(::DragQueryFileW(m_drop, index, nullptr, 0) + 1, L'\0');
        path.resize(::DragQueryFileW(m_drop, index, path.data(), static_cast<UINT>(path.size())));
        return path;
    }

private:
    HDROP m_drop;
};

}  // namespace

CSkinPatchDlg::CSkinPatchDlg(HWND parent)
    : CDialog(IDD_SKINPATCH_DIALOG, parent),
      m_hIcon(::LoadIconW(orlimo::ui::ResourceModule(), MAKEINTRESOURCEW(IDR_MAINFRAME))),
      m_hSmallIcon(LoadAppIcon(::GetSystemMetrics(SM_CXSMICON)))
{
}

CSkinPatchDlg::~CSkinPatchDlg() = default;  // the icons are shared resources

void CSkinPatchDlg::DoDataExchange(CDataExchange& dx)
{
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_SKIN_EDIT, m_editSkin);
}

void CSkinPatchDlg::PrepareTemplate(DialogTemplate& dialogTemplate)
{
    orlimo::ui::EnsureHangulFace(dialogTemplate);
    // Resizable and maximisable; the template's size is the smallest.
    dialogTemplate.AddStyle(WS_THICKFRAME | WS_MAXIMIZEBOX);
}

BOOL CSkinPatchDlg::PreTranslateMessage(MSG* msg)
{
    // Escape would close the dialog and lose the text: nothing sees it.
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE) return TRUE;
    return CDialog::PreTranslateMessage(msg);
}

BOOL CSkinPatchDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    if (HMENU systemMenu = ::GetSystemMenu(m_hWnd, FALSE)) {
        const std::wstring about(orlimo::ui::LoadStringView(IDS_ABOUTBOX));
        if (!about.empty()) {
            ::AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuW(systemMenu, MF_STRING, IDM_ABOUTBOX, about.c_str());
        }
    }

    ::SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL,
                   reinterpret_cast<LPARAM>(m_hSmallIcon ? m_hSmallIcon : m_hIcon));

    m_editSkin.SetLimitText(0);  // the most the control holds: no text is ever cut
    m_layout.Attach(m_hWnd);
    ::DragAcceptFiles(m_hWnd, TRUE);
    return TRUE;  // the focus goes to the first tab stop, the edit box
}

INT_PTR CSkinPatchDlg::DlgProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
        case WM_SYSCOMMAND:
            return OnSysCommand(static_cast<UINT>(wParam), lParam) ? SetMsgResult(0) : FALSE;
        case WM_PAINT:
            return OnPaint() ? SetMsgResult(0) : FALSE;
        case WM_QUERYDRAGICON:
            return reinterpret_cast<INT_PTR>(OnQueryDragIcon());
        case WM_HELP:
            return SetMsgResult(OnHelpInfo(reinterpret_cast<HELPINFO*>(lParam)));
        case WM_SIZE:
            m_layout.OnSize(wParam, LOWORD(lParam), HIWORD(lParam));
            return SetMsgResult(0);
        case WM_GETMINMAXINFO:
            m_layout.OnGetMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lParam));
            return SetMsgResult(0);
        case WM_DROPFILES:
            OnDropFiles(reinterpret_cast<HDROP>(wParam));
            return SetMsgResult(0);
        default:
            return CDialog::DlgProc(message, wParam, lParam);
    }
}

bool CSkinPatchDlg::OnClicked(int id)
{
    switch (id) {
        case IDC_APPLY:
            RunBusy([this] { OnApplyBBCode(); });
            return true;
        case IDC_PASTE:
            RunBusy([this] { OnPasteSkin(); });
            return true;
        case IDC_COPY:
            RunBusy([this] { OnCopySkin(); }, false);  // the text stays as it is
            return true;
        case IDC_REMOVE:
            RunBusy([this] { OnRemoveBBCode(); });
            return true;
        default:
            return CDialog::OnClicked(id);
    }
}

bool CSkinPatchDlg::OnSysCommand(UINT id, LPARAM)
{
    if ((id & 0xFFF0) != IDM_ABOUTBOX) return false;
    CAboutDlg about;
    about.DoModal();
    return true;
}

bool CSkinPatchDlg::OnPaint()
{
    if (!::IsIconic(m_hWnd)) return false;
    CPaintDC dc(m_hWnd);
    ::SendMessageW(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.m_hDC), 0);
    const int cx = ::GetSystemMetrics(SM_CXICON);
    const int cy = ::GetSystemMetrics(SM_CYICON);
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    const int x = (client.right - client.left - cx + 1) / 2;
    const int y = (client.bottom - client.top - cy + 1) / 2;
    ::DrawIcon(dc.m_hDC, x, y, m_hIcon);
    return true;
}

HICON CSkinPatchDlg::OnQueryDragIcon() const noexcept
{
    return m_hIcon;
}

void CSkinPatchDlg::OnPasteSkin()
{
    // The clipboard's text replaces the whole text as one edit, as a paste
    // over the whole selection would. With no text there (an image, nothing,
    // an owner that never renders its text) the text stays.
    std::wstring text;
    try {
        text = orlimo::ui::ClipboardText(m_hWnd);
    } catch (const orlimo::ui::ClipboardBusyError&) {
        throw orlimo::ui::Refusal(IDS_PASTE_BUSY);
    }
    if (text.empty()) throw orlimo::ui::Refusal(IDS_CLIPBOARD_NO_TEXT);
    m_editSkin.ReplaceAllText(text);
}

void CSkinPatchDlg::OnCopySkin()
{
    const std::wstring text = m_editSkin.GetWindowText();
    if (text.empty()) throw orlimo::ui::Refusal(IDS_NOTHING_TO_COPY);
    try {
        orlimo::ui::SetClipboardText(m_hWnd, text);
    } catch (const orlimo::ui::ClipboardBusyError&) {
        throw orlimo::ui::Refusal(IDS_COPY_BUSY);
    }
    // What went out stays selected, shown also while a button has the focus
    // (ES_NOHIDESEL).
    m_editSkin.SendMessage(EM_SETSEL, 0, -1);
}

void CSkinPatchDlg::OnDropFiles(HDROP drop)
{
    DroppedFiles files(drop);
    // Behind a modal box (a report, the About box) the dialog is disabled: a
    // drop would change the text the box speaks of.
    if (!::IsWindowEnabled(m_hWnd)) return;
    // The file's text goes in as a paste would; more files than one, or a
    // file that cannot be read as a skin, leave the text as it was.
    RunBusy([this, &files] {
        if (files.Count() != 1) throw orlimo::ui::Refusal(IDS_DROP_ONE_FILE);
        m_editSkin.ReplaceAllText(
            orlimo::ui::ReadSkinFile(files.Path(0), m_editSkin.GetLimitText()));
    });
}

BOOL CSkinPatchDlg::OnHelpInfo(HELPINFO*)
{
    CAboutDlg about;
    about.DoModal();
    return TRUE;
}

// ---- Host operations --------------------------------------------------------
// The text is converted once per command and let go once the core has its copy.

std::string_view CSkinPatchDlg::HostTextView()
{
    m_utf8Text = orlimo::ui::ToUtf8(m_editSkin.GetWindowText());
    return m_utf8Text;
}

void CSkinPatchDlg::HostTextCopied() noexcept
{
    std::string().swap(m_utf8Text);
}

void CSkinPatchDlg::HostSetText(std::string_view text)
{
    // Converted completely before the edit box is touched: a failure leaves
    // the old text in place.
    m_editSkin.ReplaceAllText(orlimo::ui::ToUtf16(text));
}

void CSkinPatchDlg::HostShowMessage(std::string_view utf8)
{
    // The reports are short; a fixed buffer keeps this free of allocation, so
    // that it cannot fail after the text has been stored.
    wchar_t message[256];
    const int units = ::MultiByteToWideChar(
        CP_UTF8, 0, utf8.data(), static_cast<int>(std::min<std::size_t>(utf8.size(), 255)), message,
        255);
    message[units > 0 ? units : 0] = L'\0';
    if (m_waitCursor) m_waitCursor->Restore();  // the work is done
    ::MessageBoxW(m_hWnd, message, AppName(), MB_OK);
}

// ---- Failures ------------------------------------------------------------------

template <typename Work>
void CSkinPatchDlg::RunBusy(Work work, bool focusEditBox)
{
    // The work throws before it changes the text, so the text is as it was
    // whenever one of these is shown.
    UINT failure = 0;
    {
        CWaitCursor wait;
        m_waitCursor = &wait;
        try {
            work();
        } catch (const orlimo::ui::Refusal& error) {
            failure = error.messageId;
        } catch (const std::bad_alloc&) {
            failure = IDS_OUT_OF_MEMORY;
        } catch (const orlimo::ui::UnpairedSurrogateError&) {
            failure = IDS_UNPAIRED_SURROGATE;
        } catch (const std::length_error&) {
            failure = IDS_TEXT_TOO_LONG;
        } catch (const std::exception&) {
            failure = IDS_COMMAND_FAILED;
        }
        m_waitCursor = nullptr;
    }
    std::string().swap(m_utf8Text);
    if (failure != 0) ShowErrorBox(failure);
    if (focusEditBox) FocusEditBox();
}

void CSkinPatchDlg::FocusEditBox() const noexcept
{
    // WM_NEXTDLGCTL moves the default-button frame along with the focus, but
    // selects the whole text: the selection from before is put back.
    DWORD start = 0;
    DWORD end = 0;
    m_editSkin.SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                           reinterpret_cast<LPARAM>(&end));
    ::SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_editSkin.m_hWnd), TRUE);
    m_editSkin.SendMessage(EM_SETSEL, start, end);
}

void CSkinPatchDlg::ShowErrorBox(UINT messageId) const noexcept
{
    // The string is read in place and copied to the stack: showing it needs no
    // memory from the heap, which may be what ran out.
    wchar_t message[512];
    const std::wstring_view text = orlimo::ui::LoadStringView(messageId);
    const std::size_t n = text.copy(message, std::size(message) - 1);
    message[n] = L'\0';
    ::MessageBoxW(m_hWnd, message, AppName(), MB_OK | MB_ICONERROR);
}

void CSkinPatchDlg::OnHandlerException() noexcept
{
    std::string().swap(m_utf8Text);
    ShowErrorBox(IDS_COMMAND_FAILED);
}
