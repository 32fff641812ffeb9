#include "ui/DialogModel.h"

#include <algorithm>
#include <filesystem>
#include <limits>
#include <string>

#include "run/Modes.h"
#include "run/OutputNaming.h"
#include "text/Unicode.h"

namespace tavrel
{

namespace
{
constexpr int32_t kOptionIds[] = {IDC_REPLACE85, IDC_FIX_QUOTES, IDC_FIX_LETTER_L, IDC_REMOVE_DIGIT_SPACES};
constexpr int32_t kHmsIds[] = {IDC_HOURS, IDC_MINUTES, IDC_SECONDS, IDC_MILLIS};
constexpr int32_t kDetailedIds[] = {IDC_SRC1, IDC_DST1, IDC_SRC2, IDC_DST2};
constexpr int32_t kModeIds[] = {IDC_MODE_CORRECT, IDC_MODE_CONVERT, IDC_MODE_EXTRACT, IDC_MODE_MERGE};
constexpr int32_t kShiftIds[] = {IDC_SHIFT_BASIC, IDC_SHIFT_DETAILED};

// Leading white space, then decimal digits only, within 32 bits.
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
        if (!IsAsciiDigit(c))
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

std::u16string Decimal(int64_t nValue)
{
    const std::string strDigits = std::to_string(nValue);
    return std::u16string(strDigits.begin(), strDigits.end());
}

int32_t OptionIndex(int32_t nId)
{
    return nId >= IDC_REPLACE85 && nId <= IDC_REMOVE_DIGIT_SPACES ? nId - IDC_REPLACE85 : -1;
}

bool IsHmsField(int32_t nId)
{
    return nId == IDC_HOURS || nId == IDC_MINUTES || nId == IDC_SECONDS || nId == IDC_MILLIS;
}

// The view's wait cursor, however the job returns.
class CBusyGuard
{
public:
    explicit CBusyGuard(IDialogView& view)
        : m_view(view)
    {
        m_view.SetBusy(true);
    }
    ~CBusyGuard() { m_view.SetBusy(false); }
    CBusyGuard(const CBusyGuard&) = delete;
    CBusyGuard& operator=(const CBusyGuard&) = delete;

private:
    IDialogView& m_view;
};
}  // namespace

int32_t ParseOffsetText(std::u16string_view text)
{
    size_t i = 0;
    while (i < text.size() && IsWhiteSpace(text[i]))
        ++i;
    bool bNegative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
    {
        bNegative = text[i] == u'-';
        ++i;
    }
    constexpr int64_t kCap = int64_t{INT32_MAX} + 1;
    int64_t nValue = 0;
    for (; i < text.size() && IsAsciiDigit(text[i]); ++i)
        nValue = std::min(nValue * 10 + (text[i] - u'0'), kCap);
    if (bNegative)
        return static_cast<int32_t>(-nValue);
    return static_cast<int32_t>(std::min<int64_t>(nValue, INT32_MAX));
}

CDialogModel::CDialogModel(IDialogView& view)
    : m_view(view)
{
    for (int32_t nId : {IDC_OFFSET_MS, IDC_HOURS, IDC_MINUTES, IDC_SECONDS, IDC_MILLIS})
        m_mapTexts[nId] = u"0";
    for (int32_t nId : kDetailedIds)
        m_mapTexts[nId] = u"0";
}

void CDialogModel::OnInitDialog()
{
    for (const auto& [nId, strText] : m_mapTexts)
        m_view.SetText(nId, strText);
    for (int32_t nId : kOptionIds)
        m_view.SetChecked(nId, IsChecked(nId));
    m_view.SetSelection(IDC_SIGN, m_nSign);
    for (int32_t i = 0; i < 4; ++i)
        m_view.SetChecked(kModeIds[i], i == m_nMode);
    for (int32_t i = 0; i < 2; ++i)
        m_view.SetChecked(kShiftIds[i], i == m_nShiftKind);
    m_nPrevMode = m_nMode;
    ApplyRowSettings(m_nMode);
    const bool bOptions = CurrentMode() == Mode::Correct;
    EnableAll(
        {IDC_REPLACE85, IDC_FIX_QUOTES, IDC_FIX_LETTER_L, IDC_REMOVE_DIGIT_SPACES, IDC_SHIFT_BASIC, IDC_SHIFT_DETAILED},
        bOptions);
    ApplyShiftKind(m_nShiftKind, bOptions);
}

const std::u16string& CDialogModel::Text(int32_t nId) const
{
    static const std::u16string strEmpty;
    const auto it = m_mapTexts.find(nId);
    return it != m_mapTexts.end() ? it->second : strEmpty;
}

bool CDialogModel::IsChecked(int32_t nId) const
{
    const int32_t nIndex = OptionIndex(nId);
    return nIndex >= 0 && m_bOptions[static_cast<size_t>(nIndex)] != 0;
}

void CDialogModel::OnFieldEdited(int32_t nId, std::u16string_view text)
{
    m_mapTexts[nId] = std::u16string(text);
    OnTextChanged(nId);
}

void CDialogModel::SetField(int32_t nId, std::u16string_view text)
{
    m_mapTexts[nId] = std::u16string(text);
    m_view.SetText(nId, text);
    OnTextChanged(nId);
}

// What setting a control's text fires on Windows, for typed and set texts alike.
void CDialogModel::OnTextChanged(int32_t nId)
{
    if (nId == IDC_INPUT)
        UpdateOutputName();
    else if (nId == IDC_OFFSET_MS)
        OnMsFieldChanged();
    else if (IsHmsField(nId))
        OnHmsFieldChanged();
}

void CDialogModel::OnFocusEntered(int32_t nId)
{
    if (nId == IDC_OFFSET_MS)
        m_bMsFieldActive = true;
    else if (IsHmsField(nId) || nId == IDC_SIGN)
        m_bMsFieldActive = false;
}

void CDialogModel::OnCheckChanged(int32_t nId, bool bChecked)
{
    const int32_t nIndex = OptionIndex(nId);
    if (nIndex >= 0)
        m_bOptions[static_cast<size_t>(nIndex)] = bChecked ? 1 : 0;
}

void CDialogModel::OnSignChosen(int32_t nIndex)
{
    m_nSign = nIndex;
    OnHmsFieldChanged();
}

void CDialogModel::OnModeChanged(int32_t nMode)
{
    m_nMode = nMode;
    if (m_nMode == m_nPrevMode)
        return;
    SetField(IDC_TEXT, u"");
    SetField(IDC_OUTPUT, u"");
    if (static_cast<Mode>(m_nPrevMode) == Mode::Convert || CurrentMode() == Mode::Convert)
        SetField(IDC_INPUT, u"");
    else
        UpdateOutputName();
    m_nPrevMode = m_nMode;
    ApplyRowSettings(nMode);
    const CModeRow* pRow = FindMode(static_cast<Mode>(nMode));
    const bool bOptions = pRow != nullptr && pRow->bOcrOptions;
    EnableAll(
        {IDC_REPLACE85, IDC_FIX_QUOTES, IDC_FIX_LETTER_L, IDC_REMOVE_DIGIT_SPACES, IDC_SHIFT_BASIC, IDC_SHIFT_DETAILED},
        bOptions);
    ApplyShiftKind(m_nShiftKind, bOptions);
}

void CDialogModel::OnShiftKindChosen(int32_t nKind)
{
    m_nShiftKind = nKind;
    ApplyShiftKind(nKind, true);
}

void CDialogModel::ApplyRowSettings(int32_t nMode)
{
    const CModeRow* pRows = FindMode(static_cast<Mode>(nMode));
    if (pRows == nullptr)
        return;
    SetField(IDC_INPUT_LABEL, Utf8ToU16(pRows->pszInputLabel));
    EnableAll({IDC_TEXT_LABEL, IDC_TEXT, IDC_BROWSE_TEXT}, pRows->bTextRow);
    if (pRows->pszOutputLabel != nullptr)
        SetField(IDC_OUTPUT_LABEL, Utf8ToU16(pRows->pszOutputLabel));
    EnableAll({IDC_OUTPUT_LABEL, IDC_OUTPUT, IDC_BROWSE_OUTPUT}, pRows->bOutputRow);
}

void CDialogModel::ApplyShiftKind(int32_t nKind, bool bEnabled)
{
    const bool bBasic = static_cast<ShiftKind>(nKind) == ShiftKind::Basic && bEnabled;
    const bool bDetailed = static_cast<ShiftKind>(nKind) == ShiftKind::Detailed && bEnabled;
    EnableAll({IDC_OFFSET_MS, IDC_HOURS, IDC_MINUTES, IDC_SECONDS, IDC_MILLIS, IDC_SIGN, IDC_MS_LABEL, IDC_COLON1,
               IDC_COLON2, IDC_POINT},
              bBasic);
    EnableAll({IDC_SRC1, IDC_DST1, IDC_SRC2, IDC_DST2, IDC_ARROW1, IDC_COMMA, IDC_ARROW2}, bDetailed);
}

void CDialogModel::EnableAll(std::initializer_list<int32_t> ids, bool bEnable)
{
    for (int32_t nId : ids)
        m_view.Enable(nId, bEnable);
}

void CDialogModel::OnMsFieldChanged()
{
    if (!m_bMsFieldActive)
        return;
    const std::u16string_view text = TrimWhiteSpace(Text(IDC_OFFSET_MS));
    if (text.empty())
    {
        for (int32_t nId : kHmsIds)
            SetField(nId, u"");
        m_nSign = 0;
        m_view.SetSelection(IDC_SIGN, m_nSign);
        return;
    }
    // In 64 bits, so that the most negative offset has a magnitude too.
    int64_t nValue = ParseOffsetText(text);
    m_nSign = nValue < 0 ? 1 : 0;
    if (nValue < 0)
        nValue = -nValue;
    m_view.SetSelection(IDC_SIGN, m_nSign);
    const int64_t nMinutes = nValue / 1000 / 60;
    SetField(IDC_HOURS, Decimal(nMinutes / 60));
    SetField(IDC_MINUTES, Decimal(nMinutes % 60));
    SetField(IDC_SECONDS, Decimal(nValue / 1000 % 60));
    SetField(IDC_MILLIS, Decimal(nValue % 1000));
}

void CDialogModel::OnHmsFieldChanged()
{
    if (m_bMsFieldActive)
        return;
    int64_t nParts[4] = {};
    for (size_t i = 0; i < std::size(kHmsIds); ++i)
        nParts[i] = ParseOffsetText(TrimWhiteSpace(Text(kHmsIds[i])));
    // At most about 2^53 in magnitude: no overflow in 64 bits.
    int64_t nTotal = ((nParts[0] * 60 + nParts[1]) * 60 + nParts[2]) * 1000 + nParts[3];
    if (m_nSign != 0)
        nTotal = -nTotal;
    SetField(IDC_OFFSET_MS, Decimal(Saturate(nTotal)));
}

void CDialogModel::UpdateOutputName()
{
    SetField(IDC_OUTPUT, MakeOutputName(CurrentMode(), Text(IDC_INPUT)));
}

bool CDialogModel::ExchangeDetailed()
{
    if (CurrentShiftKind() != ShiftKind::Detailed)
        return true;
    for (size_t i = 0; i < std::size(kDetailedIds); ++i)
    {
        if (ParseUnsigned(Text(kDetailedIds[i]), m_nDetailed[i]))
            continue;
        m_view.ShowMessage(Utf8ToU16(UnsignedPromptText()));
        m_view.FocusField(kDetailedIds[i]);
        return false;
    }
    return true;
}

namespace
{
// The folder of a path in a field; empty when the path names no folder or a missing one (a file dialog would take
// the last part of a missing folder for a file name).
std::u16string FolderOf(std::u16string_view text)
{
    const std::filesystem::path path = PathFromU16(TrimWhiteSpace(text));
    std::error_code error;
    if (!path.has_parent_path() || !std::filesystem::is_directory(path.parent_path(), error))
        return {};
    return PathToU16(path.parent_path());
}
}  // namespace

CBrowseRequest CDialogModel::BrowseRequest(int32_t nButtonId) const
{
    const CModeRow* pRow = FindMode(CurrentMode());
    if (pRow == nullptr)
        return {};
    CBrowseRequest request;
    switch (nButtonId)
    {
    case IDC_BROWSE_INPUT:
        request = {IDC_INPUT, false, pRow->nInputFilter, {}};
        break;
    case IDC_BROWSE_TEXT:
        request = {IDC_TEXT, false, FileFilter::Text, {}};
        break;
    case IDC_BROWSE_OUTPUT:
        request = {IDC_OUTPUT, true, pRow->nOutputFilter, {}};
        break;
    default:
        return {};
    }
    // Open where the field's path is; the output goes beside the input when it names no folder of its own.
    request.strFolder = FolderOf(Text(request.nFieldId));
    if (request.strFolder.empty() && request.nFieldId == IDC_OUTPUT)
        request.strFolder = FolderOf(Text(IDC_INPUT));
    return request;
}

void CDialogModel::OnFileChosen(int32_t nFieldId, std::u16string_view path)
{
    if (nFieldId != kNoId && !path.empty())
        SetField(nFieldId, path);
}

CJobRequest CDialogModel::MakeJobRequest() const
{
    CJobRequest request;
    request.m_nMode = CurrentMode();
    request.m_input = PathFromU16(Text(IDC_INPUT));
    request.m_text = PathFromU16(Text(IDC_TEXT));
    request.m_output = PathFromU16(Text(IDC_OUTPUT));
    request.m_shift.m_nKind = CurrentShiftKind();
    request.m_shift.m_nOffset = ParseOffsetText(TrimWhiteSpace(Text(IDC_OFFSET_MS)));
    request.m_shift.m_nSrc1 = m_nDetailed[0];
    request.m_shift.m_nDst1 = m_nDetailed[1];
    request.m_shift.m_nSrc2 = m_nDetailed[2];
    request.m_shift.m_nDst2 = m_nDetailed[3];
    // The check boxes in the order of the OCR table.
    for (size_t i = 0; i < m_bOptions.size(); ++i)
        request.m_ocr.Set(OcrRows()[i].nRepair, m_bOptions[i] != 0);
    return request;
}

void CDialogModel::OnRun()
{
    ExchangeDetailed();  // a prompt does not stop the run: the last valid values are used
    const CJobOutcome outcome = RunChecked(MakeJobRequest());
    if (outcome.m_nMessage != MessageId::None)
        m_view.ShowMessage(outcome.Text());
}

// The checks, then the job of the mode.
CJobOutcome CDialogModel::RunChecked(const CJobRequest& request)
{
    CBusyGuard busy(m_view);
    return CheckAndRunJob(request);
}

}  // namespace tavrel
