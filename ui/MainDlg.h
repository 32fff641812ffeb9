#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include <QDialog>
#include <QIcon>

#include "res/DialogTemplates.h"
#include "run/RunDispatch.h"

class QButtonGroup;

namespace tavrel
{

class CDialogBuilder;
class CDropEdit;

// The main window: three path fields, the options, the time-shift fields and
// the four mode buttons. Jobs and their messages come from the run module.
class CMainDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CMainDlg(QWidget* pParent = nullptr);
    ~CMainDlg() override;

    // A control by its template id (nullptr for unknown ids).
    QWidget* Control(int32_t nId) const;

    // true: controls into members (stops at a detailed-shift field that is
    // not an unsigned number; those fields only while the detailed shift is
    // chosen); false: members into controls.
    bool UpdateData(bool bSaveAndValidate = true);

    // The selected mode; the data exchange gives -1 for none, kept as it is.
    Mode CurrentMode() const { return static_cast<Mode>(m_nMode); }

    void OnModeChanged(int32_t nMode);
    void ApplyShiftKind(int32_t nKind, bool bEnabled);
    void OnMsFieldChanged();
    void OnHmsFieldChanged();
    void UpdateOutputName();
    void OnRun();
    void RunCorrection(const std::u16string& strInput, const std::u16string& strOutput);
    void RunConversion(const std::u16string& strInput);
    void RunExtraction(const std::u16string& strInput, const std::u16string& strOutput);
    void RunMerge(const std::u16string& strInput, const std::u16string& strText, const std::u16string& strOutput);
    void OnBrowseInput();
    void OnBrowseText();
    void OnBrowseOutput();
    void OnSysCommand(uint32_t nId);
    bool OnHelpInfo();
    // The tooltip of a control; empty for controls without one.
    static QString OnToolTipNeedText(int32_t nId);

    bool m_bMsFieldActive;
    int32_t m_nPrevMode;
    CDropEdit* m_editOutput;
    CDropEdit* m_editText;
    CDropEdit* m_editInput;
    int32_t m_bReplace85;
    int32_t m_bFixQuotes;
    int32_t m_bFixLetterL;
    int32_t m_bRemoveDigitSpaces;
    int32_t m_nSign;
    int32_t m_nMode;
    int32_t m_nShiftKind;
    uint32_t m_nSrc1;
    uint32_t m_nDst1;
    uint32_t m_nSrc2;
    uint32_t m_nDst2;
    QIcon m_hIcon;

protected:
    // Seams: a modal message box, a file dialog and the About box.
    virtual void ShowMessage(const QString& strText);
    // strFolder: where the dialog opens; empty for the toolkit's choice.
    virtual QString ChooseFile(bool bSave, const QString& strFolder, const QString& strFilter);
    virtual void ShowAbout();

    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;
    void contextMenuEvent(QContextMenuEvent* pEvent) override;
#ifdef _WIN32
    bool nativeEvent(const QByteArray& eventType, void* pMessage, qintptr* pResult) override;
#endif

private:
    void OnInitDialog();
    void ConnectHandlers();
    void AddAboutToSystemMenu();
    void EnableToolTips();
    void ApplyRowSettings(int32_t nMode);
    void EnableControls(std::initializer_list<int32_t> ids, bool bEnable);
    void Browse(CDropEdit* pField, bool bSave, FileFilter nFilter);
    CRunRequest MakeRunRequest() const;
    void ShowResult(const CRunResult& result);

    std::u16string ControlText(int32_t nId) const;
    void SetControlText(int32_t nId, const QString& strText);
    bool ExchangeUnsigned(int32_t nId, uint32_t& nValue, bool bSave);
    QButtonGroup* RadioGroup(int32_t nFirstId) const;

    std::unique_ptr<CDialogBuilder> m_pBuilder;
};

}  // namespace tavrel
