#include "ui/win32/DialogTemplateWriter.h"

#include <string>

#include <windows.h>

#include "text/Unicode.h"

namespace tavrel
{

namespace
{
// Window class atoms of the predefined controls.
constexpr uint16_t kButtonClass = 0x0080;
constexpr uint16_t kEditClass = 0x0081;
constexpr uint16_t kStaticClass = 0x0082;
constexpr uint16_t kComboBoxClass = 0x0085;

struct CControlBits
{
    uint16_t nClass;
    DWORD nStyle;
    DWORD nExStyle;
};

DWORD StaticAlignment(ControlStyle nStyle)
{
    if (nStyle & ControlStyle::Right)
        return SS_RIGHT;
    return (nStyle & ControlStyle::Center) ? SS_CENTER : SS_LEFT;
}

CControlBits KindBits(const CControlTemplate& control)
{
    const ControlStyle s = control.nStyle;
    switch (control.nKind)
    {
    case ControlKind::Label:
        return {kStaticClass, StaticAlignment(s) | ((s & ControlStyle::NoPrefix) ? DWORD(SS_NOPREFIX) : 0u), 0};
    case ControlKind::Icon:
        return {kStaticClass, SS_ICON, 0};
    case ControlKind::Edit:
        return {kEditClass, ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case ControlKind::PathEdit:
        return {kEditClass, ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE | WS_EX_ACCEPTFILES};
    case ControlKind::Button:
        return {kButtonClass, DWORD((s & ControlStyle::Default) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | WS_TABSTOP, 0};
    case ControlKind::CheckBox:
        return {kButtonClass, BS_AUTOCHECKBOX | WS_TABSTOP, 0};
    case ControlKind::Radio:
        return {kButtonClass, BS_AUTORADIOBUTTON, 0};
    case ControlKind::PushRadio:
        return {kButtonClass, BS_AUTORADIOBUTTON | BS_PUSHLIKE, 0};
    case ControlKind::DropList:
        return {kComboBoxClass, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0};
    case ControlKind::GroupBox:
        return {kButtonClass, BS_GROUPBOX, 0};
    }
    return {kStaticClass, SS_LEFT, 0};
}

CControlBits ControlBits(const CControlTemplate& control)
{
    CControlBits bits = KindBits(control);
    bits.nStyle |= WS_CHILD;
    if (!(control.nStyle & ControlStyle::Hidden))
        bits.nStyle |= WS_VISIBLE;
    if (control.nStyle & ControlStyle::Disabled)
        bits.nStyle |= WS_DISABLED;
    if (control.nStyle & ControlStyle::Group)
    {
        bits.nStyle |= WS_GROUP;
        // The first radio button of a group is where the tab key stops.
        if (control.nKind == ControlKind::Radio || control.nKind == ControlKind::PushRadio)
            bits.nStyle |= WS_TABSTOP;
    }
    return bits;
}

class CTemplateWriter
{
public:
    void Word(uint16_t nWord) { m_words.push_back(nWord); }
    void DWord(uint32_t nValue)
    {
        Word(static_cast<uint16_t>(nValue & 0xFFFF));
        Word(static_cast<uint16_t>(nValue >> 16));
    }
    void Short(int32_t nValue) { Word(static_cast<uint16_t>(static_cast<int16_t>(nValue))); }
    void String(const char* pszUtf8)
    {
        for (char16_t c : Utf8ToU16(pszUtf8 != nullptr ? pszUtf8 : ""))
            Word(c);
        Word(0);
    }
    void AlignToDWord()
    {
        if (m_words.size() % 2 != 0)
            Word(0);
    }
    std::vector<uint16_t> Take() { return std::move(m_words); }

private:
    std::vector<uint16_t> m_words;
};

void WriteControl(CTemplateWriter& writer, const CControlTemplate& control)
{
    const CControlBits bits = ControlBits(control);
    writer.AlignToDWord();
    writer.DWord(0);  // help id
    writer.DWord(bits.nExStyle);
    writer.DWord(bits.nStyle);
    writer.Short(control.x);
    writer.Short(control.y);
    writer.Short(control.cx);
    writer.Short(control.cy);
    writer.DWord(static_cast<uint32_t>(control.nId));
    writer.Word(0xFFFF);
    writer.Word(bits.nClass);
    writer.String(control.nKind == ControlKind::Icon ? "" : control.pszCaption);
    writer.Word(0);  // no creation data
}
}  // namespace

std::vector<uint16_t> BuildDialogTemplate(const CDialogTemplate& dlgTemplate, bool bMainWindow)
{
    DWORD nStyle = DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    DWORD nExStyle = 0;
    if (bMainWindow)
    {
        nStyle |= WS_MINIMIZEBOX;
        nExStyle |= WS_EX_APPWINDOW;  // in the task bar
    }
    CTemplateWriter writer;
    writer.Word(1);  // version
    writer.Word(0xFFFF);
    writer.DWord(0);  // help id
    writer.DWord(nExStyle);
    writer.DWord(nStyle);
    writer.Word(static_cast<uint16_t>(dlgTemplate.controls.size()));
    writer.Short(0);
    writer.Short(0);
    writer.Short(dlgTemplate.cx);
    writer.Short(dlgTemplate.cy);
    writer.Word(0);  // no menu
    writer.Word(0);  // the dialog class
    writer.String(dlgTemplate.pszTitle);
    writer.Word(static_cast<uint16_t>(dlgTemplate.nPointSize));
    writer.Word(FW_NORMAL);
    writer.Word(static_cast<uint16_t>(DEFAULT_CHARSET << 8));  // not italic, then the character set
    writer.String(dlgTemplate.pszFont);
    for (const CControlTemplate& control : dlgTemplate.controls)
        WriteControl(writer, control);
    return writer.Take();
}

}  // namespace tavrel
