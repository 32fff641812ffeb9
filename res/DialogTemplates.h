#pragma once

// The two dialog templates and the window's other fixed texts, as data.
// Positions are dialog units; captions are UTF-8.

#include <cstdint>
#include <span>

#include "run/Modes.h"

namespace tavrel
{

enum class ControlKind : int32_t
{
    Label,
    Icon,
    Edit,
    PathEdit,  // a CDropEdit
    Button,
    CheckBox,
    Radio,
    PushRadio,  // a radio button drawn as a push button
    DropList,
    GroupBox,
};

enum class ControlStyle : uint32_t
{
    None = 0,
    Disabled = 1u << 0,
    Hidden = 1u << 1,
    Checked = 1u << 2,   // check box ticked, radio button selected
    Group = 1u << 3,     // starts a group (radio buttons up to the next group start)
    Default = 1u << 4,   // the default push button
    Right = 1u << 5,     // text right-aligned
    Center = 1u << 6,    // text centred
    NoPrefix = 1u << 7,  // "&" is shown, not an access key
};

constexpr ControlStyle operator|(ControlStyle a, ControlStyle b)
{
    return static_cast<ControlStyle>(static_cast<uint32_t>(a) | static_cast<uint32_t>(b));
}
// Whether the style set holds the flag.
constexpr bool operator&(ControlStyle set, ControlStyle flag)
{
    return (static_cast<uint32_t>(set) & static_cast<uint32_t>(flag)) != 0;
}

inline constexpr int32_t kNoId = -1;

struct CControlTemplate
{
    int32_t nId;
    ControlKind nKind;
    const char* pszCaption;
    int32_t x, y, cx, cy;
    ControlStyle nStyle;
};

struct CDialogTemplate
{
    int32_t nId;
    const char* pszTitle;
    int32_t cx, cy;  // client area
    const char* pszFont;
    int32_t nPointSize;
    std::span<const CControlTemplate> controls;
};

// Control ids of the main dialog.
enum : int32_t
{
    IDC_OK = 1,
    IDC_CLOSE = 2,
    IDC_INPUT_LABEL = 1000,
    IDC_INPUT = 1001,
    IDC_BROWSE_INPUT = 1002,
    IDC_TEXT_LABEL = 1003,
    IDC_TEXT = 1004,
    IDC_BROWSE_TEXT = 1005,
    IDC_OUTPUT_LABEL = 1006,
    IDC_OUTPUT = 1007,
    IDC_BROWSE_OUTPUT = 1008,
    IDC_MODE_CORRECT = 1009,
    IDC_MODE_CONVERT = 1010,
    IDC_MODE_EXTRACT = 1011,
    IDC_MODE_MERGE = 1012,
    IDC_REPLACE85 = 1013,
    IDC_FIX_QUOTES = 1014,
    IDC_FIX_LETTER_L = 1015,
    IDC_REMOVE_DIGIT_SPACES = 1016,
    IDC_SHIFT_BASIC = 1017,
    IDC_SHIFT_DETAILED = 1018,
    IDC_OFFSET_MS = 1020,
    IDC_HOURS = 1021,
    IDC_SIGN = 1022,
    IDC_MINUTES = 1023,
    IDC_SECONDS = 1024,
    IDC_MILLIS = 1025,
    IDC_SRC1 = 1026,
    IDC_DST1 = 1027,
    IDC_SRC2 = 1028,
    IDC_DST2 = 1029,
    IDC_RUN = 1030,
    IDC_MS_LABEL = 1031,
    IDC_COLON1 = 1032,
    IDC_COLON2 = 1033,
    IDC_POINT = 1034,
    IDC_ARROW1 = 1035,
    IDC_COMMA = 1036,
    IDC_ARROW2 = 1037,
};

inline constexpr int32_t IDD_ABOUTBOX = 100;
inline constexpr int32_t IDD_MAIN = 102;
inline constexpr int32_t IDR_MAINFRAME = 128;
inline constexpr int32_t IDM_ABOUTBOX = 0x10;

const CDialogTemplate& MainDialogTemplate();
const CDialogTemplate& AboutDialogTemplate();

// Items of the drop-down list of a template, in order (the sign list).
std::span<const char* const> DropListItems(int32_t nId);

// String 101: the About item of the system menu.
const char* AboutMenuText();

// Tooltip of a control, or nullptr when it has none.
const char* ToolTipText(int32_t nId);

// The toolkit prompt for a detailed-shift field that is not an unsigned number.
const char* UnsignedPromptText();

}  // namespace tavrel
