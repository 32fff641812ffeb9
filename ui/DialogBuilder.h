#pragma once

#include <cstdint>
#include <map>

#include <QFont>
#include <QIcon>
#include <QRect>

#include "res/DialogTemplates.h"

class QButtonGroup;
class QDialog;
class QWidget;

namespace tavrel
{

// Builds a dialog's controls from a template, placing them in dialog units
// measured with the dialog font the way the Windows dialog manager does.
class CDialogBuilder
{
public:
    // "굴림" when installed, else an installed Korean font.
    static QFont DialogFont(const CDialogTemplate& dlgTemplate);

    explicit CDialogBuilder(const QFont& font);

    QRect ToPixels(int32_t x, int32_t y, int32_t cx, int32_t cy) const;

    // Sets the dialog's title, font and fixed size and creates every control.
    void Build(QDialog& dialog, const CDialogTemplate& dlgTemplate, const QIcon& icon);

    QWidget* Control(int32_t nId) const;
    // The radio group that starts at the control nFirstId.
    QButtonGroup* RadioGroup(int32_t nFirstId) const;

private:
    QWidget* CreateControl(QDialog& dialog, const CControlTemplate& control, const QIcon& icon);

    QFont m_font;
    int32_t m_nBaseX;  // average character width
    int32_t m_nBaseY;  // character height
    std::map<int32_t, QWidget*> m_mapControls;
    std::map<int32_t, QButtonGroup*> m_mapGroups;
};

}  // namespace tavrel
