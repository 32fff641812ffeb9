// The About box: reached with F1 from the main window; F1 inside it does
// nothing, OK and Escape close it.

#include <QPushButton>
#include <QTimer>

#include "UiTestMain.h"
#include "res/DialogTemplates.h"
#include "ui/AboutDlg.h"
#include "ui/MainDlg.h"

class CAboutDlgTest : public QObject
{
    Q_OBJECT

private slots:
    void ClosesWithOkAndEscape()
    {
        for (bool bEscape : {false, true})
        {
            CAboutDlg dlg;
            dlg.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dlg));
            if (bEscape)
                QTest::keyClick(&dlg, Qt::Key_Escape);
            else
                dlg.findChild<QPushButton*>()->click();
            QVERIFY(!dlg.isVisible());
        }
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
            auto* pAbout = qobject_cast<CAboutDlg*>(QApplication::activeModalWidget());
            if (pAbout == nullptr)
                return QApplication::closeAllWindows();
            seen << "about";
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
