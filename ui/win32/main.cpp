#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include "ui/win32/Win32MainDlg.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // Shell shortcuts are resolved through COM on this thread.
    const HRESULT hrCom = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    {
        tavrel::CWin32MainDlg dlg;
        dlg.DoModal();
    }
    if (SUCCEEDED(hrCom))
        CoUninitialize();
    return 0;
}
