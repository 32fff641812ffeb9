#include "ui/win32/Win32AboutDlg.h"

#include <cstdint>
#include <vector>

#include "res/DialogTemplates.h"
#include "ui/win32/DialogTemplateWriter.h"

namespace tavrel
{

namespace
{
INT_PTR CALLBACK AboutProc(HWND hDlg, UINT nMessage, WPARAM wParam, LPARAM)
{
    switch (nMessage)
    {
    case WM_INITDIALOG:
        // The icon control is the first of the template and has no id of its own.
        if (HICON hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME)))
            SendMessageW(GetWindow(hDlg, GW_CHILD), STM_SETICON, reinterpret_cast<WPARAM>(hIcon), 0);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
            EndDialog(hDlg, LOWORD(wParam));
        return TRUE;
    case WM_HELP:
        return TRUE;  // the help key does nothing here
    default:
        return FALSE;
    }
}
}  // namespace

void ShowWin32AboutBox(HWND hOwner)
{
    const std::vector<uint16_t> words = BuildDialogTemplate(AboutDialogTemplate(), false);
    DialogBoxIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(words.data()), hOwner,
                            AboutProc, 0);
}

}  // namespace tavrel
