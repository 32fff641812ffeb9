// Dropping onto the path fields: only the first item counts, only files
// are taken, and symbolic links count as their targets.

#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>

#include "UiTestMain.h"
#include "ui/DropEdit.h"

using namespace tavrel;

class CDropEditTest : public QObject
{
    Q_OBJECT

private slots:
    void TakesFirstExistingItemOfItsKind_data()
    {
        QTest::addColumn<QStringList>("dropped");
        QTest::addColumn<QString>("result");  // a name in the folder; "" for unchanged
        QTest::newRow("a file") << QStringList{"a.srt"} << "a.srt";
        QTest::newRow("three files") << QStringList{"b.srt", "a.srt", "c.srt"} << "b.srt";
        QTest::newRow("a folder") << QStringList{"sub"} << "";
        QTest::newRow("link to a file") << QStringList{"file-link"} << "a.srt";
        QTest::newRow("link to a folder") << QStringList{"folder-link"} << "";
    }

    // Sends the drag and the drop a shell would send; both must be accepted.
    void TakesFirstExistingItemOfItsKind()
    {
        QFETCH(QStringList, dropped);
        QFETCH(QString, result);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        for (const char* pszName : {"a.srt", "b.srt", "c.srt"})
            QVERIFY(QFile(dir.filePath(pszName)).open(QIODevice::WriteOnly));
        QVERIFY(QDir(dir.path()).mkdir("sub"));
        QVERIFY(QFile::link(dir.filePath("a.srt"), dir.filePath("file-link")));
        QVERIFY(QFile::link(dir.filePath("sub"), dir.filePath("folder-link")));
        CDropEdit edit;
        edit.setText("/typed/before");
        QList<QUrl> urls;
        for (const QString& strName : dropped)
            urls << QUrl::fromLocalFile(dir.filePath(strName));
        QMimeData mime;
        mime.setUrls(urls);
        const QPoint pos = edit.rect().center();
        QDragEnterEvent enter(pos, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&edit, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(pos), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&edit, &drop);
        QVERIFY(drop.isAccepted());
        QCOMPARE(edit.text(), result.isEmpty() ? "/typed/before" : QDir::toNativeSeparators(dir.filePath(result)));
    }
};

TAVREL_UI_TEST_MAIN(CDropEditTest)
#include "DropEdit.moc"
