#include "ui/DropEdit.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>

namespace tavrel
{

CDropEdit::CDropEdit(QWidget* pParent)
    : QLineEdit(pParent)
{
    setAcceptDrops(true);
}

CDropEdit::~CDropEdit() = default;

void CDropEdit::dragEnterEvent(QDragEnterEvent* pEvent)
{
    if (pEvent->mimeData()->hasUrls())
        pEvent->acceptProposedAction();
    else
        QLineEdit::dragEnterEvent(pEvent);
}

void CDropEdit::dragMoveEvent(QDragMoveEvent* pEvent)
{
    if (pEvent->mimeData()->hasUrls())
        pEvent->acceptProposedAction();
    else
        QLineEdit::dragMoveEvent(pEvent);
}

void CDropEdit::dropEvent(QDropEvent* pEvent)
{
    if (!pEvent->mimeData()->hasUrls())
    {
        QLineEdit::dropEvent(pEvent);
        return;
    }
    pEvent->acceptProposedAction();
    OnDropFiles(pEvent->mimeData()->urls());
}

void CDropEdit::OnDropFiles(const QList<QUrl>& urls)
{
    if (urls.isEmpty())
        return;
    QString strPath = urls.front().toLocalFile();
    const QString strTarget = ResolveShortcut(strPath);
    if (!strTarget.isEmpty())
        strPath = strTarget;
    if (strPath.isEmpty())
        return;

    if (QFileInfo(strPath).isFile())
        setText(QDir::toNativeSeparators(strPath));
}

QString CDropEdit::ResolveShortcut(const QString& strPath)
{
    if (strPath.isEmpty())
        return {};
    const QFileInfo info(strPath);
    if (!info.isSymLink())
        return {};
    return info.symLinkTarget();
}

}  // namespace tavrel
