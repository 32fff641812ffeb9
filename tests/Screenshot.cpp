// tavrel-screenshot run as a process: its image is the real window at the asked scale, every mode looks different
// and the same request gives the same picture; a bad command line writes nothing.

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include "UiTestMain.h"
#include "ui/AboutDlg.h"
#include "ui/MainDlg.h"

using namespace tavrel;

namespace
{
// The exit code of the tool, or -1 when it did not end by itself.
int RunScreenshot(const QStringList& args)
{
    QProcess process;
    process.start(TAVREL_SCREENSHOT_PATH, args);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
        return -1;
    return process.exitCode();
}
}  // namespace

class CScreenshotTest : public QObject
{
    Q_OBJECT

private slots:
    void ImageIsTheWindowAtTheScale_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("about");
        QTest::addColumn<int>("scale");
        QTest::newRow("window") << QStringList() << false << 1;
        QTest::newRow("window at 2") << QStringList({"--scale", "2"}) << false << 2;
        QTest::newRow("About box") << QStringList({"--about"}) << true << 1;
        QTest::newRow("About box at 2") << QStringList({"--scale", "2", "--about"}) << true << 2;
    }

    void ImageIsTheWindowAtTheScale()
    {
        QFETCH(QStringList, args);
        QFETCH(bool, about);
        QFETCH(int, scale);
        const QSize window = about ? tavrel::CAboutDlg().size() : tavrel::CMainDlg().size();
        QTemporaryDir dir;
        QCOMPARE(RunScreenshot(args << dir.filePath("shot.png")), 0);
        QCOMPARE(QImage(dir.filePath("shot.png")).size(), window * scale);
    }

    // The mode buttons and the shift kind are really pressed; a second run of one request matches the first, so
    // that a regenerated image changes only with the window.
    void EachModeLooksDifferentAndRepeats()
    {
        QTemporaryDir dir;
        QList<QImage> images;
        for (const char* pszMode : {"correct", "convert", "extract", "merge", "detailed", "correct"})
        {
            const QString strOutput = dir.filePath(QString("%1-%2.png").arg(images.size()).arg(pszMode));
            QCOMPARE(RunScreenshot({"--mode", pszMode, "--input", "movie.srt", "--offset", "-1500", strOutput}), 0);
            images << QImage(strOutput);
            QVERIFY(!images.back().isNull());
        }
        for (qsizetype i = 0; i < 5; ++i)
            for (qsizetype j = i + 1; j < 5; ++j)
                QVERIFY2(images[i] != images[j], qPrintable(QString("modes %1 and %2 look alike").arg(i).arg(j)));
        QVERIFY(images[0] == images[5]);
    }

    // Names ending in .png are made files of a fresh folder, which stays empty.
    void BadRequestWritesNothing_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exit");
        QTest::newRow("unknown mode") << QStringList({"--mode", "shift", "shot.png"}) << 2;
        QTest::newRow("scale below 1") << QStringList({"--scale", "0.5", "shot.png"}) << 2;
        QTest::newRow("scale above 4") << QStringList({"shot.png", "--scale", "5"}) << 2;
        QTest::newRow("scale with a unit") << QStringList({"--scale", "2x", "shot.png"}) << 2;
        QTest::newRow("unknown option") << QStringList({"--size", "2", "shot.png"}) << 2;
        QTest::newRow("value missing") << QStringList({"shot.png", "--input"}) << 2;
        QTest::newRow("no output") << QStringList({"--mode", "merge"}) << 2;
        QTest::newRow("two outputs") << QStringList({"shot.png", "other.png"}) << 2;
        QTest::newRow("no such folder") << QStringList({"missing/shot.png"}) << 1;
    }

    void BadRequestWritesNothing()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exit);
        QTemporaryDir dir;
        for (QString& arg : args)
            arg = arg.endsWith(".png") ? dir.filePath(arg) : arg;
        QCOMPARE(RunScreenshot(args), exit);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    }
};

TAVREL_UI_TEST_MAIN(CScreenshotTest)
#include "Screenshot.moc"
