#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <windows.h>

#include <shellapi.h>

#include "ui/DialogModel.h"

namespace tavrel
{

// The main window on the Windows dialog manager: the template made in memory,
// its controls mapped onto the dialog model.
class CWin32MainDlg : private IDialogView
{
public:
    CWin32MainDlg();
    virtual ~CWin32MainDlg();
    CWin32MainDlg(const CWin32MainDlg&) = delete;
    CWin32MainDlg& operator=(const CWin32MainDlg&) = delete;

    // Creates the window without running a message loop; nullptr on failure.
    // A hidden window is never mapped on the display, which tests use for speed.
    HWND Create(bool bVisible = true);
    // Creates the window and runs its message loop until it is closed.
    void DoModal();
    // Escape, F1 and the dialog keys; true when the message was used.
    bool HandleMessage(MSG& msg);
    bool PreTranslateMessage(const MSG& msg);

    HWND Handle() const { return m_hWnd; }
    bool IsClosed() const { return m_bClosed; }
    const CDialogModel& Model() const { return m_model; }

    // The target of a shell shortcut, or an empty text.
    static std::wstring ResolveShortcut(const std::wstring& strPath);

protected:
    // Seams: the message box, the About box and the file dialog.
    void ShowMessage(std::u16string_view text) override;
    virtual void ShowAbout();
    // The chosen full path, or an empty text when cancelled.
    virtual std::wstring ChooseFile(bool bSave, FileFilter nFilter, const std::wstring& strFolder);

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK DropEditProc(HWND hEdit, UINT nMessage, WPARAM wParam, LPARAM lParam, UINT_PTR nId,
                                         DWORD_PTR pData);
    INT_PTR OnMessage(UINT nMessage, WPARAM wParam, LPARAM lParam);
    void OnInitDialog();
    void OnCommand(int32_t nId, UINT nCode, HWND hControl);
    void OnButton(int32_t nId);
    void OnSysCommand(UINT nId);
    bool OnHelpInfo();
    void OnDropFiles(HWND hEdit, HDROP hDrop);
    void Browse(int32_t nButtonId);
    void AddAboutToSystemMenu();
    void EnableToolTips();
    std::u16string ControlText(int32_t nId) const;

    void SetText(int32_t nId, std::u16string_view text) override;
    void Enable(int32_t nId, bool bEnable) override;
    void SetChecked(int32_t nId, bool bChecked) override;
    void SetSelection(int32_t nId, int32_t nIndex) override;
    void FocusField(int32_t nId) override;
    void SetBusy(bool bBusy) override;

    CDialogModel m_model;
    std::vector<uint16_t> m_template;
    HWND m_hWnd = nullptr;
    HWND m_hToolTip = nullptr;
    HICON m_hIcon = nullptr;
    HCURSOR m_hPrevCursor = nullptr;
    std::vector<std::wstring> m_vecTips;  // alive as long as the tooltip control
    int32_t m_nApplying = 0;              // > 0 while the model sets a control
    bool m_bClosed = false;
};

}  // namespace tavrel
