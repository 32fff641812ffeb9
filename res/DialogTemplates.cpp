#include "res/DialogTemplates.h"

#include "res/version.h"

#include <array>

namespace tavrel
{

namespace
{
constexpr uint32_t D = StyleDisabled;

// Template 102, in template (and tab) order.
constexpr std::array kMainControls = {
    CControlTemplate{IDC_INPUT_LABEL, KindLabel, "srt", 1, 8, 43, 8, StyleRight | StyleGroup},
    CControlTemplate{IDC_INPUT, KindPathEdit, "", 47, 7, 236, 12, StyleNone},
    CControlTemplate{IDC_BROWSE_INPUT, KindButton, "desig", 286, 7, 25, 12, StyleNone},
    CControlTemplate{IDC_TEXT_LABEL, KindLabel, "TEXT", 1, 22, 43, 8, StyleRight | D},
    CControlTemplate{IDC_TEXT, KindPathEdit, "", 47, 21, 236, 12, D},
    CControlTemplate{IDC_BROWSE_TEXT, KindButton, "desig", 286, 21, 25, 12, D},
    CControlTemplate{IDC_OUTPUT_LABEL, KindLabel, "srt", 1, 36, 43, 8, StyleRight},
    CControlTemplate{IDC_OUTPUT, KindPathEdit, "", 47, 35, 236, 12, StyleNone},
    CControlTemplate{IDC_BROWSE_OUTPUT, KindButton, "desig", 286, 35, 25, 12, StyleNone},
    CControlTemplate{kNoId, KindGroupBox, "options", 7, 54, 304, 71, StyleNone},
    CControlTemplate{IDC_REPLACE85, KindCheckBox, "0x85를 공백으로", 19, 67, 67, 10, StyleGroup},
    CControlTemplate{IDC_FIX_QUOTES, KindCheckBox, "\\', \\'(x2), \" 수정", 89, 67, 61, 10, StyleNone},
    CControlTemplate{IDC_FIX_LETTER_L, KindCheckBox, "잘못된 l(L)을 I(i)로", 153, 67, 75, 10, StyleNone},
    CControlTemplate{IDC_REMOVE_DIGIT_SPACES, KindCheckBox, "숫자 사이 공백 제거", 231, 67, 76, 10, StyleNone},
    CControlTemplate{IDC_SHIFT_BASIC, KindRadio, "기본(+C)", 20, 87, 44, 10, StyleGroup | StyleChecked},
    CControlTemplate{IDC_SHIFT_DETAILED, KindRadio, "상세(s1→t1, s2→t2)", 20, 105, 73, 10, StyleNone},
    CControlTemplate{IDC_OFFSET_MS, KindEdit, "", 74, 87, 38, 12, StyleGroup},
    CControlTemplate{IDC_MS_LABEL, KindLabel, "ms (", 115, 88, 16, 8, StyleNone},
    CControlTemplate{IDC_SIGN, KindDropList, "", 133, 86, 18, 30, StyleNone},
    CControlTemplate{IDC_HOURS, KindEdit, "", 155, 87, 12, 12, StyleNone},
    CControlTemplate{IDC_COLON1, KindLabel, ":", 167, 88, 8, 8, StyleCenter},
    CControlTemplate{IDC_MINUTES, KindEdit, "", 180, 87, 12, 12, StyleNone},
    CControlTemplate{IDC_COLON2, KindLabel, ":", 192, 88, 8, 8, StyleCenter},
    CControlTemplate{IDC_SECONDS, KindEdit, "", 204, 87, 12, 12, StyleNone},
    CControlTemplate{IDC_POINT, KindLabel, ".", 216, 88, 8, 8, StyleCenter},
    CControlTemplate{IDC_MILLIS, KindEdit, "", 228, 87, 18, 12, StyleNone},
    CControlTemplate{kNoId, KindLabel, ")", 246, 88, 8, 8, StyleCenter},
    CControlTemplate{IDC_SRC1, KindEdit, "", 103, 105, 38, 12, D},
    CControlTemplate{IDC_ARROW1, KindLabel, "→", 144, 106, 8, 8, D},
    CControlTemplate{IDC_DST1, KindEdit, "", 154, 105, 38, 12, D},
    CControlTemplate{IDC_COMMA, KindLabel, ",", 197, 106, 8, 8, D},
    CControlTemplate{IDC_SRC2, KindEdit, "", 211, 105, 38, 12, D},
    CControlTemplate{IDC_ARROW2, KindLabel, "→", 252, 106, 8, 8, D},
    CControlTemplate{IDC_DST2, KindEdit, "", 262, 105, 38, 12, D},
    CControlTemplate{kNoId, KindGroupBox, "", 7, 129, 236, 32, StyleNone},
    CControlTemplate{IDC_MODE_CORRECT, KindPushRadio, "SRT 교정", 14, 139, 48, 16, StyleGroup | StyleChecked},
    CControlTemplate{IDC_MODE_CONVERT, KindPushRadio, "자막 변환", 66, 139, 46, 16, StyleNone},
    CControlTemplate{IDC_MODE_EXTRACT, KindPushRadio, "텍스트 추출", 116, 139, 55, 16, StyleNone},
    CControlTemplate{IDC_MODE_MERGE, KindPushRadio, "텍스트 합치기", 175, 139, 61, 16, StyleNone},
    CControlTemplate{IDC_OK, KindButton, "확인", 277, 84, 20, 14, StyleGroup | StyleHidden | D},
    CControlTemplate{IDC_RUN, KindButton, "실행!", 252, 133, 28, 28, StyleDefault},
    CControlTemplate{IDC_CLOSE, KindButton, "닫기", 283, 133, 28, 28, StyleNone},
};

constexpr CDialogTemplate kMainDialog{IDD_MAIN, "Tavrel von Norvane 버전 1.0", 318, 167, "굴림", 9, kMainControls};

// Template 100.
constexpr std::array kAboutControls = {
    CControlTemplate{kNoId, KindIcon, "", 10, 10, 20, 20, StyleNone},
    CControlTemplate{kNoId, KindLabel, "Tavrel von Norvane 버전 1.0", 35, 10, 108, 8, StyleNoPrefix},
    CControlTemplate{kNoId, KindLabel, "Copyright (C) 2026 Norvane", 35, 26, 107, 8, StyleNone},
    CControlTemplate{IDC_OK, KindButton, "확인", 148, 7, 43, 27, StyleDefault | StyleGroup},
};

constexpr CDialogTemplate kAboutDialog{IDD_ABOUTBOX, "Tavrel 정보", 198, 41, "굴림", 9, kAboutControls};

constexpr std::array<const char*, 2> kSignItems = {"+", "-"};

struct CToolTip
{
    int32_t nId;
    const char* pszText;
};

constexpr std::array kToolTips = {
    CToolTip{IDC_MODE_CORRECT, "SRT 자막 교정 / 시간 수정"},
    CToolTip{IDC_MODE_CONVERT, "SAMI/SSA/ASS → SRT 및 SRT → SAMI 변환"},
    CToolTip{IDC_MODE_EXTRACT, "SRT 자막에서 텍스트 추출"},
    CToolTip{IDC_MODE_MERGE, "SRT 자막과 텍스트 파일 합치기"},
    CToolTip{IDC_REPLACE85, "0x0085 문자를 공백으로 대체"},
    CToolTip{IDC_FIX_QUOTES, "OCR 오류 수정: 잘못된 따옴표 교정"},
    CToolTip{IDC_FIX_LETTER_L, "OCR 오류 수정: I(i)를 l(L)로 표기한 자막 교정)"},
    CToolTip{IDC_REMOVE_DIGIT_SPACES, "OCR 오류 수정: 숫자 사이에 들어간 불필요한 공백 제거"},
};

// Indexed by mode: correction, conversion, extraction, merge.
constexpr std::array kRowSettings = {
    CRowSettings{"srt", false, "srt", true},
    CRowSettings{"smi/ssa/srt", false, nullptr, false},
    CRowSettings{"srt", false, "TEXT", true},
    CRowSettings{"srt", true, "srt", true},
};

constexpr std::array kFileFilters = {
    "subtitle files (*.smi *.ssa *.ass *.srt);;All files (*)",
    "SRT files (*.srt);;All files (*)",
    "text files (*.txt);;All files (*)",
};

constexpr CVersionRecord kVersion{
    {TAVREL_VERSION_BINARY}, TAVREL_PRODUCT_NAME, TAVREL_COMPANY_NAME, TAVREL_LANGUAGE, TAVREL_CODE_PAGE};
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
    for (const CToolTip& tip : kToolTips)
        if (tip.nId == nId)
            return tip.pszText;
    return nullptr;
}

const char* UnsignedPromptText()
{
    return "부호 없는 정수를 입력하십시오.";
}

const CRowSettings* RowSettings(int32_t nMode)
{
    if (nMode < 0 || nMode >= static_cast<int32_t>(kRowSettings.size()))
        return nullptr;
    return &kRowSettings[static_cast<size_t>(nMode)];
}

const char* FileFilterText(FileFilter nFilter)
{
    return kFileFilters[static_cast<size_t>(nFilter)];
}

const CVersionRecord& VersionRecord()
{
    return kVersion;
}

}  // namespace tavrel
