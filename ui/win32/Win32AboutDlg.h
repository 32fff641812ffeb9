#pragma once

#include <windows.h>

namespace tavrel
{

// The About box from its template, shown modally over the owner.
void ShowWin32AboutBox(HWND hOwner);

}  // namespace tavrel
