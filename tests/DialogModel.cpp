// The window's rules without a toolkit: what the model sets in its view for
// each event. The Qt and Win32 window tests check that the events arrive.

#include "ui/DialogModel.h"

#include <array>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

using namespace tavrel;

namespace
{
// Remembers the last state the model gave every control.
class CRecordingView : public IDialogView
{
public:
    std::map<int32_t, std::u16string> m_mapTexts;
    std::map<int32_t, bool> m_mapEnabled;
    std::map<int32_t, bool> m_mapChecked;
    int32_t m_nSign = -1;
    std::vector<std::u16string> m_vecMessages;
    int32_t m_nFocus = kNoId;
    int32_t m_nBusyDepth = 0;
    int32_t m_nBusyCalls = 0;

    void SetText(int32_t nId, std::u16string_view text) override { m_mapTexts[nId] = text; }
    void Enable(int32_t nId, bool bEnable) override { m_mapEnabled[nId] = bEnable; }
    void SetChecked(int32_t nId, bool bChecked) override { m_mapChecked[nId] = bChecked; }
    void SetSelection(int32_t, int32_t nIndex) override { m_nSign = nIndex; }
    void FocusField(int32_t nId) override { m_nFocus = nId; }
    void ShowMessage(std::u16string_view text) override { m_vecMessages.emplace_back(text); }
    void SetBusy(bool bBusy) override
    {
        m_nBusyDepth += bBusy ? 1 : -1;
        ++m_nBusyCalls;
    }
};

class DialogModelTest : public testing::Test
{
protected:
    DialogModelTest() { m_model.OnInitDialog(); }

    // A user typing into a field: the focus first, then the text, which the control holds.
    void Type(int32_t nId, std::u16string_view text)
    {
        m_model.OnFocusEntered(nId);
        m_view.m_mapTexts[nId] = text;
        m_model.OnFieldEdited(nId, text);
    }
    std::vector<std::u16string> Texts(std::initializer_list<int32_t> ids)
    {
        std::vector<std::u16string> texts;
        for (int32_t nId : ids)
            texts.push_back(m_view.m_mapTexts[nId]);
        return texts;
    }

    CRecordingView m_view;
    CDialogModel m_model{m_view};
};

using TextList = std::vector<std::u16string>;

TEST_F(DialogModelTest, StartsAsTheTemplateShowsIt)
{
    EXPECT_EQ(Texts({IDC_OFFSET_MS, IDC_HOURS, IDC_MILLIS, IDC_SRC1, IDC_INPUT_LABEL, IDC_OUTPUT_LABEL}),
              (TextList{u"0", u"0", u"0", u"0", u"srt", u"srt"}));
    EXPECT_TRUE(m_view.m_mapChecked[IDC_MODE_CORRECT] && m_view.m_mapChecked[IDC_SHIFT_BASIC]);
    EXPECT_FALSE(m_view.m_mapChecked[IDC_MODE_MERGE] || m_view.m_mapChecked[IDC_REPLACE85]);
    EXPECT_EQ(m_view.m_nSign, 0);
    EXPECT_FALSE(m_view.m_mapEnabled[IDC_TEXT] || m_view.m_mapEnabled[IDC_SRC1]);
    EXPECT_TRUE(m_view.m_mapEnabled[IDC_OUTPUT] && m_view.m_mapEnabled[IDC_OFFSET_MS]);
}

// Set texts run the handlers a typed text runs, so clearing the input on the
// way into conversion empties the output it proposed.
struct CModeCase
{
    const char* pszName;
    std::vector<int32_t> modes;
    TextList fields;  // input, text, output
};

class ModeFieldsTest : public DialogModelTest, public testing::WithParamInterface<CModeCase>
{};

TEST_P(ModeFieldsTest, ModeChangeClearsAndRenames)
{
    Type(IDC_INPUT, u"/subs/movie.srt");
    Type(IDC_TEXT, u"/subs/notes.txt");
    for (int32_t nMode : GetParam().modes)
        m_model.OnModeChanged(nMode);
    EXPECT_EQ(Texts({IDC_INPUT, IDC_TEXT, IDC_OUTPUT}), GetParam().fields);
    EXPECT_EQ(m_model.Text(IDC_OUTPUT), GetParam().fields[2]);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ModeFieldsTest,
    testing::Values(CModeCase{"SameMode", {0}, {u"/subs/movie.srt", u"/subs/notes.txt", u"/subs/movie (fixed).srt"}},
                    CModeCase{"ToExtraction", {2}, {u"/subs/movie.srt", u"", u"/subs/movie.txt"}},
                    CModeCase{"IntoConversion", {1}, {u"", u"", u""}},
                    CModeCase{"OutOfConversion", {1, 3}, {u"", u"", u""}},
                    CModeCase{"UnknownMode", {7}, {u"/subs/movie.srt", u"", u""}}),
    [](const auto& info) { return info.param.pszName; });

// The two forms of the offset rewrite each other, in whichever field the focus is.
struct CTimeCase
{
    const char* pszName;
    int32_t nTypedId;
    std::u16string typed;
    int32_t nSign;    // chosen after typing; -1: none
    TextList fields;  // ms, h, m, s, ms part
    int32_t nShownSign;
};

class TimeFieldsTest : public DialogModelTest, public testing::WithParamInterface<CTimeCase>
{};

TEST_P(TimeFieldsTest, FormsFollowEachOther)
{
    const CTimeCase& c = GetParam();
    Type(c.nTypedId, c.typed);
    if (c.nSign >= 0)
    {
        m_model.OnFocusEntered(IDC_SIGN);
        m_view.m_nSign = c.nSign;  // the list shows the user's choice
        m_model.OnSignChosen(c.nSign);
    }
    EXPECT_EQ(Texts({IDC_OFFSET_MS, IDC_HOURS, IDC_MINUTES, IDC_SECONDS, IDC_MILLIS}), c.fields);
    EXPECT_EQ(m_view.m_nSign, c.nShownSign);
    // Text set by code in the other form while this one has the focus rewrites nothing.
    const bool bMsTyped = c.nTypedId == IDC_OFFSET_MS;
    m_model.OnFieldEdited(bMsTyped ? IDC_HOURS : IDC_OFFSET_MS, u"77");
    EXPECT_EQ(m_view.m_mapTexts[bMsTyped ? IDC_OFFSET_MS : IDC_HOURS], c.fields[bMsTyped ? 0 : 1]);
}

INSTANTIATE_TEST_SUITE_P(
    Offsets, TimeFieldsTest,
    testing::Values(
        CTimeCase{"NegativeMs", IDC_OFFSET_MS, u"-1500", -1, {u"-1500", u"0", u"0", u"1", u"500"}, 1},
        CTimeCase{"HoursBeyondADay", IDC_OFFSET_MS, u"90000000", -1, {u"90000000", u"25", u"0", u"0", u"0"}, 0},
        CTimeCase{"EmptyMs", IDC_OFFSET_MS, u" ", -1, {u" ", u"", u"", u"", u""}, 0},
        CTimeCase{"MinutesOverflowIntoMs", IDC_MINUTES, u"75", -1, {u"4500000", u"0", u"75", u"0", u"0"}, 0},
        CTimeCase{"SignAfterHours", IDC_HOURS, u"1", 1, {u"-3600000", u"1", u"0", u"0", u"0"}, 1}),
    [](const auto& info) { return info.param.pszName; });

// The detailed fields are read only while the detailed shift is chosen.
struct CDetailedCase
{
    const char* pszName;
    bool bDetailed;
    TextList texts;  // s1, t1, s2, t2
    bool bValid;
    std::array<uint32_t, 4> values;
    int32_t nFocus;
};

class DetailedFieldsTest : public DialogModelTest, public testing::WithParamInterface<CDetailedCase>
{};

TEST_P(DetailedFieldsTest, ExchangeReadsUpToABadField)
{
    const CDetailedCase& c = GetParam();
    m_model.OnShiftKindChosen(static_cast<int32_t>(ShiftKind::Detailed));
    const int32_t ids[] = {IDC_SRC1, IDC_DST1, IDC_SRC2, IDC_DST2};
    for (int32_t nId : ids)
        Type(nId, u"9");
    ASSERT_TRUE(m_model.ExchangeDetailed());
    m_model.OnShiftKindChosen(static_cast<int32_t>(c.bDetailed ? ShiftKind::Detailed : ShiftKind::Basic));
    for (size_t i = 0; i < 4; ++i)
        Type(ids[i], c.texts[i]);
    EXPECT_EQ(m_model.ExchangeDetailed(), c.bValid);
    EXPECT_EQ(m_model.DetailedValues(), c.values);
    EXPECT_EQ(m_view.m_vecMessages.size(), c.bValid ? 0u : 1u);
    EXPECT_EQ(m_view.m_nFocus, c.nFocus);
}

INSTANTIATE_TEST_SUITE_P(
    Values, DetailedFieldsTest,
    testing::Values(
        CDetailedCase{"AllNumbers", true, {u"1", u" 2", u"3", u"4294967295"}, true, {1, 2, 3, 4294967295u}, kNoId},
        CDetailedCase{"MinusSign", true, {u"1", u"-2", u"3", u"4"}, false, {1, 9, 9, 9}, IDC_DST1},
        CDetailedCase{"Beyond32Bits", true, {u"1", u"2", u"4294967296", u"4"}, false, {1, 2, 9, 9}, IDC_SRC2},
        CDetailedCase{"TrailingSpace", true, {u"1 ", u"2", u"3", u"4"}, false, {9, 9, 9, 9}, IDC_SRC1},
        CDetailedCase{"BasicKeepsValues", false, {u"x", u"", u"3", u"4"}, true, {9, 9, 9, 9}, kNoId}),
    [](const auto& info) { return info.param.pszName; });

// Run: the checks stop quietly or with their message; the job runs between
// one busy on and off.
struct CRunCase
{
    const char* pszName;
    int32_t nMode;
    std::u16string input;
    std::u16string output;
    TextList messages;
};

class RunTest : public DialogModelTest, public testing::WithParamInterface<CRunCase>
{};

TEST_P(RunTest, ShowsTheCheckOrJobMessage)
{
    const CRunCase& c = GetParam();
    m_model.OnModeChanged(c.nMode);
    Type(IDC_INPUT, c.input);
    if (c.output != u"-")
        Type(IDC_OUTPUT, c.output);
    m_model.OnRun();
    EXPECT_EQ(m_view.m_vecMessages, c.messages);
    EXPECT_EQ(m_view.m_nBusyDepth, 0);
    EXPECT_EQ(m_view.m_nBusyCalls, 2);
}

INSTANTIATE_TEST_SUITE_P(
    Checks, RunTest,
    testing::Values(CRunCase{"EmptyInput", 0, u"", u"/out.srt", {}},
                    CRunCase{"EmptyOutput", 2, u"/no/such.srt", u"", {}},
                    CRunCase{"ProposedOutput", 0, u"/no/such.srt", u"-", {u"소스 파일 읽기 오류!"}},
                    CRunCase{"ConversionNeedsNoOutput", 1, u"/no/such.srt", u"", {u"소스 파일 읽기 오류!"}},
                    CRunCase{"MergeWithoutText", 3, u"/no/such.srt", u"/out.srt", {}}),
    [](const auto& info) { return info.param.pszName; });

TEST_F(DialogModelTest, BrowseTargetsFollowTheMode)
{
    const auto expect = [&](int32_t nButton, int32_t nField, bool bSave, FileFilter nFilter) {
        const CBrowseRequest request = m_model.BrowseRequest(nButton);
        EXPECT_EQ(request.nFieldId, nField);
        EXPECT_EQ(request.bSave, bSave);
        EXPECT_EQ(request.nFilter, nFilter);
    };
    expect(IDC_BROWSE_INPUT, IDC_INPUT, false, FileFilter::Srt);
    expect(IDC_BROWSE_OUTPUT, IDC_OUTPUT, true, FileFilter::Srt);
    m_model.OnModeChanged(static_cast<int32_t>(Mode::Convert));
    expect(IDC_BROWSE_INPUT, IDC_INPUT, false, FileFilter::Subtitle);
    m_model.OnModeChanged(static_cast<int32_t>(Mode::Extract));
    expect(IDC_BROWSE_OUTPUT, IDC_OUTPUT, true, FileFilter::Text);
    expect(IDC_BROWSE_TEXT, IDC_TEXT, false, FileFilter::Text);
    expect(IDC_RUN, kNoId, false, FileFilter::Srt);

    m_model.OnFileChosen(IDC_INPUT, u"/chosen/notes.txt");
    EXPECT_EQ(Texts({IDC_INPUT, IDC_OUTPUT}), (TextList{u"/chosen/notes.txt", u"/chosen/notes (extracted).txt"}));
    m_model.OnFileChosen(IDC_INPUT, u"");  // cancelled
    EXPECT_EQ(m_model.Text(IDC_INPUT), u"/chosen/notes.txt");
}
// The millisecond field reads like _wtoi but saturates.
TEST(DialogModel, OffsetFieldReadsLikeWtoi)
{
    const std::pair<std::u16string, int32_t> cases[] = {
        {u"", 0},
        {u"abc", 0},
        {u"-1500", -1500},
        {u"  +42ms", 42},
        {u"\x3000\t7", 7},
        {u"\xA0"
         u"7",
         0},
        {u"--5", 0},
        {u"1 2", 1},
        {u"2147483648", INT32_MAX},
        {u"99999999999999999999999", INT32_MAX},
        {u"-2147483648", INT32_MIN},
        {u"-2147483649", INT32_MIN},
    };
    for (const auto& [text, nExpected] : cases)
        EXPECT_EQ(ParseOffsetText(text), nExpected) << testing::PrintToString(text);
}

}  // namespace
