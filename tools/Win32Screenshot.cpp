// tavrel-win32-screenshot: the native window in its four modes, side by side in two rows, saved as a 24-bit BMP
// image (scripts/screenshot-windows.sh makes it a PNG). Run under Wine on a display; built with the native window,
// never installed.

#ifdef _WIN32  // the native window exists only on Windows

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include "res/DialogTemplates.h"
#include "ui/win32/Win32MainDlg.h"

namespace
{
using namespace tavrel;

void PumpFor(CWin32MainDlg& dlg, DWORD nMilliseconds)
{
    const ULONGLONG nEnd = GetTickCount64() + nMilliseconds;
    MSG msg;
    while (GetTickCount64() < nEnd)
    {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            if (!dlg.HandleMessage(msg))
            {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        Sleep(10);
    }
}

bool SaveBmp(HDC hdc, HBITMAP hBitmap, int32_t cx, int32_t cy, const wchar_t* pszPath)
{
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = cx;
    header.biHeight = cy;  // bottom-up, as BMP files keep it
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    const int64_t nStride = (static_cast<int64_t>(cx) * 3 + 3) / 4 * 4;
    std::vector<char> pixels(static_cast<size_t>(nStride * cy));
    if (GetDIBits(hdc, hBitmap, 0, static_cast<UINT>(cy), pixels.data(), reinterpret_cast<BITMAPINFO*>(&header),
                  DIB_RGB_COLORS) != cy)
        return false;
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = static_cast<DWORD>(file.bfOffBits + pixels.size());
    std::ofstream out(pszPath, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof(file));
    out.write(reinterpret_cast<const char*>(&header), sizeof(header));
    out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
    return out.good();
}
}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2)
    {
        fputws(L"usage: tavrel-win32-screenshot OUTPUT.bmp\n", stderr);
        return 2;
    }
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    CWin32MainDlg dlg;
    HWND hWnd = dlg.Create();
    if (hWnd == nullptr)
        return 1;
    RECT client = {};
    GetClientRect(hWnd, &client);
    const int32_t cx = client.right, cy = client.bottom;
    HDC hWindowDc = GetDC(hWnd);
    HDC hShotDc = CreateCompatibleDC(hWindowDc);
    HBITMAP hShot = CreateCompatibleBitmap(hWindowDc, cx * 2, cy * 2);
    HGDIOBJ hOld = SelectObject(hShotDc, hShot);
    const int32_t modes[] = {IDC_MODE_CORRECT, IDC_MODE_CONVERT, IDC_MODE_EXTRACT, IDC_MODE_MERGE};
    for (int32_t i = 0; i < 4; ++i)
    {
        SendDlgItemMessageW(hWnd, modes[i], BM_CLICK, 0, 0);
        SetDlgItemTextW(hWnd, IDC_INPUT, i == 1 ? L"C:\\자막\\영화.smi" : L"C:\\자막\\영화.srt");
        if (i == 3)
            SetDlgItemTextW(hWnd, IDC_TEXT, L"C:\\자막\\대사.txt");
        RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        PumpFor(dlg, 700);
        BitBlt(hShotDc, (i % 2) * cx, (i / 2) * cy, cx, cy, hWindowDc, 0, 0, SRCCOPY);
    }
    SelectObject(hShotDc, hOld);
    const bool bSaved = SaveBmp(hShotDc, hShot, cx * 2, cy * 2, argv[1]);
    DeleteObject(hShot);
    DeleteDC(hShotDc);
    ReleaseDC(hWnd, hWindowDc);
    return bSaved ? 0 : 1;
}

#endif  // _WIN32
