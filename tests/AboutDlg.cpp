// The About box: reached with F1 from the main window; F1 inside it does
// nothing, OK and Escape close it.

#include <QPushButton>
#include <QTimer>

#include "UiTestMain.h"
#include "res/DialogTemplates.h"
#include "ui/AboutDlg.h"
#include "ui/MainDlg.h"

using namespace tavrel;

class CAboutDlgTest : public QObject
{
    Q_OBJECT

private slots:
    void HelpKeyOpensAboutOnce_data()
    {
        QTest::addColumn<bool>("escape");  // how the box is closed: Escape or its OK button
        QTest::newRow("OK") << false;
        QTest::newRow("Escape") << true;
    }

    // F1 in the main window opens the About box; F1 in it neither closes it
    // nor opens another.
    void HelpKeyOpensAboutOnce()
    {
        QFETCH(bool, escape);
        CMainDlg main;
        main.show();
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QStringList seen;
        QTimer::singleShot(0, [&seen, escape] {
            auto* pAbout = qobject_cast<CAboutDlg*>(QApplication::activeModalWidget());
            if (pAbout == nullptr)
                return QApplication::closeAllWindows();
            seen << "about";
            QTest::keyClick(pAbout, Qt::Key_F1);
            seen << (QApplication::activeModalWidget() == pAbout && pAbout->isVisible() ? "still" : "changed");
            escape ? QTest::keyClick(pAbout, Qt::Key_Escape) : pAbout->findChild<QPushButton*>()->click();
            seen << (pAbout->isVisible() ? "open" : "closed");
            if (pAbout->isVisible())
                pAbout->done(0);  // so that a failure ends the test instead of hanging it
        });
        QTest::keyClick(main.Control(IDC_INPUT), Qt::Key_F1);
        QCOMPARE(seen, QStringList({"about", "still", "closed"}));
        QVERIFY(main.isVisible());
    }
};

TAVREL_UI_TEST_MAIN(CAboutDlgTest)
#include "AboutDlg.moc"
