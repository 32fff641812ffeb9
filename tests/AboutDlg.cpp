// The About box: built from its template, reached with F1 from the main
// window; F1 inside it does nothing, OK and Escape close it.

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include "UiTestMain.h"
#include "res/DialogTemplates.h"
#include "ui/AboutDlg.h"
#include "ui/MainDlg.h"

namespace
{
QStringList LabelTexts(const QWidget& dialog)
{
    QStringList texts;
    for (const QLabel* pLabel : dialog.findChildren<QLabel*>())
        if (!pLabel->text().isEmpty())
            texts << pLabel->text();
    return texts;
}
}  // namespace

class CAboutDlgTest : public QObject
{
    Q_OBJECT

private slots:
    void ShowsTemplateTexts()
    {
        CAboutDlg dlg;
        QCOMPARE(dlg.windowTitle(), QString::fromUtf8("Tavrel 정보"));
        const QStringList texts = LabelTexts(dlg);
        QCOMPARE(texts.size(), 2);
        QCOMPARE(texts.front(), QString::fromUtf8("Tavrel von Norvane 버전 1.0"));
        QVERIFY(texts.back().contains("Norvane"));
        const auto buttons = dlg.findChildren<QPushButton*>();
        QCOMPARE(buttons.size(), 1);
        QCOMPARE(buttons.front()->text(), QString::fromUtf8("확인"));
        QVERIFY(buttons.front()->isDefault());
    }

    void ClosesWithOkAndEscape_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("OK") << false;
        QTest::newRow("Escape") << true;
    }

    void ClosesWithOkAndEscape()
    {
        QFETCH(bool, escape);
        CAboutDlg dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        if (escape)
            QTest::keyClick(&dlg, Qt::Key_Escape);
        else
            dlg.findChild<QPushButton*>()->click();
        QVERIFY(!dlg.isVisible());
    }

    // F1 in the main window opens the About box; F1 in it neither closes it
    // nor opens another.
    void HelpKeyOpensAboutOnce()
    {
        CMainDlg main;
        main.show();
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));

        QStringList seen;
        QTimer::singleShot(0, [&seen] {
            QWidget* pModal = QApplication::activeModalWidget();
            auto* pAbout = qobject_cast<CAboutDlg*>(pModal);
            seen << (pAbout != nullptr ? "about" : "other");
            if (pAbout == nullptr)
            {
                if (pModal != nullptr)
                    pModal->close();
                return;
            }
            QTest::keyClick(pAbout, Qt::Key_F1);
            seen << (QApplication::activeModalWidget() == pAbout && pAbout->isVisible() ? "still" : "changed");
            pAbout->findChild<QPushButton*>()->click();
        });
        QTest::keyClick(main.Control(IDC_INPUT), Qt::Key_F1);
        QCOMPARE(seen, QStringList({"about", "still"}));
        QVERIFY(main.isVisible());
    }
};

TAVREL_UI_TEST_MAIN(CAboutDlgTest)
#include "AboutDlg.moc"
