#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include <QDialog>
#include <QIcon>

#include "res/DialogTemplates.h"
#include "ui/DialogModel.h"

class QButtonGroup;

namespace tavrel
{

class CDialogBuilder;
class CDropEdit;

// The main window on Qt: builds the controls from the template and maps them
// onto the dialog model, which holds the values and the rules.
class CMainDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CMainDlg(QWidget* pParent = nullptr);
    ~CMainDlg() override;

    // A control by its template id (nullptr for unknown ids).
    QWidget* Control(int32_t nId) const;
    const CDialogModel& Model() const { return *m_pModel; }

    // true: the detailed-shift fields into their values (stops at one that is
    // not an unsigned number); false: every value into the controls.
    bool UpdateData(bool bSaveAndValidate = true);

    Mode CurrentMode() const { return m_pModel->CurrentMode(); }

    void OnRun();
    void OnBrowseInput();
    void OnBrowseText();
    void OnBrowseOutput();
    void OnSysCommand(uint32_t nId);
    bool OnHelpInfo();
    // The tooltip of a control; empty for controls without one.
    static QString OnToolTipNeedText(int32_t nId);

    CDropEdit* m_editOutput;
    CDropEdit* m_editText;
    CDropEdit* m_editInput;
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
    class CView;

    void OnInitDialog();
    void ConnectHandlers();
    void ConnectField(int32_t nId);
    void AddAboutToSystemMenu();
    void EnableToolTips();
    void Browse(int32_t nButtonId);
    QButtonGroup* RadioGroup(int32_t nFirstId) const;

    std::unique_ptr<CDialogBuilder> m_pBuilder;
    std::unique_ptr<CView> m_pView;
    std::unique_ptr<CDialogModel> m_pModel;
};

}  // namespace tavrel
