#include "ui/MainDlg.h"

#include <limits>

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

#include "run/RunDispatch.h"
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
constexpr int32_t kHmsIds[] = {IDC_HOURS, IDC_MINUTES, IDC_SECONDS, IDC_MILLIS};

// The unsigned exchange of the detailed-shift fields: leading white space,
// then decimal digits only, within 32 bits.
bool ParseUnsigned(std::u16string_view text, uint32_t& nValue)
{
    size_t i = 0;
    while (i < text.size() && IsWhiteSpace(text[i]))
        ++i;
    if (i == text.size())
        return false;
    uint64_t nResult = 0;
    for (; i < text.size(); ++i)
    {
        const char16_t c = text[i];
        if (c < u'0' || c > u'9')
            return false;
        nResult = nResult * 10 + static_cast<uint64_t>(c - u'0');
        if (nResult > std::numeric_limits<uint32_t>::max())
            return false;
    }
    nValue = static_cast<uint32_t>(nResult);
    return true;
}

int32_t Saturate(int64_t nValue)
{
    if (nValue > std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    if (nValue < std::numeric_limits<int32_t>::min())
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(nValue);
}

int32_t CheckedIndex(const QButtonGroup* pGroup)
{
    return pGroup != nullptr ? pGroup->checkedId() : -1;
}

void SetCheckedIndex(QButtonGroup* pGroup, int32_t nIndex)
{
    if (pGroup == nullptr)
        return;
    if (QAbstractButton* pButton = pGroup->button(nIndex))
    {
        pButton->setChecked(true);
        return;
    }
    // No such button: clear the group, as the Windows radio exchange does.
    pGroup->setExclusive(false);
    for (QAbstractButton* pOther : pGroup->buttons())
        pOther->setChecked(false);
    pGroup->setExclusive(true);
}

// The folder of a path in a field; empty when the path names none or a missing one (a file dialog would take the
// last part of a missing folder for a file name).
QString FolderOf(const QString& strPath)
{
    const QString strClean = QDir::fromNativeSeparators(strPath);
    if (!strClean.contains(u'/'))
        return QString();
    const QString strFolder = QFileInfo(strClean).path();
    return QFileInfo(strFolder).isDir() ? strFolder : QString();
}

QString ToQString(std::u16string_view text)
{
    return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

// Restores the cursor however the job returns.
class CWaitCursor
{
public:
    CWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CWaitCursor() { QApplication::restoreOverrideCursor(); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};
}  // namespace

CMainDlg::CMainDlg(QWidget* pParent)
    : QDialog(pParent),
      m_bMsFieldActive(false),
      m_nPrevMode(0),
      m_editOutput(nullptr),
      m_editText(nullptr),
      m_editInput(nullptr),
      m_bReplace85(0),
      m_bFixQuotes(0),
      m_bFixLetterL(0),
      m_bRemoveDigitSpaces(0),
      m_nSign(0),
      m_nMode(0),
      m_nShiftKind(0),
      m_nSrc1(0),
      m_nDst1(0),
      m_nSrc2(0),
      m_nDst2(0),
      m_hIcon(LoadAppIcon())
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

void CMainDlg::ConnectHandlers()
{
    connect(RadioGroup(IDC_MODE_CORRECT), &QButtonGroup::idClicked, this, [this](int nMode) { OnModeChanged(nMode); });
    connect(RadioGroup(IDC_SHIFT_BASIC), &QButtonGroup::idClicked, this,
            [this](int nKind) { ApplyShiftKind(nKind, true); });

    auto* pMsField = qobject_cast<QLineEdit*>(Control(IDC_OFFSET_MS));
    connect(pMsField, &QLineEdit::textChanged, this, [this] { OnMsFieldChanged(); });
    pMsField->installEventFilter(this);
    for (int32_t nId : kHmsIds)
    {
        auto* pField = qobject_cast<QLineEdit*>(Control(nId));
        connect(pField, &QLineEdit::textChanged, this, [this] { OnHmsFieldChanged(); });
        pField->installEventFilter(this);
    }
    // Only a choice by the user counts, not a selection set by the exchange.
    auto* pSign = qobject_cast<QComboBox*>(Control(IDC_SIGN));
    connect(pSign, &QComboBox::activated, this, [this] { OnHmsFieldChanged(); });
    pSign->installEventFilter(this);

    connect(m_editInput, &QLineEdit::textChanged, this, [this] { UpdateOutputName(); });
    connect(qobject_cast<QPushButton*>(Control(IDC_BROWSE_INPUT)), &QPushButton::clicked, this,
            [this] { OnBrowseInput(); });
    connect(qobject_cast<QPushButton*>(Control(IDC_BROWSE_TEXT)), &QPushButton::clicked, this,
            [this] { OnBrowseText(); });
    connect(qobject_cast<QPushButton*>(Control(IDC_BROWSE_OUTPUT)), &QPushButton::clicked, this,
            [this] { OnBrowseOutput(); });
    connect(qobject_cast<QPushButton*>(Control(IDC_RUN)), &QPushButton::clicked, this, [this] { OnRun(); });
    connect(qobject_cast<QPushButton*>(Control(IDC_CLOSE)), &QPushButton::clicked, this, &QDialog::reject);
}

void CMainDlg::OnInitDialog()
{
    UpdateData(false);
    AddAboutToSystemMenu();
    setWindowIcon(m_hIcon);
    for (int32_t nId : {IDC_OFFSET_MS, IDC_HOURS, IDC_MINUTES, IDC_SECONDS, IDC_MILLIS})
        SetControlText(nId, QStringLiteral("0"));
    m_nPrevMode = 0;
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
    {
        if (pWatched == Control(IDC_OFFSET_MS))
            m_bMsFieldActive = true;
        else
            m_bMsFieldActive = false;  // one of the h:m:s.ms fields or the sign list
    }
    return QDialog::eventFilter(pWatched, pEvent);
}

std::u16string CMainDlg::ControlText(int32_t nId) const
{
    if (const auto* pEdit = qobject_cast<const QLineEdit*>(Control(nId)))
        return pEdit->text().toStdU16String();
    return {};
}

void CMainDlg::SetControlText(int32_t nId, const QString& strText)
{
    QWidget* pWidget = Control(nId);
    if (auto* pEdit = qobject_cast<QLineEdit*>(pWidget))
        pEdit->setText(strText);
    else if (auto* pLabel = qobject_cast<QLabel*>(pWidget))
        pLabel->setText(strText);
}

void CMainDlg::EnableControls(std::initializer_list<int32_t> ids, bool bEnable)
{
    for (int32_t nId : ids)
        if (QWidget* pWidget = Control(nId))
            pWidget->setEnabled(bEnable);
}

bool CMainDlg::ExchangeUnsigned(int32_t nId, uint32_t& nValue, bool bSave)
{
    auto* pEdit = qobject_cast<QLineEdit*>(Control(nId));
    if (!bSave)
    {
        pEdit->setText(QString::number(nValue));
        return true;
    }
    if (ParseUnsigned(pEdit->text().toStdU16String(), nValue))
        return true;
    ShowMessage(QString::fromUtf8(UnsignedPromptText()));
    pEdit->setFocus();
    pEdit->selectAll();
    return false;
}

bool CMainDlg::UpdateData(bool bSaveAndValidate)
{
    int32_t* const pOptions[] = {&m_bReplace85, &m_bFixQuotes, &m_bFixLetterL, &m_bRemoveDigitSpaces};
    auto* pSign = qobject_cast<QComboBox*>(Control(IDC_SIGN));
    if (bSaveAndValidate)
    {
        for (size_t i = 0; i < std::size(kOptionIds); ++i)
            *pOptions[i] = qobject_cast<QCheckBox*>(Control(kOptionIds[i]))->isChecked() ? 1 : 0;
        m_nSign = pSign->currentIndex();
        m_nMode = CheckedIndex(RadioGroup(IDC_MODE_CORRECT));
        m_nShiftKind = CheckedIndex(RadioGroup(IDC_SHIFT_BASIC));
    }
    else
    {
        for (size_t i = 0; i < std::size(kOptionIds); ++i)
            qobject_cast<QCheckBox*>(Control(kOptionIds[i]))->setChecked(*pOptions[i] != 0);
        pSign->setCurrentIndex(m_nSign);
        SetCheckedIndex(RadioGroup(IDC_MODE_CORRECT), m_nMode);
        SetCheckedIndex(RadioGroup(IDC_SHIFT_BASIC), m_nShiftKind);
    }
    // The detailed fields count only while the detailed shift is chosen; until then the members keep their last
    // valid values, so that a bad value left there never stops the exchange.
    if (bSaveAndValidate && static_cast<ShiftKind>(m_nShiftKind) != ShiftKind::Detailed)
        return true;
    return ExchangeUnsigned(IDC_SRC1, m_nSrc1, bSaveAndValidate) &&
           ExchangeUnsigned(IDC_DST1, m_nDst1, bSaveAndValidate) &&
           ExchangeUnsigned(IDC_SRC2, m_nSrc2, bSaveAndValidate) &&
           ExchangeUnsigned(IDC_DST2, m_nDst2, bSaveAndValidate);
}

void CMainDlg::OnModeChanged(int32_t nMode)
{
    UpdateData(true);
    if (m_nMode == m_nPrevMode)
        return;
    m_editText->clear();
    m_editOutput->clear();
    if (static_cast<Mode>(m_nPrevMode) == Mode::Convert || CurrentMode() == Mode::Convert)
        m_editInput->clear();
    else
        UpdateOutputName();
    m_nPrevMode = m_nMode;
    ApplyRowSettings(nMode);
    const bool bOptions = static_cast<Mode>(nMode) == Mode::Correct;
    EnableControls(
        {IDC_REPLACE85, IDC_FIX_QUOTES, IDC_FIX_LETTER_L, IDC_REMOVE_DIGIT_SPACES, IDC_SHIFT_BASIC, IDC_SHIFT_DETAILED},
        bOptions);
    ApplyShiftKind(m_nShiftKind, bOptions);
}

void CMainDlg::ApplyRowSettings(int32_t nMode)
{
    const CRowSettings* pRows = RowSettings(nMode);
    if (pRows == nullptr)
        return;
    SetControlText(IDC_INPUT_LABEL, QString::fromUtf8(pRows->pszInputLabel));
    EnableControls({IDC_TEXT_LABEL, IDC_TEXT, IDC_BROWSE_TEXT}, pRows->bTextRow);
    if (pRows->pszOutputLabel != nullptr)
        SetControlText(IDC_OUTPUT_LABEL, QString::fromUtf8(pRows->pszOutputLabel));
    EnableControls({IDC_OUTPUT_LABEL, IDC_OUTPUT, IDC_BROWSE_OUTPUT}, pRows->bOutputRow);
}

void CMainDlg::ApplyShiftKind(int32_t nKind, bool bEnabled)
{
    const bool bBasic = static_cast<ShiftKind>(nKind) == ShiftKind::Basic && bEnabled;
    const bool bDetailed = static_cast<ShiftKind>(nKind) == ShiftKind::Detailed && bEnabled;
    EnableControls({IDC_OFFSET_MS, IDC_HOURS, IDC_MINUTES, IDC_SECONDS, IDC_MILLIS, IDC_SIGN, IDC_MS_LABEL, IDC_COLON1,
                    IDC_COLON2, IDC_POINT},
                   bBasic);
    EnableControls({IDC_SRC1, IDC_DST1, IDC_SRC2, IDC_DST2, IDC_ARROW1, IDC_COMMA, IDC_ARROW2}, bDetailed);
}

void CMainDlg::OnMsFieldChanged()
{
    if (!m_bMsFieldActive)
        return;
    const std::u16string strText = ControlText(IDC_OFFSET_MS);
    const std::u16string_view text = TrimWhiteSpace(strText);
    if (text.empty())
    {
        for (int32_t nId : kHmsIds)
            SetControlText(nId, QString());
        UpdateData(true);
        m_nSign = 0;
        UpdateData(false);
        return;
    }
    UpdateData(true);
    // In 64 bits, so that the most negative offset has a magnitude too.
    int64_t nValue = ParseOffsetText(text);
    m_nSign = nValue < 0 ? 1 : 0;
    if (nValue < 0)
        nValue = -nValue;
    UpdateData(false);
    const int64_t nMillis = nValue % 1000;
    const int64_t nSeconds = nValue / 1000;
    const int64_t nMinutes = nSeconds / 60;
    SetControlText(IDC_HOURS, QString::number(nMinutes / 60));
    SetControlText(IDC_MINUTES, QString::number(nMinutes % 60));
    SetControlText(IDC_SECONDS, QString::number(nSeconds % 60));
    SetControlText(IDC_MILLIS, QString::number(nMillis));
}

void CMainDlg::OnHmsFieldChanged()
{
    if (m_bMsFieldActive)
        return;
    UpdateData(true);
    int64_t nParts[4] = {};
    for (size_t i = 0; i < std::size(kHmsIds); ++i)
    {
        const std::u16string strText = ControlText(kHmsIds[i]);
        nParts[i] = ParseOffsetText(TrimWhiteSpace(strText));
    }
    // At most about 2^53 in magnitude: no overflow in 64 bits.
    int64_t nTotal = ((nParts[0] * 60 + nParts[1]) * 60 + nParts[2]) * 1000 + nParts[3];
    if (m_nSign != 0)
        nTotal = -nTotal;
    SetControlText(IDC_OFFSET_MS, QString::number(Saturate(nTotal)));
}

void CMainDlg::UpdateOutputName()
{
    UpdateData(true);
    SetControlText(IDC_OUTPUT, ToQString(MakeOutputName(CurrentMode(), ControlText(IDC_INPUT))));
}

CRunRequest CMainDlg::MakeRunRequest() const
{
    CRunRequest request;
    request.m_nMode = CurrentMode();
    request.m_strInput = ControlText(IDC_INPUT);
    request.m_strText = ControlText(IDC_TEXT);
    request.m_strOutput = ControlText(IDC_OUTPUT);
    request.m_nShiftKind = static_cast<ShiftKind>(m_nShiftKind);
    request.m_strOffset = ControlText(IDC_OFFSET_MS);
    request.m_nSrc1 = m_nSrc1;
    request.m_nDst1 = m_nDst1;
    request.m_nSrc2 = m_nSrc2;
    request.m_nDst2 = m_nDst2;
    request.m_bReplace85 = m_bReplace85;
    request.m_bFixQuotes = m_bFixQuotes;
    request.m_bFixLetterL = m_bFixLetterL;
    request.m_bRemoveDigitSpaces = m_bRemoveDigitSpaces;
    return request;
}

void CMainDlg::OnRun()
{
    UpdateData(true);
    const CRunRequest request = MakeRunRequest();
    CRunResult stopped;
    if (!CheckRun(request, stopped))
    {
        ShowResult(stopped);
        return;
    }
    switch (CurrentMode())
    {
    case Mode::Correct:
        RunCorrection(request.m_strInput, request.m_strOutput);
        break;
    case Mode::Convert:
        RunConversion(request.m_strInput);
        break;
    case Mode::Extract:
        RunExtraction(request.m_strInput, request.m_strOutput);
        break;
    case Mode::Merge:
        RunMerge(request.m_strInput, request.m_strText, request.m_strOutput);
        break;
    default:
        break;
    }
}

void CMainDlg::RunCorrection(const std::u16string& strInput, const std::u16string& strOutput)
{
    CRunRequest request = MakeRunRequest();
    request.m_strInput = strInput;
    request.m_strOutput = strOutput;
    CRunResult result;
    {
        CWaitCursor wait;
        result = tavrel::RunCorrection(request);
    }
    ShowResult(result);
}

void CMainDlg::RunConversion(const std::u16string& strInput)
{
    CRunResult result;
    {
        CWaitCursor wait;
        result = tavrel::RunConversion(strInput);
    }
    ShowResult(result);
}

void CMainDlg::RunExtraction(const std::u16string& strInput, const std::u16string& strOutput)
{
    CRunResult result;
    {
        CWaitCursor wait;
        result = tavrel::RunExtraction(strInput, strOutput);
    }
    ShowResult(result);
}

void CMainDlg::RunMerge(const std::u16string& strInput, const std::u16string& strText, const std::u16string& strOutput)
{
    CRunResult result;
    {
        CWaitCursor wait;
        result = tavrel::RunMerge(strInput, strText, strOutput);
    }
    ShowResult(result);
}

void CMainDlg::ShowResult(const CRunResult& result)
{
    if (result.m_nMessage != MessageId::None)
        ShowMessage(ToQString(result.Text()));
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
    UpdateData(true);
    Browse(m_editInput, false, CurrentMode() == Mode::Convert ? FileFilter::Subtitle : FileFilter::Srt);
}

void CMainDlg::OnBrowseText()
{
    UpdateData(true);
    Browse(m_editText, false, FileFilter::Text);
}

void CMainDlg::OnBrowseOutput()
{
    UpdateData(true);
    Browse(m_editOutput, true, CurrentMode() == Mode::Extract ? FileFilter::Text : FileFilter::Srt);
}

void CMainDlg::Browse(CDropEdit* pField, bool bSave, FileFilter nFilter)
{
    // Open where the field's path is; the output goes beside the input when it names no folder of its own.
    QString strFolder = FolderOf(pField->text());
    if (strFolder.isEmpty() && pField == m_editOutput)
        strFolder = FolderOf(m_editInput->text());
    const QString strPath = ChooseFile(bSave, strFolder, QString::fromUtf8(FileFilterText(nFilter)));
    if (!strPath.isEmpty())
        pField->setText(QDir::toNativeSeparators(strPath));
}

QString CMainDlg::ChooseFile(bool bSave, const QString& strFolder, const QString& strFilter)
{
    // The save dialog asks before it replaces an existing file; no extension is added.
    if (bSave)
        return QFileDialog::getSaveFileName(this, QString(), strFolder, strFilter);
    return QFileDialog::getOpenFileName(this, QString(), strFolder, strFilter);
}

}  // namespace tavrel
