// The native window driven through its messages, as the dialog manager and
// the shell send them: mode buttons, field texts, Run on real files, keys,
// the system menu and dropped files. The rules themselves are the dialog
// model's tests.

#ifdef _WIN32  // the native window exists only on Windows

#include "ui/win32/Win32MainDlg.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

using namespace tavrel;

namespace
{
namespace fs = std::filesystem;

// Records what the window would show instead of showing it.
class CRecordingDlg : public CWin32MainDlg
{
public:
    std::vector<std::u16string> m_vecMessages;
    int m_nAboutShown = 0;
    std::vector<std::wstring> m_vecFolders;  // where each file dialog opened
    std::wstring m_strChosen;

protected:
    void ShowMessage(std::u16string_view text) override { m_vecMessages.emplace_back(text); }
    void ShowAbout() override { ++m_nAboutShown; }
    std::wstring ChooseFile(bool, FileFilter, const std::wstring& strFolder) override
    {
        m_vecFolders.push_back(strFolder);
        return m_strChosen;
    }
};

class Win32MainDlgTest : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
    }

    void SetUp() override
    {
        m_hWnd = m_dlg.Create(false);  // unmapped: Wine waits for a window manager when one is hidden
        ASSERT_NE(m_hWnd, nullptr);
        m_dir = fs::temp_directory_path() / ("tavrel-win32-" + std::to_string(GetCurrentProcessId()));
        fs::create_directories(m_dir / "folder");
        std::ofstream(m_dir / "movie.srt", std::ios::binary) << "1\r\n00:00:01,000 --> 00:00:02,000\r\nHello\r\n\r\n";
    }
    void TearDown() override { fs::remove_all(m_dir); }

    HWND Item(int32_t nId) const { return GetDlgItem(m_hWnd, nId); }
    std::wstring Text(int32_t nId) const
    {
        wchar_t szText[1024] = {};
        GetDlgItemTextW(m_hWnd, nId, szText, 1024);
        return szText;
    }
    // Setting an edit field's text sends its change notification, as typing does.
    void Type(int32_t nId, const std::wstring& strText)
    {
        SetFocus(Item(nId));
        SetDlgItemTextW(m_hWnd, nId, strText.c_str());
    }
    void Click(int32_t nId) { SendMessageW(Item(nId), BM_CLICK, 0, 0); }
    void Pump()
    {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            if (!m_dlg.HandleMessage(msg))
            {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
    }
    void PressKey(int32_t nId, WPARAM nKey)
    {
        SetFocus(Item(nId));
        PostMessageW(Item(nId), WM_KEYDOWN, nKey, 1);
        Pump();
    }
    std::wstring PathOf(const char* pszName) const { return (m_dir / pszName).wstring(); }

    CRecordingDlg m_dlg;
    HWND m_hWnd = nullptr;
    fs::path m_dir;
};

struct CModeCase
{
    const char* pszName;
    int32_t nButton;
    bool bTextRow, bOutputRow, bOptions;
    const wchar_t* pszInputLabel;
    const wchar_t* pszOutputLabel;
};

class Win32ModeTest : public Win32MainDlgTest, public testing::WithParamInterface<CModeCase>
{};

TEST_P(Win32ModeTest, ModeButtonSetsRows)
{
    const CModeCase& c = GetParam();
    Click(c.nButton);
    EXPECT_EQ(IsDlgButtonChecked(m_hWnd, c.nButton), BST_CHECKED);
    EXPECT_EQ(IsWindowEnabled(Item(IDC_TEXT)) != FALSE, c.bTextRow);
    EXPECT_EQ(IsWindowEnabled(Item(IDC_BROWSE_OUTPUT)) != FALSE, c.bOutputRow);
    EXPECT_EQ(IsWindowEnabled(Item(IDC_FIX_QUOTES)) != FALSE, c.bOptions);
    EXPECT_EQ(IsWindowEnabled(Item(IDC_OFFSET_MS)) != FALSE, c.bOptions);
    EXPECT_EQ(Text(IDC_INPUT_LABEL), c.pszInputLabel);
    EXPECT_EQ(Text(IDC_OUTPUT_LABEL), c.pszOutputLabel);
}

INSTANTIATE_TEST_SUITE_P(Modes, Win32ModeTest,
                         testing::Values(CModeCase{"Correct", IDC_MODE_CORRECT, false, true, true, L"srt", L"srt"},
                                         CModeCase{"Convert", IDC_MODE_CONVERT, false, false, false, L"smi/ssa/srt",
                                                   L"srt"},
                                         CModeCase{"Extract", IDC_MODE_EXTRACT, false, true, false, L"srt", L"TEXT"},
                                         CModeCase{"Merge", IDC_MODE_MERGE, true, true, false, L"srt", L"srt"}),
                         [](const auto& info) { return info.param.pszName; });

TEST_F(Win32MainDlgTest, FieldTextsReachTheModel)
{
    Type(IDC_INPUT, L"C:\\subs\\movie.srt");
    EXPECT_EQ(Text(IDC_OUTPUT), L"C:\\subs\\movie (fixed).srt");
    Type(IDC_OFFSET_MS, L"-1500");
    EXPECT_EQ(Text(IDC_SECONDS) + L"." + Text(IDC_MILLIS), L"1.500");
    EXPECT_EQ(SendMessageW(Item(IDC_SIGN), CB_GETCURSEL, 0, 0), 1);
    Type(IDC_HOURS, L"1");
    EXPECT_EQ(Text(IDC_OFFSET_MS), L"-3601500");
    Click(IDC_FIX_QUOTES);
    EXPECT_TRUE(m_dlg.Model().IsChecked(IDC_FIX_QUOTES));
}

TEST_F(Win32MainDlgTest, RunWritesFilesAndShowsMessage)
{
    Click(IDC_MODE_EXTRACT);
    Type(IDC_INPUT, PathOf("movie.srt"));
    Click(IDC_RUN);
    Type(IDC_INPUT, PathOf("missing.srt"));
    Click(IDC_RUN);
    const std::vector<std::u16string> expected = {u"text 추출 완료!", u"소스 파일 읽기 오류!"};
    EXPECT_EQ(m_dlg.m_vecMessages, expected);
    EXPECT_TRUE(fs::is_regular_file(m_dir / "movie.txt"));
}

TEST_F(Win32MainDlgTest, KeysKeepWindowOpen)
{
    Type(IDC_INPUT, PathOf("missing.srt"));
    PressKey(IDC_INPUT, VK_ESCAPE);
    PressKey(IDC_OFFSET_MS, VK_ESCAPE);
    EXPECT_FALSE(m_dlg.IsClosed());
    PressKey(IDC_INPUT, VK_RETURN);  // the default button runs
    EXPECT_EQ(m_dlg.m_vecMessages, std::vector<std::u16string>{u"소스 파일 읽기 오류!"});
    PressKey(IDC_SIGN, VK_F1);
    EXPECT_EQ(m_dlg.m_nAboutShown, 1);
    EXPECT_FALSE(m_dlg.IsClosed());
    Click(IDC_CLOSE);
    EXPECT_TRUE(m_dlg.IsClosed());
}

TEST_F(Win32MainDlgTest, SystemMenuEndsWithAbout)
{
    HMENU hMenu = GetSystemMenu(m_hWnd, FALSE);
    const int nLast = GetMenuItemCount(hMenu) - 1;
    wchar_t szText[100] = {};
    GetMenuStringW(hMenu, nLast, szText, 100, MF_BYPOSITION);
    EXPECT_EQ(std::wstring(szText), L"Tavrel von Norvane 정보(&A)...");
    EXPECT_EQ(GetMenuItemID(hMenu, nLast), static_cast<UINT>(IDM_ABOUTBOX));
    EXPECT_EQ(GetMenuState(hMenu, nLast - 1, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
    SendMessageW(m_hWnd, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    EXPECT_EQ(m_dlg.m_nAboutShown, 1);
}

TEST_F(Win32MainDlgTest, BrowseOpensInFieldsFolder)
{
    Type(IDC_INPUT, PathOf("movie.srt"));
    m_dlg.m_strChosen = PathOf("chosen.srt");
    Click(IDC_BROWSE_INPUT);
    EXPECT_EQ(m_dlg.m_vecFolders, std::vector<std::wstring>{m_dir.wstring()});
    EXPECT_EQ(Text(IDC_OUTPUT), PathOf("chosen (fixed).srt"));
}

// DROPFILES memory as the shell hands it over; the window releases it.
HGLOBAL MakeDrop(const std::vector<std::wstring>& paths)
{
    size_t nChars = 1;
    for (const std::wstring& strPath : paths)
        nChars += strPath.size() + 1;
    HGLOBAL hDrop = GlobalAlloc(GHND, sizeof(DROPFILES) + nChars * sizeof(wchar_t));
    auto* pDrop = static_cast<DROPFILES*>(GlobalLock(hDrop));
    pDrop->pFiles = sizeof(DROPFILES);
    pDrop->fWide = TRUE;
    auto* pNext = reinterpret_cast<wchar_t*>(pDrop + 1);
    for (const std::wstring& strPath : paths)
        pNext = std::copy(strPath.begin(), strPath.end(), pNext) + 1;
    GlobalUnlock(hDrop);
    return hDrop;
}

bool MakeShortcut(const std::wstring& strLink, const std::wstring& strTarget)
{
    IShellLinkW* pLink = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&pLink))))
        return false;
    IPersistFile* pFile = nullptr;
    bool bSaved = SUCCEEDED(pLink->SetPath(strTarget.c_str())) &&
                  SUCCEEDED(pLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&pFile)));
    if (pFile != nullptr)
    {
        bSaved = bSaved && SUCCEEDED(pFile->Save(strLink.c_str(), TRUE));
        pFile->Release();
    }
    pLink->Release();
    return bSaved;
}

TEST_F(Win32MainDlgTest, DropTakesFirstFileOrShortcutTarget)
{
    const auto drop = [&](int32_t nId, std::vector<std::wstring> paths) {
        SendMessageW(Item(nId), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(paths)), 0);
        return Text(nId);
    };
    EXPECT_EQ(drop(IDC_INPUT, {PathOf("movie.srt"), PathOf("other.srt")}), PathOf("movie.srt"));
    EXPECT_EQ(Text(IDC_OUTPUT), PathOf("movie (fixed).srt"));
    EXPECT_EQ(drop(IDC_INPUT, {PathOf("folder")}), PathOf("movie.srt"));
    EXPECT_EQ(drop(IDC_OUTPUT, {PathOf("missing.srt")}), PathOf("movie (fixed).srt"));
    ASSERT_TRUE(MakeShortcut(PathOf("movie.lnk"), PathOf("movie.srt")));
    EXPECT_EQ(drop(IDC_TEXT, {PathOf("movie.lnk")}), PathOf("movie.srt"));
}
}  // namespace

#endif  // _WIN32
