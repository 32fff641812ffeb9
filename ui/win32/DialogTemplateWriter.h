#pragma once

#include <cstdint>
#include <vector>

#include "res/DialogTemplates.h"

namespace tavrel
{

// An in-memory extended dialog template (DLGTEMPLATEEX) for the Windows dialog
// manager, made from the template data: same ids, dialog units and font.
// The words start DWORD-aligned, as the dialog manager needs.
std::vector<uint16_t> BuildDialogTemplate(const CDialogTemplate& dlgTemplate, bool bMainWindow);

}  // namespace tavrel
