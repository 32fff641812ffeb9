// The builder through both templates: every caption fits the room the style
// leaves it in its control and no two controls overlap, with the dialog font
// and with one of twice its size (what a 192-dpi screen gives); the built
// dialogs follow their templates: captions, geometry, tab order and states.

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>

#include "UiTestMain.h"
#include "res/DialogTemplates.h"
#include "run/Modes.h"
#include "ui/AppIcon.h"
#include "ui/DialogBuilder.h"

using namespace tavrel;

namespace
{
const CDialogTemplate& Template(bool bAbout)
{
    return bAbout ? AboutDialogTemplate() : MainDialogTemplate();
}

// A dialog built from a template, its font scaled by nScale.
struct CBuilt
{
    static QFont Font(const CDialogTemplate& dlgTemplate, int nScale)
    {
        QFont font = CDialogBuilder::DialogFont(dlgTemplate);
        font.setPixelSize(QFontInfo(font).pixelSize() * nScale);
        return font;
    }

    CBuilt(bool bAbout, int nScale)
        : dlgTemplate(Template(bAbout)),
          builder(Font(dlgTemplate, nScale))
    {
        builder.Build(dialog, dlgTemplate, LoadAppIcon());
    }

    // The controls in creation order, which is the template's.
    QList<QWidget*> Controls() const { return dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly); }

    const CDialogTemplate& dlgTemplate;
    QDialog dialog;
    CDialogBuilder builder;
};

QString TextOf(const QWidget* pWidget)
{
    if (const auto* pCombo = qobject_cast<const QComboBox*>(pWidget))
    {
        QStringList items;
        for (int i = 0; i < pCombo->count(); ++i)
            items << pCombo->itemText(i);
        return items.join('\n');
    }
    if (const auto* pGroup = qobject_cast<const QGroupBox*>(pWidget))
        return pGroup->title();
    return pWidget->property("text").toString();
}

// Where the style draws a control's texts, and what else it draws beside them there (a check box's box, the
// drop-down's arrow), which the texts must leave free.
struct TextRoom
{
    QStringList texts;
    QRect room;
    QRect beside;
};

template <class Option>
Option OptionOf(const QWidget* pWidget)
{
    Option option;
    option.initFrom(pWidget);
    return option;
}

TextRoom RoomOf(const QWidget* pWidget)
{
    const QStyle* pStyle = pWidget->style();
    const QString strText = TextOf(pWidget);
    if (qobject_cast<const QCheckBox*>(pWidget) != nullptr)
    {
        const auto option = OptionOf<QStyleOptionButton>(pWidget);
        return {{strText},
                pStyle->subElementRect(QStyle::SE_CheckBoxContents, &option, pWidget),
                pStyle->subElementRect(QStyle::SE_CheckBoxIndicator, &option, pWidget)};
    }
    if (qobject_cast<const QRadioButton*>(pWidget) != nullptr)
    {
        const auto option = OptionOf<QStyleOptionButton>(pWidget);
        return {{strText},
                pStyle->subElementRect(QStyle::SE_RadioButtonContents, &option, pWidget),
                pStyle->subElementRect(QStyle::SE_RadioButtonIndicator, &option, pWidget)};
    }
    if (qobject_cast<const QPushButton*>(pWidget) != nullptr)
    {
        const auto option = OptionOf<QStyleOptionButton>(pWidget);
        const int nMargin = pStyle->pixelMetric(QStyle::PM_ButtonMargin, &option, pWidget);
        const QRect contents = pStyle->subElementRect(QStyle::SE_PushButtonContents, &option, pWidget);
        return {{strText}, contents.adjusted(nMargin, 0, -nMargin, 0), {}};
    }
    if (qobject_cast<const QComboBox*>(pWidget) != nullptr)
    {
        // The closed box draws its item 1 pixel inside the edit field.
        const auto option = OptionOf<QStyleOptionComboBox>(pWidget);
        const QRect field = pStyle->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, pWidget);
        return {strText.split('\n'), field.adjusted(1, 0, -1, 0),
                pStyle->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, pWidget)};
    }
    if (const auto* pGroup = qobject_cast<const QGroupBox*>(pWidget))
    {
        auto option = OptionOf<QStyleOptionGroupBox>(pWidget);
        option.text = strText;
        option.textAlignment = pGroup->alignment();
        option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
        return {{strText}, pStyle->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, pWidget), {}};
    }
    if (qobject_cast<const QLineEdit*>(pWidget) != nullptr)
    {
        // A line edit keeps 2 pixels beside and 1 above and below its text.
        const auto option = OptionOf<QStyleOptionFrame>(pWidget);
        const QRect contents = pStyle->subElementRect(QStyle::SE_LineEditContents, &option, pWidget);
        return {{strText}, contents.adjusted(2, 1, -2, -1), {}};
    }
    if (const auto* pLabel = qobject_cast<const QLabel*>(pWidget); pLabel != nullptr && pLabel->pixmap().isNull())
        return {{strText}, pLabel->contentsRect(), {}};
    return {};
}

// Labels relabelled by mode must fit the new texts too.
QStringList LaterTexts(const CControlTemplate& control)
{
    QStringList texts;
    for (const CModeRow& row : ModeRows())
    {
        const CModeRow* pRows = &row;
        if (control.nId == IDC_INPUT_LABEL)
            texts << QString::fromUtf8(pRows->pszInputLabel);
        if (control.nId == IDC_OUTPUT_LABEL && pRows->pszOutputLabel != nullptr)
            texts << QString::fromUtf8(pRows->pszOutputLabel);
    }
    return texts;
}

QString Name(const CControlTemplate& control)
{
    return QStringLiteral("%1 \"%2\"").arg(control.nId).arg(QString::fromUtf8(control.pszCaption));
}

void AddBuildRows(bool bScaled = true)
{
    QTest::addColumn<bool>("about");
    QTest::addColumn<int>("scale");
    for (int nScale = 1; nScale <= (bScaled ? 2 : 1); ++nScale)
    {
        QTest::addRow("main window, %dx", nScale) << false << nScale;
        QTest::addRow("About box, %dx", nScale) << true << nScale;
    }
}
}  // namespace

class CDialogBuilderTest : public QObject
{
    Q_OBJECT

private slots:
    // Hidden controls and empty captions aside.
    void CaptionsFit_data() { AddBuildRows(); }
    void CaptionsFit()
    {
        QFETCH(bool, about);
        QFETCH(int, scale);
        const CBuilt built(about, scale);
        QStringList misfits;
        const QList<QWidget*> controls = built.Controls();
        for (qsizetype i = 0; i < controls.size(); ++i)
        {
            const CControlTemplate& control = built.dlgTemplate.controls[static_cast<size_t>(i)];
            const TextRoom room = RoomOf(controls[i]);
            const QFontMetricsF metrics(controls[i]->font());
            const bool bRoomInside = controls[i]->rect().contains(room.room) && !room.room.intersects(room.beside) &&
                                     (room.beside.isNull() || controls[i]->rect().contains(room.beside));
            for (const QString& strText : room.texts + LaterTexts(control))
            {
                const QSizeF need(metrics.horizontalAdvance(strText), metrics.height());
                if (controls[i]->isHidden() || strText.isEmpty() ||
                    (bRoomInside && need.width() <= room.room.width() && need.height() <= room.room.height()))
                    continue;
                misfits << QStringLiteral("%1 \"%2\" needs %3x%4, has %5x%6")
                               .arg(control.nId)
                               .arg(strText)
                               .arg(need.width())
                               .arg(need.height())
                               .arg(room.room.width())
                               .arg(room.room.height());
            }
        }
        QVERIFY2(misfits.isEmpty(), qPrintable(misfits.join("; ")));
    }

    // Except a group box with the controls it frames; the hidden OK button does not count.
    void NoControlsOverlap_data() { AddBuildRows(); }
    void NoControlsOverlap()
    {
        QFETCH(bool, about);
        QFETCH(int, scale);
        const CBuilt built(about, scale);
        const QList<QWidget*> controls = built.Controls();
        QStringList overlaps;
        for (qsizetype i = 0; i < controls.size(); ++i)
            for (qsizetype j = i + 1; j < controls.size(); ++j)
            {
                const QRect a = controls[i]->geometry(), b = controls[j]->geometry();
                const bool bFramed = (qobject_cast<QGroupBox*>(controls[i]) != nullptr && a.contains(b)) ||
                                     (qobject_cast<QGroupBox*>(controls[j]) != nullptr && b.contains(a));
                if (!controls[i]->isHidden() && !controls[j]->isHidden() && !bFramed && a.intersects(b))
                    overlaps << Name(built.dlgTemplate.controls[static_cast<size_t>(i)]) + " and " +
                                    Name(built.dlgTemplate.controls[static_cast<size_t>(j)]);
            }
        QVERIFY2(overlaps.isEmpty(), qPrintable(overlaps.join("; ")));
    }

    // The template's rectangle in pixels, except the drop-down (closed: one edit high), the icon (its own 32x32)
    // and check boxes and radio buttons, which may run on to the right into free space.
    void ControlsFollowTemplate_data() { AddBuildRows(); }
    void ControlsFollowTemplate()
    {
        QFETCH(bool, about);
        QFETCH(int, scale);
        const CBuilt built(about, scale);
        const QList<QWidget*> controls = built.Controls();
        QCOMPARE(controls.size(), qsizetype(built.dlgTemplate.controls.size()));
        QCOMPARE(built.dialog.size(), built.builder.ToPixels(0, 0, built.dlgTemplate.cx, built.dlgTemplate.cy).size());
        for (qsizetype i = 0; i < controls.size(); ++i)
        {
            const CControlTemplate& control = built.dlgTemplate.controls[static_cast<size_t>(i)];
            const QWidget* pWidget = controls[i];
            QRect expected = built.builder.ToPixels(control.x, control.y, control.cx, control.cy);
            if (control.nKind == ControlKind::DropList)
                expected.setHeight(built.builder.ToPixels(0, 0, 0, 12).height());
            if (control.nKind == ControlKind::Icon)
                expected.setSize({32, 32});
            if ((control.nKind == ControlKind::CheckBox || control.nKind == ControlKind::Radio) &&
                pWidget->width() > expected.width())
                expected.setWidth(pWidget->width());
            QVERIFY2(pWidget->geometry() == expected, qPrintable(Name(control)));
            if (control.nKind != ControlKind::Icon && control.nKind != ControlKind::DropList)
                QCOMPARE(TextOf(pWidget), QString::fromUtf8(control.pszCaption));
            if (control.nId != kNoId)
                QCOMPARE(built.builder.Control(control.nId), pWidget);
            QVERIFY2(pWidget->isEnabled() == !(control.nStyle & ControlStyle::Disabled), qPrintable(Name(control)));
            QVERIFY2(pWidget->isHidden() == (control.nStyle & ControlStyle::Hidden), qPrintable(Name(control)));
            if (const auto* pButton = qobject_cast<const QAbstractButton*>(pWidget); pButton && pButton->isCheckable())
                QVERIFY2(pButton->isChecked() == (control.nStyle & ControlStyle::Checked), qPrintable(Name(control)));
            if (const auto* pButton = qobject_cast<const QPushButton*>(pWidget))
                QVERIFY2(pButton->isDefault() == (control.nStyle & ControlStyle::Default), qPrintable(Name(control)));
        }
    }

    void TabOrderIsTemplateOrder_data() { AddBuildRows(false); }
    void TabOrderIsTemplateOrder()
    {
        QFETCH(bool, about);
        QFETCH(int, scale);
        const CBuilt built(about, scale);
        QList<QWidget*> expected;
        for (QWidget* pControl : built.Controls())
            if (pControl->focusPolicy() & Qt::TabFocus)
                expected << pControl;
        QList<QWidget*> chain;
        for (QWidget* pWidget = built.dialog.nextInFocusChain(); pWidget != &built.dialog;
             pWidget = pWidget->nextInFocusChain())
            if (expected.contains(pWidget))
                chain << pWidget;
        QVERIFY(!expected.isEmpty());
        QCOMPARE(chain, expected);
    }

    // The titles, the About box's texts and main window texts pinned by id (-1: the title; in the About box the
    // control's place in the template).
    void UserReadsTexts_data()
    {
        QTest::addColumn<bool>("about");
        QTest::addColumn<int>("control");
        QTest::addColumn<QString>("text");
        QTest::newRow("main title") << false << -1 << "Tavrel von Norvane 버전 1.0";
        QTest::newRow("sign items in order") << false << int(IDC_SIGN) << "+\n-";
        QTest::newRow("hidden OK button") << false << int(IDC_OK) << "확인";
        QTest::newRow("quote option") << false << int(IDC_FIX_QUOTES) << "\\', \\'(x2), \" 수정";
        QTest::newRow("About title") << true << -1 << "Tavrel 정보";
        QTest::newRow("About version") << true << 1 << "Tavrel von Norvane 버전 1.0";
        QTest::newRow("About legal line") << true << 2 << "Copyright (C) 2026 Norvane";
        QTest::newRow("About OK button") << true << 3 << "확인";
    }
    void UserReadsTexts()
    {
        QFETCH(bool, about);
        QFETCH(int, control);
        QFETCH(QString, text);
        const CBuilt built(about, 1);
        if (control < 0)
            QCOMPARE(built.dialog.windowTitle(), text);
        else
            QCOMPARE(TextOf(about ? built.Controls().at(control) : built.builder.Control(control)), text);
    }

    void OkButtonOfMainWindowIsNeverReachable()
    {
        const CBuilt built(false, 1);
        const QWidget* pOk = built.builder.Control(IDC_OK);
        QVERIFY(pOk->isHidden());
        QVERIFY(!pOk->isEnabled());
        QVERIFY(qobject_cast<const QPushButton*>(built.builder.Control(IDC_RUN))->isDefault());
    }
};

TAVREL_UI_TEST_MAIN(CDialogBuilderTest)
#include "DialogBuilder.moc"
