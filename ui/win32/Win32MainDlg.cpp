#include "ui/win32/Win32MainDlg.h"

#include <string>

#include <commctrl.h>
#include <commdlg.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include "text/Unicode.h"
#include "ui/win32/DialogTemplateWriter.h"
#include "ui/win32/Win32AboutDlg.h"

namespace tavrel
{

namespace
{
constexpr int32_t kPathIds[] = {IDC_INPUT, IDC_TEXT, IDC_OUTPUT};
constexpr int32_t kOptionIds[] = {IDC_REPLACE85, IDC_FIX_QUOTES, IDC_FIX_LETTER_L, IDC_REMOVE_DIGIT_SPACES};
constexpr UINT_PTR kDropSubclassId = 1;

std::wstring Wide(std::u16string_view text)
{
    return std::wstring(text.begin(), text.end());
}

std::wstring Wide(const char* pszUtf8)
{
    return Wide(Utf8ToU16(pszUtf8 != nullptr ? pszUtf8 : ""));
}

std::wstring WindowText(HWND hWnd)
{
    std::wstring strText(static_cast<size_t>(GetWindowTextLengthW(hWnd)) + 1, L'\0');
    strText.resize(static_cast<size_t>(GetWindowTextW(hWnd, strText.data(), static_cast<int>(strText.size()))));
    return strText;
}

// "name (*.a *.b);;All files (*)" as the file dialog's pairs: "name (*.a *.b)", "*.a;*.b", ... each ended by NUL.
std::wstring DialogFilter(FileFilter nFilter)
{
    const std::wstring strQt = Wide(FileFilterText(nFilter));
    std::wstring strResult;
    size_t nStart = 0;
    while (nStart <= strQt.size())
    {
        size_t nEnd = strQt.find(L";;", nStart);
        if (nEnd == std::wstring::npos)
            nEnd = strQt.size();
        const std::wstring strItem = strQt.substr(nStart, nEnd - nStart);
        const size_t nOpen = strItem.rfind(L'(');
        std::wstring strPattern = nOpen == std::wstring::npos ? L"*" : strItem.substr(nOpen + 1);
        if (!strPattern.empty() && strPattern.back() == L')')
            strPattern.pop_back();
        for (wchar_t& c : strPattern)
            c = c == L' ' ? L';' : c;
        strResult += strItem + L'\0' + (strPattern == L"*" ? L"*.*" : strPattern) + L'\0';
        nStart = nEnd + 2;
    }
    return strResult;
}

// The folder part of a path field's text, where the file dialog opens.
std::wstring FolderOf(const std::wstring& strPath)
{
    const size_t nSlash = strPath.find_last_of(L"\\/");
    return nSlash == std::wstring::npos ? std::wstring() : strPath.substr(0, nSlash);
}

// The caption of every message box: the program file's name without its extension.
std::wstring ApplicationName()
{
    wchar_t szPath[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, szPath, MAX_PATH);
    std::wstring strName(szPath);
    strName = strName.substr(strName.find_last_of(L"\\/") + 1);
    return strName.substr(0, strName.rfind(L'.'));
}
}  // namespace

CWin32MainDlg::CWin32MainDlg()
    : m_model(*this),
      m_template(BuildDialogTemplate(MainDialogTemplate(), true))
{}

CWin32MainDlg::~CWin32MainDlg()
{
    if (m_hWnd != nullptr && IsWindow(m_hWnd))
        DestroyWindow(m_hWnd);
}

HWND CWin32MainDlg::Create(bool bVisible)
{
    m_hWnd = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(m_template.data()),
                                        nullptr, DialogProc, reinterpret_cast<LPARAM>(this));
    m_bClosed = m_hWnd == nullptr;
    if (m_hWnd != nullptr && bVisible)
        ShowWindow(m_hWnd, SW_SHOW);
    return m_hWnd;
}

void CWin32MainDlg::DoModal()
{
    if (Create() == nullptr)
        return;
    MSG msg;
    while (!m_bClosed && GetMessageW(&msg, nullptr, 0, 0) > 0)
    {
        if (HandleMessage(msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool CWin32MainDlg::HandleMessage(MSG& msg)
{
    return PreTranslateMessage(msg) || (m_hWnd != nullptr && IsDialogMessageW(m_hWnd, &msg));
}

bool CWin32MainDlg::PreTranslateMessage(const MSG& msg)
{
    if (msg.message != WM_KEYDOWN || m_hWnd == nullptr || (msg.hwnd != m_hWnd && !IsChild(m_hWnd, msg.hwnd)))
        return false;
    if (msg.wParam == VK_ESCAPE)
        return true;  // Escape never closes the window
    if (msg.wParam == VK_F1)
        return OnHelpInfo();
    return false;
}

INT_PTR CALLBACK CWin32MainDlg::DialogProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    if (nMessage == WM_INITDIALOG)
    {
        SetWindowLongPtrW(hWnd, DWLP_USER, lParam);
        reinterpret_cast<CWin32MainDlg*>(lParam)->m_hWnd = hWnd;
    }
    auto* pDlg = reinterpret_cast<CWin32MainDlg*>(GetWindowLongPtrW(hWnd, DWLP_USER));
    return pDlg != nullptr ? pDlg->OnMessage(nMessage, wParam, lParam) : FALSE;
}

INT_PTR CWin32MainDlg::OnMessage(UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    switch (nMessage)
    {
    case WM_INITDIALOG:
        OnInitDialog();
        return FALSE;  // the focus is set
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return TRUE;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) != static_cast<WPARAM>(IDM_ABOUTBOX))
            return FALSE;
        OnSysCommand(static_cast<UINT>(wParam));
        return TRUE;
    case WM_HELP:
        return OnHelpInfo();
    case WM_CLOSE:
        DestroyWindow(m_hWnd);
        return TRUE;
    case WM_DESTROY:
        m_bClosed = true;
        return FALSE;
    default:
        return FALSE;
    }
}

void CWin32MainDlg::OnInitDialog()
{
    for (const char* pszItem : DropListItems(IDC_SIGN))
        SendDlgItemMessageW(m_hWnd, IDC_SIGN, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(pszItem).c_str()));
    for (int32_t nId : kPathIds)
    {
        HWND hEdit = GetDlgItem(m_hWnd, nId);
        SetWindowSubclass(hEdit, DropEditProc, kDropSubclassId, reinterpret_cast<DWORD_PTR>(this));
        DragAcceptFiles(hEdit, TRUE);
    }
    m_model.OnInitDialog();
    AddAboutToSystemMenu();
    m_hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
    SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    EnableToolTips();
    SetFocus(GetDlgItem(m_hWnd, IDC_INPUT));
}

void CWin32MainDlg::AddAboutToSystemMenu()
{
    HMENU hMenu = GetSystemMenu(m_hWnd, FALSE);
    const std::wstring strText = Wide(AboutMenuText());
    if (hMenu == nullptr || strText.empty())
        return;
    AppendMenuW(hMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(hMenu, MF_STRING, IDM_ABOUTBOX, strText.c_str());
}

void CWin32MainDlg::EnableToolTips()
{
    m_hToolTip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (m_hToolTip == nullptr)
        return;
    m_vecTips.reserve(MainDialogTemplate().controls.size());
    for (const CControlTemplate& control : MainDialogTemplate().controls)
    {
        const char* pszTip = ToolTipText(control.nId);
        if (pszTip == nullptr)
            continue;
        m_vecTips.push_back(Wide(pszTip));
        TTTOOLINFOW info = {};
        info.cbSize = sizeof(info);
        info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        info.hwnd = m_hWnd;
        info.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(m_hWnd, control.nId));
        info.lpszText = m_vecTips.back().data();
        SendMessageW(m_hToolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    }
}

void CWin32MainDlg::OnCommand(int32_t nId, UINT nCode, HWND hControl)
{
    if (hControl == nullptr || m_nApplying > 0)
        return;  // menus and accelerators; or the model setting a control
    switch (nCode)
    {
    case EN_CHANGE:
        m_model.OnFieldEdited(nId, ControlText(nId));
        break;
    case EN_SETFOCUS:
    case CBN_SETFOCUS:
        m_model.OnFocusEntered(nId);
        break;
    case CBN_SELCHANGE:
        m_model.OnSignChosen(static_cast<int32_t>(SendMessageW(hControl, CB_GETCURSEL, 0, 0)));
        break;
    case BN_CLICKED:
        OnButton(nId);
        break;
    default:
        break;
    }
}

void CWin32MainDlg::OnButton(int32_t nId)
{
    if (nId >= IDC_MODE_CORRECT && nId <= IDC_MODE_MERGE)
        m_model.OnModeChanged(nId - IDC_MODE_CORRECT);
    else if (nId == IDC_SHIFT_BASIC || nId == IDC_SHIFT_DETAILED)
        m_model.OnShiftKindChosen(nId - IDC_SHIFT_BASIC);
    else if (nId >= IDC_REPLACE85 && nId <= IDC_REMOVE_DIGIT_SPACES)
        m_model.OnCheckChanged(nId, IsDlgButtonChecked(m_hWnd, nId) == BST_CHECKED);
    else if (nId == IDC_BROWSE_INPUT || nId == IDC_BROWSE_TEXT || nId == IDC_BROWSE_OUTPUT)
        Browse(nId);
    else if (nId == IDC_RUN)
        m_model.OnRun();
    else if (nId == IDC_CLOSE)
        DestroyWindow(m_hWnd);
}

void CWin32MainDlg::OnSysCommand(UINT nId)
{
    if ((nId & 0xFFF0u) == static_cast<UINT>(IDM_ABOUTBOX))
        ShowAbout();
}

bool CWin32MainDlg::OnHelpInfo()
{
    ShowAbout();
    return true;
}

void CWin32MainDlg::ShowAbout()
{
    ShowWin32AboutBox(m_hWnd);
}

LRESULT CALLBACK CWin32MainDlg::DropEditProc(HWND hEdit, UINT nMessage, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                             DWORD_PTR pData)
{
    if (nMessage == WM_DROPFILES)
    {
        reinterpret_cast<CWin32MainDlg*>(pData)->OnDropFiles(hEdit, reinterpret_cast<HDROP>(wParam));
        return 0;
    }
    if (nMessage == WM_NCDESTROY)
        RemoveWindowSubclass(hEdit, DropEditProc, kDropSubclassId);
    return DefSubclassProc(hEdit, nMessage, wParam, lParam);
}

// The first dropped item, followed when it is a shortcut, replaces the field's
// text when it is a file; folders and missing paths are ignored.
void CWin32MainDlg::OnDropFiles(HWND hEdit, HDROP hDrop)
{
    std::wstring strPath;
    if (DragQueryFileW(hDrop, 0xFFFFFFFF, nullptr, 0) > 0)
    {
        strPath.resize(DragQueryFileW(hDrop, 0, nullptr, 0) + 1);
        strPath.resize(DragQueryFileW(hDrop, 0, strPath.data(), static_cast<UINT>(strPath.size())));
    }
    DragFinish(hDrop);
    const std::wstring strTarget = ResolveShortcut(strPath);
    if (!strTarget.empty())
        strPath = strTarget;
    const DWORD nAttributes = strPath.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(strPath.c_str());
    if (nAttributes == INVALID_FILE_ATTRIBUTES || (nAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return;
    SetWindowTextW(hEdit, strPath.c_str());  // its change event reaches the model
}

std::wstring CWin32MainDlg::ResolveShortcut(const std::wstring& strPath)
{
    if (strPath.empty() || strPath.size() >= MAX_PATH)
        return {};
    IShellLinkW* pLink = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&pLink))))
        return {};
    std::wstring strTarget;
    IPersistFile* pFile = nullptr;
    if (SUCCEEDED(pLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&pFile))))
    {
        wchar_t szTarget[MAX_PATH] = {};
        if (SUCCEEDED(pFile->Load(strPath.c_str(), STGM_READ)) &&
            pLink->GetPath(szTarget, MAX_PATH, nullptr, SLGP_UNCPRIORITY) == S_OK)
            strTarget = szTarget;
        pFile->Release();
    }
    pLink->Release();
    return strTarget;
}

void CWin32MainDlg::Browse(int32_t nButtonId)
{
    const CBrowseRequest request = m_model.BrowseRequest(nButtonId);
    if (request.nFieldId == kNoId)
        return;
    const std::wstring strPath =
        ChooseFile(request.bSave, request.nFilter, FolderOf(WindowText(GetDlgItem(m_hWnd, request.nFieldId))));
    if (!strPath.empty())
        SetDlgItemTextW(m_hWnd, request.nFieldId, strPath.c_str());  // its change event reaches the model
}

std::wstring CWin32MainDlg::ChooseFile(bool bSave, FileFilter nFilter, const std::wstring& strFolder)
{
    const std::wstring strFilter = DialogFilter(nFilter);
    wchar_t szPath[32768] = {};
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = m_hWnd;
    ofn.lpstrFilter = strFilter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = szPath;
    ofn.nMaxFile = static_cast<DWORD>(std::size(szPath));
    ofn.lpstrInitialDir = strFolder.empty() ? nullptr : strFolder.c_str();
    // No extension is added to a typed name; saving over a file asks first.
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | (bSave ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    const BOOL bChosen = bSave ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
    return bChosen ? std::wstring(szPath) : std::wstring();
}

std::u16string CWin32MainDlg::ControlText(int32_t nId) const
{
    const std::wstring strText = WindowText(GetDlgItem(m_hWnd, nId));
    return std::u16string(strText.begin(), strText.end());
}

void CWin32MainDlg::SetText(int32_t nId, std::u16string_view text)
{
    ++m_nApplying;
    SetDlgItemTextW(m_hWnd, nId, Wide(text).c_str());
    --m_nApplying;
}

void CWin32MainDlg::Enable(int32_t nId, bool bEnable)
{
    EnableWindow(GetDlgItem(m_hWnd, nId), bEnable ? TRUE : FALSE);
}

void CWin32MainDlg::SetChecked(int32_t nId, bool bChecked)
{
    CheckDlgButton(m_hWnd, nId, bChecked ? BST_CHECKED : BST_UNCHECKED);
}

void CWin32MainDlg::SetSelection(int32_t nId, int32_t nIndex)
{
    SendDlgItemMessageW(m_hWnd, nId, CB_SETCURSEL, static_cast<WPARAM>(nIndex), 0);
}

void CWin32MainDlg::FocusField(int32_t nId)
{
    // The dialog manager's focus move selects the whole text of an edit field.
    SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(m_hWnd, nId)), TRUE);
}

void CWin32MainDlg::ShowMessage(std::u16string_view text)
{
    MessageBoxW(m_hWnd, Wide(text).c_str(), ApplicationName().c_str(), MB_OK);
}

void CWin32MainDlg::SetBusy(bool bBusy)
{
    if (bBusy)
        m_hPrevCursor = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    else
        SetCursor(m_hPrevCursor);
}

}  // namespace tavrel
