#pragma once

#include <cstdint>

#include <QLineEdit>
#include <QList>
#include <QUrl>

namespace tavrel
{

// A single-line path field that takes a dropped file and replaces its whole
// text with the path.
class CDropEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit CDropEdit(QWidget* pParent = nullptr);
    ~CDropEdit() override;

    // Takes the first of the dropped items; links are followed to their target.
    void OnDropFiles(const QList<QUrl>& urls);

    // The target of a symbolic link (or a shell shortcut on Windows), or an
    // empty text when the path is neither.
    static QString ResolveShortcut(const QString& strPath);

protected:
    void dragEnterEvent(QDragEnterEvent* pEvent) override;
    void dragMoveEvent(QDragMoveEvent* pEvent) override;
    void dropEvent(QDropEvent* pEvent) override;
};

}  // namespace tavrel
