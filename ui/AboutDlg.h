#pragma once

#include <QDialog>

namespace tavrel
{

// The About box, built from template 100.
class CAboutDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* pParent = nullptr);

    // The help key does nothing here.
    bool OnHelpInfo();

protected:
    void keyPressEvent(QKeyEvent* pEvent) override;
};

}  // namespace tavrel
