#include "res/DialogTemplates.h"

#include <array>

namespace tavrel
{

namespace
{
// The tables read as the templates do.
using enum ControlKind;
using enum ControlStyle;

constexpr ControlStyle D = Disabled;

// The mode buttons and OCR check boxes take their captions from the job tables, in the tables' order.
static_assert(kModeTable[0].nButtonId == IDC_MODE_CORRECT && kModeTable[1].nButtonId == IDC_MODE_CONVERT &&
              kModeTable[2].nButtonId == IDC_MODE_EXTRACT && kModeTable[3].nButtonId == IDC_MODE_MERGE);
static_assert(kOcrTable[0].nControlId == IDC_REPLACE85 && kOcrTable[1].nControlId == IDC_FIX_QUOTES &&
              kOcrTable[2].nControlId == IDC_FIX_LETTER_L && kOcrTable[3].nControlId == IDC_REMOVE_DIGIT_SPACES);

// Template 102, in template (and tab) order.
constexpr std::array kMainControls = {
    CControlTemplate{IDC_INPUT_LABEL, Label, "srt", 1, 8, 43, 8, Right | Group},
    CControlTemplate{IDC_INPUT, PathEdit, "", 47, 7, 236, 12, None},
    CControlTemplate{IDC_BROWSE_INPUT, Button, "desig", 286, 7, 25, 12, None},
    CControlTemplate{IDC_TEXT_LABEL, Label, "TEXT", 1, 22, 43, 8, Right | D},
    CControlTemplate{IDC_TEXT, PathEdit, "", 47, 21, 236, 12, D},
    CControlTemplate{IDC_BROWSE_TEXT, Button, "desig", 286, 21, 25, 12, D},
    CControlTemplate{IDC_OUTPUT_LABEL, Label, "srt", 1, 36, 43, 8, Right},
    CControlTemplate{IDC_OUTPUT, PathEdit, "", 47, 35, 236, 12, None},
    CControlTemplate{IDC_BROWSE_OUTPUT, Button, "desig", 286, 35, 25, 12, None},
    CControlTemplate{kNoId, GroupBox, "options", 7, 54, 304, 71, None},
    CControlTemplate{IDC_REPLACE85, CheckBox, kOcrTable[0].pszCheckBox, 19, 67, 67, 10, Group},
    CControlTemplate{IDC_FIX_QUOTES, CheckBox, kOcrTable[1].pszCheckBox, 89, 67, 61, 10, None},
    CControlTemplate{IDC_FIX_LETTER_L, CheckBox, kOcrTable[2].pszCheckBox, 153, 67, 75, 10, None},
    CControlTemplate{IDC_REMOVE_DIGIT_SPACES, CheckBox, kOcrTable[3].pszCheckBox, 231, 67, 76, 10, None},
    CControlTemplate{IDC_SHIFT_BASIC, Radio, "기본(+C)", 20, 87, 44, 10, Group | Checked},
    CControlTemplate{IDC_SHIFT_DETAILED, Radio, "상세(s1→t1, s2→t2)", 20, 105, 73, 10, None},
    CControlTemplate{IDC_OFFSET_MS, Edit, "", 74, 87, 38, 12, Group},
    CControlTemplate{IDC_MS_LABEL, Label, "ms (", 115, 88, 16, 8, None},
    CControlTemplate{IDC_SIGN, DropList, "", 133, 86, 18, 30, None},
    CControlTemplate{IDC_HOURS, Edit, "", 155, 87, 12, 12, None},
    CControlTemplate{IDC_COLON1, Label, ":", 167, 88, 8, 8, Center},
    CControlTemplate{IDC_MINUTES, Edit, "", 180, 87, 12, 12, None},
    CControlTemplate{IDC_COLON2, Label, ":", 192, 88, 8, 8, Center},
    CControlTemplate{IDC_SECONDS, Edit, "", 204, 87, 12, 12, None},
    CControlTemplate{IDC_POINT, Label, ".", 216, 88, 8, 8, Center},
    CControlTemplate{IDC_MILLIS, Edit, "", 228, 87, 18, 12, None},
    CControlTemplate{kNoId, Label, ")", 246, 88, 8, 8, Center},
    CControlTemplate{IDC_SRC1, Edit, "", 103, 105, 38, 12, D},
    CControlTemplate{IDC_ARROW1, Label, "→", 144, 106, 8, 8, D},
    CControlTemplate{IDC_DST1, Edit, "", 154, 105, 38, 12, D},
    CControlTemplate{IDC_COMMA, Label, ",", 197, 106, 8, 8, D},
    CControlTemplate{IDC_SRC2, Edit, "", 211, 105, 38, 12, D},
    CControlTemplate{IDC_ARROW2, Label, "→", 252, 106, 8, 8, D},
    CControlTemplate{IDC_DST2, Edit, "", 262, 105, 38, 12, D},
    CControlTemplate{kNoId, GroupBox, "", 7, 129, 236, 32, None},
    CControlTemplate{IDC_MODE_CORRECT, PushRadio, kModeTable[0].pszButton, 14, 139, 48, 16, Group | Checked},
    CControlTemplate{IDC_MODE_CONVERT, PushRadio, kModeTable[1].pszButton, 66, 139, 46, 16, None},
    CControlTemplate{IDC_MODE_EXTRACT, PushRadio, kModeTable[2].pszButton, 116, 139, 55, 16, None},
    CControlTemplate{IDC_MODE_MERGE, PushRadio, kModeTable[3].pszButton, 175, 139, 61, 16, None},
    CControlTemplate{IDC_OK, Button, "확인", 277, 84, 20, 14, Group | Hidden | D},
    CControlTemplate{IDC_RUN, Button, "실행!", 252, 133, 28, 28, Default},
    CControlTemplate{IDC_CLOSE, Button, "닫기", 283, 133, 28, 28, None},
};

constexpr CDialogTemplate kMainDialog{IDD_MAIN, "Tavrel von Norvane 버전 1.0", 318, 167, "굴림", 9, kMainControls};

// Template 100.
constexpr std::array kAboutControls = {
    CControlTemplate{kNoId, Icon, "", 10, 10, 20, 20, None},
    CControlTemplate{kNoId, Label, "Tavrel von Norvane 버전 1.0", 35, 10, 108, 8, NoPrefix},
    CControlTemplate{kNoId, Label, "Copyright (C) 2026 Norvane", 35, 26, 107, 8, None},
    CControlTemplate{IDC_OK, Button, "확인", 148, 7, 43, 27, Default | Group},
};

constexpr CDialogTemplate kAboutDialog{IDD_ABOUTBOX, "Tavrel 정보", 198, 41, "굴림", 9, kAboutControls};

constexpr std::array<const char*, 2> kSignItems = {"+", "-"};

}  // namespace

const CDialogTemplate& MainDialogTemplate()
{
    return kMainDialog;
}

const CDialogTemplate& AboutDialogTemplate()
{
    return kAboutDialog;
}

std::span<const char* const> DropListItems(int32_t nId)
{
    if (nId == IDC_SIGN)
        return kSignItems;
    return {};
}

const char* AboutMenuText()
{
    return "Tavrel von Norvane 정보(&A)...";
}

const char* ToolTipText(int32_t nId)
{
    for (const CModeRow& row : ModeRows())
        if (row.nButtonId == nId)
            return row.pszToolTip;
    for (const COcrRow& row : OcrRows())
        if (row.nControlId == nId)
            return row.pszToolTip;
    return nullptr;
}

const char* UnsignedPromptText()
{
    return "부호 없는 정수를 입력하십시오.";
}

}  // namespace tavrel
