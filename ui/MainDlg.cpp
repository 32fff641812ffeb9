#include "ui/MainDlg.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

#include "text/Unicode.h"
#include "ui/AboutDlg.h"
#include "ui/AppIcon.h"
#include "ui/DialogBuilder.h"
#include "ui/DropEdit.h"

namespace tavrel
{

namespace
{
constexpr int32_t kOptionIds[] = {IDC_REPLACE85, IDC_FIX_QUOTES, IDC_FIX_LETTER_L, IDC_REMOVE_DIGIT_SPACES};
// Fields whose focus decides which form of the offset is being edited.
constexpr int32_t kTimeIds[] = {IDC_OFFSET_MS, IDC_HOURS, IDC_MINUTES, IDC_SECONDS, IDC_MILLIS, IDC_SIGN};
constexpr int32_t kEditIds[] = {IDC_INPUT,   IDC_TEXT,   IDC_OUTPUT, IDC_OFFSET_MS, IDC_HOURS, IDC_MINUTES,
                                IDC_SECONDS, IDC_MILLIS, IDC_SRC1,   IDC_DST1,      IDC_SRC2,  IDC_DST2};

QString ToQString(std::u16string_view text)
{
    return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}
}  // namespace

// Applies what the model sets without echoing it back as edits.
class CMainDlg::CView : public IDialogView
{
public:
    explicit CView(CMainDlg& dlg)
        : m_dlg(dlg)
    {}

    void SetText(int32_t nId, std::u16string_view text) override
    {
        QWidget* pWidget = m_dlg.Control(nId);
        const QSignalBlocker blocker(pWidget);
        if (auto* pEdit = qobject_cast<QLineEdit*>(pWidget))
            pEdit->setText(ToQString(text));
        else if (auto* pLabel = qobject_cast<QLabel*>(pWidget))
            pLabel->setText(ToQString(text));
    }
    void Enable(int32_t nId, bool bEnable) override
    {
        if (QWidget* pWidget = m_dlg.Control(nId))
            pWidget->setEnabled(bEnable);
    }
    void SetChecked(int32_t nId, bool bChecked) override
    {
        auto* pButton = qobject_cast<QAbstractButton*>(m_dlg.Control(nId));
        const QSignalBlocker blocker(pButton);
        if (pButton != nullptr)
            pButton->setChecked(bChecked);
    }
    void SetSelection(int32_t nId, int32_t nIndex) override
    {
        if (auto* pList = qobject_cast<QComboBox*>(m_dlg.Control(nId)))
            pList->setCurrentIndex(nIndex);
    }
    void FocusField(int32_t nId) override
    {
        if (auto* pEdit = qobject_cast<QLineEdit*>(m_dlg.Control(nId)))
        {
            pEdit->setFocus();
            pEdit->selectAll();
        }
    }
    void ShowMessage(std::u16string_view text) override { m_dlg.ShowMessage(ToQString(text)); }
    void SetBusy(bool bBusy) override
    {
        if (bBusy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    }

private:
    CMainDlg& m_dlg;
};

CMainDlg::CMainDlg(QWidget* pParent)
    : QDialog(pParent),
      m_editOutput(nullptr),
      m_editText(nullptr),
      m_editInput(nullptr),
      m_hIcon(LoadAppIcon()),
      m_pView(std::make_unique<CView>(*this)),
      m_pModel(std::make_unique<CDialogModel>(*m_pView))
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    const CDialogTemplate& dlgTemplate = MainDialogTemplate();
    m_pBuilder = std::make_unique<CDialogBuilder>(CDialogBuilder::DialogFont(dlgTemplate));
    m_pBuilder->Build(*this, dlgTemplate, m_hIcon);
    m_editOutput = qobject_cast<CDropEdit*>(Control(IDC_OUTPUT));
    m_editText = qobject_cast<CDropEdit*>(Control(IDC_TEXT));
    m_editInput = qobject_cast<CDropEdit*>(Control(IDC_INPUT));
    ConnectHandlers();
    OnInitDialog();
}

CMainDlg::~CMainDlg() = default;

QWidget* CMainDlg::Control(int32_t nId) const
{
    return m_pBuilder->Control(nId);
}

QButtonGroup* CMainDlg::RadioGroup(int32_t nFirstId) const
{
    return m_pBuilder->RadioGroup(nFirstId);
}

void CMainDlg::ConnectField(int32_t nId)
{
    auto* pEdit = qobject_cast<QLineEdit*>(Control(nId));
    connect(pEdit, &QLineEdit::textChanged, this,
            [this, nId](const QString& strText) { m_pModel->OnFieldEdited(nId, strText.toStdU16String()); });
}

void CMainDlg::ConnectHandlers()
{
    connect(RadioGroup(IDC_MODE_CORRECT), &QButtonGroup::idClicked, this,
            [this](int nMode) { m_pModel->OnModeChanged(nMode); });
    connect(RadioGroup(IDC_SHIFT_BASIC), &QButtonGroup::idClicked, this,
            [this](int nKind) { m_pModel->OnShiftKindChosen(nKind); });
    for (int32_t nId : kEditIds)
        ConnectField(nId);
    for (int32_t nId : kTimeIds)
        Control(nId)->installEventFilter(this);
    for (int32_t nId : kOptionIds)
        connect(qobject_cast<QCheckBox*>(Control(nId)), &QCheckBox::toggled, this,
                [this, nId](bool bChecked) { m_pModel->OnCheckChanged(nId, bChecked); });
    // Only a choice by the user counts, not a selection set by the model.
    connect(qobject_cast<QComboBox*>(Control(IDC_SIGN)), &QComboBox::activated, this,
            [this](int nIndex) { m_pModel->OnSignChosen(nIndex); });

    for (int32_t nId : {IDC_BROWSE_INPUT, IDC_BROWSE_TEXT, IDC_BROWSE_OUTPUT})
        connect(qobject_cast<QPushButton*>(Control(nId)), &QPushButton::clicked, this, [this, nId] { Browse(nId); });
    connect(qobject_cast<QPushButton*>(Control(IDC_RUN)), &QPushButton::clicked, this, [this] { OnRun(); });
    connect(qobject_cast<QPushButton*>(Control(IDC_CLOSE)), &QPushButton::clicked, this, &QDialog::reject);
}

void CMainDlg::OnInitDialog()
{
    m_pModel->OnInitDialog();
    AddAboutToSystemMenu();
    setWindowIcon(m_hIcon);
    EnableToolTips();
    m_editInput->setFocus();
}

void CMainDlg::AddAboutToSystemMenu()
{
#ifdef _WIN32
    const QString strText = QString::fromUtf8(AboutMenuText());
    HMENU hMenu = GetSystemMenu(reinterpret_cast<HWND>(winId()), FALSE);
    if (hMenu == nullptr || strText.isEmpty())
        return;
    AppendMenuW(hMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(hMenu, MF_STRING, IDM_ABOUTBOX, reinterpret_cast<const wchar_t*>(strText.utf16()));
#endif
}

#ifdef _WIN32
bool CMainDlg::nativeEvent(const QByteArray& eventType, void* pMessage, qintptr* pResult)
{
    const MSG* pMsg = static_cast<const MSG*>(pMessage);
    if (pMsg->message == WM_SYSCOMMAND && (pMsg->wParam & 0xFFF0) == IDM_ABOUTBOX)
    {
        OnSysCommand(static_cast<uint32_t>(pMsg->wParam));
        *pResult = 0;
        return true;
    }
    return QDialog::nativeEvent(eventType, pMessage, pResult);
}
#endif

void CMainDlg::contextMenuEvent(QContextMenuEvent* pEvent)
{
    // Elsewhere than on Windows the About item lives in the dialog's context menu.
#ifndef _WIN32
    QMenu menu(this);
    menu.addAction(QString::fromUtf8(AboutMenuText()), this, [this] { OnSysCommand(IDM_ABOUTBOX); });
    menu.exec(pEvent->globalPos());
#else
    QDialog::contextMenuEvent(pEvent);
#endif
}

void CMainDlg::OnSysCommand(uint32_t nId)
{
    if ((nId & 0xFFF0u) == static_cast<uint32_t>(IDM_ABOUTBOX))
        ShowAbout();
}

bool CMainDlg::OnHelpInfo()
{
    ShowAbout();
    return true;
}

void CMainDlg::ShowAbout()
{
    CAboutDlg dlg(this);
    dlg.exec();
}

QString CMainDlg::OnToolTipNeedText(int32_t nId)
{
    const char* pszText = ToolTipText(nId);
    return pszText != nullptr ? QString::fromUtf8(pszText) : QString();
}

void CMainDlg::EnableToolTips()
{
    for (const CControlTemplate& control : MainDialogTemplate().controls)
        if (QWidget* pWidget = Control(control.nId))
            pWidget->setToolTip(OnToolTipNeedText(control.nId));
}

void CMainDlg::keyPressEvent(QKeyEvent* pEvent)
{
    switch (pEvent->key())
    {
    case Qt::Key_Escape:
        // Escape never closes the window, whichever control has the focus.
        pEvent->accept();
        return;
    case Qt::Key_F1:
        OnHelpInfo();
        pEvent->accept();
        return;
    default:
        QDialog::keyPressEvent(pEvent);
    }
}

bool CMainDlg::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    if (pEvent->type() == QEvent::FocusIn)
        for (int32_t nId : kTimeIds)
            if (pWatched == Control(nId))
                m_pModel->OnFocusEntered(nId);
    return QDialog::eventFilter(pWatched, pEvent);
}

bool CMainDlg::UpdateData(bool bSaveAndValidate)
{
    if (bSaveAndValidate)
        return m_pModel->ExchangeDetailed();
    m_pModel->OnInitDialog();
    return true;
}

void CMainDlg::OnRun()
{
    m_pModel->OnRun();
}

void CMainDlg::ShowMessage(const QString& strText)
{
    const QString strCaption = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    QMessageBox box(QMessageBox::NoIcon, strCaption, strText, QMessageBox::Ok, this);
    box.button(QMessageBox::Ok)->setIcon(QIcon());  // some styles decorate it
    // The box sizes itself to its text alone, so narrow that window managers cut the caption short: leave room for
    // the caption beside the frame's icon and buttons, about ten lines high in all.
    if (auto* pLayout = qobject_cast<QGridLayout*>(box.layout()))
    {
        const QFontMetrics metrics(box.font());
        const int nWidth = metrics.horizontalAdvance(strCaption) + 10 * metrics.height();
        pLayout->addItem(new QSpacerItem(nWidth, 0), pLayout->rowCount(), 0, 1, pLayout->columnCount());
    }
    box.exec();
}

void CMainDlg::OnBrowseInput()
{
    Browse(IDC_BROWSE_INPUT);
}

void CMainDlg::OnBrowseText()
{
    Browse(IDC_BROWSE_TEXT);
}

void CMainDlg::OnBrowseOutput()
{
    Browse(IDC_BROWSE_OUTPUT);
}

void CMainDlg::Browse(int32_t nButtonId)
{
    const CBrowseRequest request = m_pModel->BrowseRequest(nButtonId);
    const QString strPath =
        ChooseFile(request.bSave, ToQString(request.strFolder), QString::fromUtf8(FileFilterText(request.nFilter)));
    if (!strPath.isEmpty())
        qobject_cast<QLineEdit*>(Control(request.nFieldId))->setText(QDir::toNativeSeparators(strPath));
}

QString CMainDlg::ChooseFile(bool bSave, const QString& strFolder, const QString& strFilter)
{
    // The save dialog asks before it replaces an existing file; no extension is added.
    if (bSave)
        return QFileDialog::getSaveFileName(this, QString(), strFolder, strFilter);
    return QFileDialog::getOpenFileName(this, QString(), strFolder, strFilter);
}

}  // namespace tavrel
