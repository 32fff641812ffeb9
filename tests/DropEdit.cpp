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

namespace
{
constexpr char kUnchanged[] = "/typed/before";

// Sends the drag and the drop a shell would send; true when the drop was accepted.
bool Drop(QWidget* pTarget, const QStringList& paths)
{
    QMimeData mime;
    QList<QUrl> urls;
    for (const QString& strPath : paths)
        urls << QUrl::fromLocalFile(strPath);
    mime.setUrls(urls);
    const QPoint pos = pTarget->rect().center();
    QDragEnterEvent enter(pos, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(pTarget, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(QPointF(pos), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(pTarget, &drop);
    return drop.isAccepted();
}

}  // namespace

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

    void TakesFirstExistingItemOfItsKind()
    {
        QFETCH(QStringList, dropped);
        QFETCH(QString, result);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        for (const char* pszName : {"a.srt", "b.srt", "c.srt"})
        {
            QFile file(dir.filePath(pszName));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write("1\r\n") == 3);
        }
        QVERIFY(QDir(dir.path()).mkdir("sub"));
        QVERIFY(QFile::link(dir.filePath("a.srt"), dir.filePath("file-link")));
        QVERIFY(QFile::link(dir.filePath("sub"), dir.filePath("folder-link")));
        CDropEdit edit;
        edit.setText(kUnchanged);
        QStringList paths;
        for (const QString& strName : dropped)
            paths << dir.filePath(strName);
        QVERIFY(Drop(&edit, paths));
        QCOMPARE(edit.text(), result.isEmpty() ? QString(kUnchanged) : QDir::toNativeSeparators(dir.filePath(result)));
    }
};

TAVREL_UI_TEST_MAIN(CDropEditTest)
#include "DropEdit.moc"
