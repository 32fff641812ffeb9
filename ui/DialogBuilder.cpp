#include "ui/DialogBuilder.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOption>

#include <algorithm>
#include <cmath>
#include <vector>

#include "ui/DropEdit.h"

namespace tavrel
{

namespace
{
// The Windows MulDiv, for non-negative values: rounds to nearest.
int32_t ScaleUnits(int32_t nValue, int32_t nBase, int32_t nDivisor)
{
    const int64_t nProduct = static_cast<int64_t>(nValue) * nBase;
    return static_cast<int32_t>((nProduct * 2 + nDivisor) / (nDivisor * 2));
}

// The controls' look sized from the dialog font, so that it scales with it: check boxes and radio buttons with a box
// one em high and a sixth of an em before the caption, which leaves the template's narrow captions their room, and a
// drop-down arrow one em wide, which leaves the narrow sign list room for its item.
class CDialogStyle : public QProxyStyle
{
public:
    explicit CDialogStyle(int nEm)
        : m_nEm(nEm)
    {}

    int pixelMetric(PixelMetric nMetric, const QStyleOption* pOption, const QWidget* pWidget) const override
    {
        switch (nMetric)
        {
        case PM_IndicatorWidth:
        case PM_IndicatorHeight:
        case PM_ExclusiveIndicatorWidth:
        case PM_ExclusiveIndicatorHeight:
            return m_nEm;
        case PM_CheckBoxLabelSpacing:
        case PM_RadioButtonLabelSpacing:
            return m_nEm / 6;
        default:
            return QProxyStyle::pixelMetric(nMetric, pOption, pWidget);
        }
    }

    QRect subControlRect(ComplexControl nControl, const QStyleOptionComplex* pOption, SubControl nSubControl,
                         const QWidget* pWidget) const override
    {
        if (nControl != CC_ComboBox || (nSubControl != SC_ComboBoxArrow && nSubControl != SC_ComboBoxEditField))
            return QProxyStyle::subControlRect(nControl, pOption, nSubControl, pWidget);
        const QRect rect = pOption->rect;
        const QRect arrow(rect.right() + 1 - m_nEm, rect.top(), m_nEm, rect.height());
        if (nSubControl == SC_ComboBoxArrow)
            return arrow;
        const int nFrame = pixelMetric(PM_ComboBoxFrameWidth, pOption, pWidget);
        return QRect(QPoint(rect.left() + nFrame, rect.top() + nFrame),
                     QPoint(arrow.left() - 1, rect.bottom() - nFrame));
    }

private:
    int m_nEm;
};

bool IsCheckOrRadio(ControlKind nKind)
{
    return nKind == ControlKind::CheckBox || nKind == ControlKind::Radio;
}

// The width a check box or radio button needs for its whole caption: the style's room before the text, and the text.
int WantedWidth(const QAbstractButton* pButton)
{
    QStyleOptionButton option;
    option.initFrom(pButton);
    const QStyle::SubElement nContents = qobject_cast<const QRadioButton*>(pButton) != nullptr
                                             ? QStyle::SE_RadioButtonContents
                                             : QStyle::SE_CheckBoxContents;
    const QRect contents = pButton->style()->subElementRect(nContents, &option, pButton);
    const qreal rText = QFontMetricsF(pButton->font()).horizontalAdvance(pButton->text());
    return pButton->width() - contents.width() + static_cast<int>(std::ceil(rText));
}

// Lets a check box or radio button whose caption is wider than the control
// run on into free space, up to the next control on its line.
void WidenIntoFreeSpace(QAbstractButton* pButton, const std::vector<QWidget*>& controls)
{
    const QRect rect = pButton->geometry();
    const int nWanted = WantedWidth(pButton);
    if (nWanted <= rect.width())
        return;
    int nRight = rect.x() + nWanted;
    for (const QWidget* pOther : controls)
    {
        const QRect other = pOther->geometry();
        if (pOther != pButton && qobject_cast<const QGroupBox*>(pOther) == nullptr && other.x() > rect.x() &&
            other.top() < rect.bottom() && other.bottom() > rect.top())
            nRight = std::min(nRight, other.x());
    }
    if (nRight > rect.right() + 1)
        pButton->resize(nRight - rect.x(), rect.height());
}

bool IsRadio(ControlKind nKind)
{
    return nKind == ControlKind::Radio || nKind == ControlKind::PushRadio;
}

Qt::Alignment LabelAlignment(ControlStyle nStyle)
{
    if (nStyle & ControlStyle::Right)
        return Qt::AlignRight | Qt::AlignTop;
    if (nStyle & ControlStyle::Center)
        return Qt::AlignHCenter | Qt::AlignTop;
    return Qt::AlignLeft | Qt::AlignTop;
}

QPushButton* CreateButton(QDialog& dialog, const QString& strCaption, ControlStyle nStyle)
{
    auto* pButton = new QPushButton(strCaption, &dialog);
    pButton->setDefault(nStyle & ControlStyle::Default);
    return pButton;
}

QPushButton* CreatePushRadio(QDialog& dialog, const QString& strCaption)
{
    auto* pButton = new QPushButton(strCaption, &dialog);
    pButton->setCheckable(true);
    pButton->setAutoDefault(false);
    return pButton;
}

QComboBox* CreateDropList(QDialog& dialog, int32_t nId)
{
    auto* pCombo = new QComboBox(&dialog);
    for (const char* pszItem : DropListItems(nId))
        pCombo->addItem(QString::fromUtf8(pszItem));
    return pCombo;
}
}  // namespace

QFont CDialogBuilder::DialogFont(const CDialogTemplate& dlgTemplate)
{
    const QString strWanted = QString::fromUtf8(dlgTemplate.pszFont);
    const QStringList families = QFontDatabase::families();
    QString strFamily;
    for (const QString& strCandidate :
         {strWanted, QStringLiteral("Gulim"), QStringLiteral("NanumGothic"), QStringLiteral("NanumBarunGothic"),
          QStringLiteral("Malgun Gothic"), QStringLiteral("Noto Sans CJK KR")})
    {
        if (families.contains(strCandidate, Qt::CaseInsensitive))
        {
            strFamily = strCandidate;
            break;
        }
    }
    QFont font = strFamily.isEmpty() ? QFont() : QFont(strFamily);
    font.setPointSize(dlgTemplate.nPointSize);
    return font;
}

CDialogBuilder::CDialogBuilder(const QFont& font)
    : m_font(font)
{
    const QFontMetrics metrics(font);
    const int nAlphabet =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_nBaseX = std::max(1, (nAlphabet / 26 + 1) / 2);
    m_nBaseY = std::max(1, metrics.height());
}

QRect CDialogBuilder::ToPixels(int32_t x, int32_t y, int32_t cx, int32_t cy) const
{
    return QRect(ScaleUnits(x, m_nBaseX, 4), ScaleUnits(y, m_nBaseY, 8), ScaleUnits(cx, m_nBaseX, 4),
                 ScaleUnits(cy, m_nBaseY, 8));
}

void CDialogBuilder::Build(QDialog& dialog, const CDialogTemplate& dlgTemplate, const QIcon& icon)
{
    dialog.setFont(m_font);
    dialog.setWindowTitle(QString::fromUtf8(dlgTemplate.pszTitle));
    dialog.setFixedSize(ToPixels(0, 0, dlgTemplate.cx, dlgTemplate.cy).size());

    QButtonGroup* pGroup = nullptr;
    std::vector<QWidget*> controls;
    std::vector<QAbstractButton*> checkOrRadio;
    for (const CControlTemplate& control : dlgTemplate.controls)
    {
        if (control.nStyle & ControlStyle::Group)
            pGroup = nullptr;
        QWidget* pWidget = CreateControl(dialog, control, icon);
        if (IsRadio(control.nKind))
        {
            if (pGroup == nullptr)
            {
                pGroup = new QButtonGroup(&dialog);
                m_mapGroups[control.nId] = pGroup;
            }
            auto* pButton = static_cast<QAbstractButton*>(pWidget);
            pGroup->addButton(pButton, static_cast<int>(pGroup->buttons().size()));
        }
        pWidget->setEnabled((control.nStyle & ControlStyle::Disabled) == 0);
        if (control.nStyle & ControlStyle::Hidden)
            pWidget->hide();
        if (control.nId != kNoId)
            m_mapControls[control.nId] = pWidget;
        controls.push_back(pWidget);
        if (IsCheckOrRadio(control.nKind))
            checkOrRadio.push_back(static_cast<QAbstractButton*>(pWidget));
    }

    // Made last, so that the dialog deletes it after the controls that use it.
    auto* pStyle = new CDialogStyle(QFontInfo(m_font).pixelSize());
    pStyle->setParent(&dialog);
    for (QWidget* pWidget : controls)
        pWidget->setStyle(pStyle);
    for (QAbstractButton* pButton : checkOrRadio)
        WidenIntoFreeSpace(pButton, controls);
}

QWidget* CDialogBuilder::CreateControl(QDialog& dialog, const CControlTemplate& control, const QIcon& icon)
{
    const QString strCaption = QString::fromUtf8(control.pszCaption);
    QRect rect = ToPixels(control.x, control.y, control.cx, control.cy);
    QWidget* pWidget = nullptr;
    switch (control.nKind)
    {
    case ControlKind::Label:
    {
        auto* pLabel = new QLabel(strCaption, &dialog);
        pLabel->setTextFormat(Qt::PlainText);
        pLabel->setAlignment(LabelAlignment(control.nStyle));
        pWidget = pLabel;
        break;
    }
    case ControlKind::Icon:
    {
        // An icon control takes the icon's own size, as on Windows.
        auto* pLabel = new QLabel(&dialog);
        pLabel->setPixmap(icon.pixmap(32, 32));
        rect.setSize(QSize(32, 32));
        pWidget = pLabel;
        break;
    }
    case ControlKind::Edit:
        pWidget = new QLineEdit(strCaption, &dialog);
        break;
    case ControlKind::PathEdit:
        pWidget = new CDropEdit(&dialog);
        break;
    case ControlKind::Button:
        pWidget = CreateButton(dialog, strCaption, control.nStyle);
        break;
    case ControlKind::CheckBox:
    {
        auto* pCheck = new QCheckBox(strCaption, &dialog);
        pCheck->setChecked((control.nStyle & ControlStyle::Checked) != 0);
        pWidget = pCheck;
        break;
    }
    case ControlKind::Radio:
    {
        auto* pRadio = new QRadioButton(strCaption, &dialog);
        pRadio->setAutoExclusive(false);  // the button group does it
        pRadio->setChecked((control.nStyle & ControlStyle::Checked) != 0);
        pWidget = pRadio;
        break;
    }
    case ControlKind::PushRadio:
    {
        QPushButton* pButton = CreatePushRadio(dialog, strCaption);
        pButton->setChecked((control.nStyle & ControlStyle::Checked) != 0);
        pWidget = pButton;
        break;
    }
    case ControlKind::DropList:
        // The template height is the opened list's; the closed box is one edit high.
        pWidget = CreateDropList(dialog, control.nId);
        rect.setHeight(ToPixels(0, 0, 0, 12).height());
        break;
    case ControlKind::GroupBox:
        pWidget = new QGroupBox(strCaption, &dialog);
        break;
    }
    pWidget->setGeometry(rect);
    return pWidget;
}

QWidget* CDialogBuilder::Control(int32_t nId) const
{
    const auto it = m_mapControls.find(nId);
    return it == m_mapControls.end() ? nullptr : it->second;
}

QButtonGroup* CDialogBuilder::RadioGroup(int32_t nFirstId) const
{
    const auto it = m_mapGroups.find(nFirstId);
    return it == m_mapGroups.end() ? nullptr : it->second;
}

}  // namespace tavrel
