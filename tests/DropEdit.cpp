// Dropping onto the path fields: only the first item counts, only files
// are taken, and symbolic links count as their targets.

#include <QAbstractButton>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>

#include "UiTestMain.h"
#include "res/DialogTemplates.h"
#include "ui/DropEdit.h"
#include "ui/MainDlg.h"

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

class CFolder
{
public:
    CFolder()
    {
        for (const char* pszName : {"a.srt", "b.srt", "c.srt"})
        {
            QFile file(m_dir.filePath(pszName));
            if (file.open(QIODevice::WriteOnly))
                file.write("1\r\n");
        }
        QDir(m_dir.path()).mkdir("sub");
        QFile::link(m_dir.filePath("a.srt"), m_dir.filePath("file-link"));
        QFile::link(m_dir.filePath("sub"), m_dir.filePath("folder-link"));
        QFile::link(m_dir.filePath("gone.srt"), m_dir.filePath("dangling-link"));
    }

    QString Path(const QString& strName) const { return strName.isEmpty() ? QString() : m_dir.filePath(strName); }
    bool IsValid() const { return m_dir.isValid(); }

private:
    QTemporaryDir m_dir;
};
}  // namespace

class CDropEditTest : public QObject
{
    Q_OBJECT

private slots:
    void TakesFirstExistingItemOfItsKind_data()
    {
        QTest::addColumn<QStringList>("dropped");
        QTest::addColumn<bool>("folders");
        QTest::addColumn<QString>("result");  // a name in the folder; "" for unchanged

        QTest::newRow("a file") << QStringList{"a.srt"} << false << "a.srt";
        QTest::newRow("three files") << QStringList{"b.srt", "a.srt", "c.srt"} << false << "b.srt";
        QTest::newRow("a folder") << QStringList{"sub"} << false << "";
        QTest::newRow("a folder first") << QStringList{"sub", "a.srt"} << false << "";
        QTest::newRow("link to a file") << QStringList{"file-link"} << false << "a.srt";
        QTest::newRow("link to a folder") << QStringList{"folder-link"} << false << "";
        QTest::newRow("dangling link") << QStringList{"dangling-link"} << false << "";
        QTest::newRow("missing file") << QStringList{"gone.srt"} << false << "";
        QTest::newRow("folder when folders are wanted") << QStringList{"sub"} << true << "sub";
        QTest::newRow("file when folders are wanted") << QStringList{"a.srt"} << true << "";
        QTest::newRow("link to a folder when folders are wanted") << QStringList{"folder-link"} << true << "sub";
    }

    void TakesFirstExistingItemOfItsKind()
    {
        QFETCH(QStringList, dropped);
        QFETCH(bool, folders);
        QFETCH(QString, result);

        CFolder folder;
        QVERIFY(folder.IsValid());
        CDropEdit edit;
        edit.m_bAcceptFolders = folders ? 1 : 0;
        edit.setText(kUnchanged);
        QStringList paths;
        for (const QString& strName : dropped)
            paths << folder.Path(strName);
        QVERIFY(Drop(&edit, paths));
        QCOMPARE(edit.text(), result.isEmpty() ? QString(kUnchanged) : QDir::toNativeSeparators(folder.Path(result)));
    }

    // In the window a drop on the input names the output; one on the text
    // field leaves it.
    void DropsOnWindowFields()
    {
        CFolder folder;
        QVERIFY(folder.IsValid());
        CMainDlg dlg;
        const auto text = [&dlg](int nId) { return qobject_cast<QLineEdit*>(dlg.Control(nId))->text(); };
        qobject_cast<QAbstractButton*>(dlg.Control(IDC_MODE_MERGE))->click();
        QVERIFY(Drop(dlg.Control(IDC_INPUT), {folder.Path("a.srt"), folder.Path("b.srt")}));
        QVERIFY(Drop(dlg.Control(IDC_TEXT), {folder.Path("b.srt")}));
        QCOMPARE((QStringList{text(IDC_INPUT), text(IDC_TEXT), text(IDC_OUTPUT)}),
                 (QStringList{folder.Path("a.srt"), folder.Path("b.srt"), folder.Path("a (merged).srt")}));
    }
};

TAVREL_UI_TEST_MAIN(CDropEditTest)
#include "DropEdit.moc"
