#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "res/DialogTemplates.h"
#include "run/Job.h"

namespace tavrel
{

// What the dialog model asks of a window toolkit. Texts set here must not come
// back as edit events: the model runs the follow-up handlers itself.
class IDialogView
{
public:
    virtual ~IDialogView() = default;

    virtual void SetText(int32_t nId, std::u16string_view text) = 0;
    virtual void Enable(int32_t nId, bool bEnable) = 0;
    // Check boxes and radio buttons.
    virtual void SetChecked(int32_t nId, bool bChecked) = 0;
    // The selected item of a drop-down list.
    virtual void SetSelection(int32_t nId, int32_t nIndex) = 0;
    // Focus into a field with its whole text selected.
    virtual void FocusField(int32_t nId) = 0;
    virtual void ShowMessage(std::u16string_view text) = 0;
    // A wait cursor while a job runs.
    virtual void SetBusy(bool bBusy) = 0;
};

// The millisecond field's lenient reading: blanks, an optional sign, then the
// digits up to the first other character; beyond the 32-bit range it
// saturates instead of wrapping. The run request and the h:m:s fields share it.
int32_t ParseOffsetText(std::u16string_view text);

// What a browse button opens and which field takes the chosen path.
struct CBrowseRequest
{
    int32_t nFieldId = kNoId;
    bool bSave = false;
    FileFilter nFilter = FileFilter::Srt;
    std::u16string strFolder;  // where the dialog opens; empty for the toolkit's choice
};

// The main window without a toolkit: the field values and every rule of the
// dialog (rows per mode, field clearing, the two forms of the offset, output
// naming, Run). A front end maps its controls onto these events and applies
// what the model sets through IDialogView.
class CDialogModel
{
public:
    explicit CDialogModel(IDialogView& view);

    // Pushes every value and enabled state into the view (the first exchange).
    void OnInitDialog();

    // Events of the front end.
    void OnFieldEdited(int32_t nId, std::u16string_view text);
    void OnFocusEntered(int32_t nId);
    void OnCheckChanged(int32_t nId, bool bChecked);
    void OnSignChosen(int32_t nIndex);
    void OnModeChanged(int32_t nMode);
    void OnShiftKindChosen(int32_t nKind);
    void OnRun();
    CBrowseRequest BrowseRequest(int32_t nButtonId) const;
    // A path chosen in a file dialog: replaces the whole field.
    void OnFileChosen(int32_t nFieldId, std::u16string_view path);

    // Reads the detailed-shift fields into their values while the detailed
    // shift is chosen; false (after the prompt) at a field that is no
    // unsigned number, whose value and those after it stay as they were.
    bool ExchangeDetailed();

    const std::u16string& Text(int32_t nId) const;
    Mode CurrentMode() const { return static_cast<Mode>(m_nMode); }
    ShiftKind CurrentShiftKind() const { return static_cast<ShiftKind>(m_nShiftKind); }
    int32_t Sign() const { return m_nSign; }
    bool IsChecked(int32_t nId) const;
    // s1, t1, s2, t2 as last exchanged.
    std::array<uint32_t, 4> DetailedValues() const { return m_nDetailed; }

private:
    void SetField(int32_t nId, std::u16string_view text);
    void OnTextChanged(int32_t nId);
    void ApplyRowSettings(int32_t nMode);
    void ApplyShiftKind(int32_t nKind, bool bEnabled);
    void EnableAll(std::initializer_list<int32_t> ids, bool bEnable);
    void OnMsFieldChanged();
    void OnHmsFieldChanged();
    void UpdateOutputName();
    CJobRequest MakeJobRequest() const;
    CJobOutcome RunChecked(const CJobRequest& request);

    IDialogView& m_view;
    std::map<int32_t, std::u16string> m_mapTexts;
    bool m_bMsFieldActive = false;
    int32_t m_nPrevMode = 0;
    std::array<int32_t, 4> m_bOptions = {};  // 1013 to 1016
    int32_t m_nSign = 0;
    int32_t m_nMode = 0;
    int32_t m_nShiftKind = 0;
    std::array<uint32_t, 4> m_nDetailed = {};
};

}  // namespace tavrel
