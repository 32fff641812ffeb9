#include "ui/AboutDlg.h"

#include <QKeyEvent>
#include <QPushButton>

#include "res/DialogTemplates.h"
#include "ui/AppIcon.h"
#include "ui/DialogBuilder.h"

namespace tavrel
{

CAboutDlg::CAboutDlg(QWidget* pParent)
    : QDialog(pParent)
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    const CDialogTemplate& dlgTemplate = AboutDialogTemplate();
    CDialogBuilder builder(CDialogBuilder::DialogFont(dlgTemplate));
    builder.Build(*this, dlgTemplate, LoadAppIcon());
    if (auto* pOk = qobject_cast<QPushButton*>(builder.Control(IDC_OK)))
        connect(pOk, &QPushButton::clicked, this, &QDialog::accept);
}

bool CAboutDlg::OnHelpInfo()
{
    return true;
}

void CAboutDlg::keyPressEvent(QKeyEvent* pEvent)
{
    if (pEvent->key() == Qt::Key_F1)
    {
        OnHelpInfo();
        pEvent->accept();
        return;
    }
    QDialog::keyPressEvent(pEvent);
}

}  // namespace tavrel
