// The main window through its controls: modes and rows, output naming, the
// time-shift fields, the detailed-shift exchange, Run and its messages,
// keys, browsing and tooltips.

#include <QAbstractButton>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include "UiTestMain.h"
#include "res/DialogTemplates.h"
#include "ui/MainDlg.h"

using namespace tavrel;

namespace
{
// Records what the window would show instead of showing it.
class CRecordingDlg : public CMainDlg
{
public:
    QStringList m_vecMessages;
    QStringList m_vecDialogs;  // "open " or "save " and the filter
    QStringList m_vecFolders;
    QString m_strChosenPath;
    int m_nAboutShown = 0;

protected:
    void ShowMessage(const QString& strText) override { m_vecMessages << strText; }
    QString ChooseFile(bool bSave, const QString& strFolder, const QString& strFilter) override
    {
        m_vecDialogs << (bSave ? "save " : "open ") + strFilter;
        m_vecFolders << strFolder;
        return m_strChosenPath;
    }
    void ShowAbout() override { ++m_nAboutShown; }
};

using Ids = QList<int>;
constexpr int kCorrect = IDC_MODE_CORRECT, kConvert = IDC_MODE_CONVERT, kExtract = IDC_MODE_EXTRACT,
              kMerge = IDC_MODE_MERGE;
const Ids kHmsIds = {IDC_HOURS, IDC_MINUTES, IDC_SECONDS, IDC_MILLIS};
const Ids kDetailedIds = {IDC_SRC1, IDC_DST1, IDC_SRC2, IDC_DST2};
const QString kSourceError = "소스 파일 읽기 오류!", kMovie = "/subs/movie.srt", kNotes = "/subs/notes.txt";

// Each table is an array of one-line rows; its _data slot names the rows and
// the test reads its row by index.
template <class Row, std::size_t N>
void AddRows(const Row (&rows)[N])
{
    QTest::addColumn<int>("row");
    for (std::size_t i = 0; i < N; ++i)
        QTest::newRow(rows[i].name) << int(i);
}
template <class Row, std::size_t N>
const Row& CurrentRow(const Row (&rows)[N])
{
    return rows[*static_cast<const int*>(QTest::qData("row", QMetaType::Int))];
}

bool ShowActive(QWidget& dialog)
{
    dialog.show();
    dialog.activateWindow();
    return QTest::qWaitForWindowActive(&dialog);
}

QLineEdit* Edit(const CMainDlg& dlg, int nId)
{
    return qobject_cast<QLineEdit*>(dlg.Control(nId));
}
QComboBox* Sign(const CMainDlg& dlg)
{
    return qobject_cast<QComboBox*>(dlg.Control(IDC_SIGN));
}

// The texts of labels and fields, and setting the fields' texts as the program does.
QStringList Texts(const CMainDlg& dlg, const Ids& ids)
{
    QStringList texts;
    for (int nId : ids)
        texts << dlg.Control(nId)->property("text").toString();
    return texts;
}

void SetTexts(CMainDlg& dlg, const Ids& ids, const QStringList& texts)
{
    for (qsizetype i = 0; i < ids.size(); ++i)
        Edit(dlg, ids[i])->setText(texts[i]);
}

void Click(CMainDlg& dlg, int nId)
{
    QTest::mouseClick(qobject_cast<QAbstractButton*>(dlg.Control(nId)), Qt::LeftButton);
}

// Focus into the field, then replace its text key by key, as a user does.
void Type(CMainDlg& dlg, int nId, const QString& strText)
{
    QLineEdit* pEdit = Edit(dlg, nId);
    pEdit->setFocus();
    pEdit->selectAll();
    strText.isEmpty() ? QTest::keyClick(pEdit, Qt::Key_Backspace) : QTest::keyClicks(pEdit, strText);
}

void ChooseSign(CMainDlg& dlg, int nIndex)
{
    Sign(dlg)->setFocus();
    QTest::keyClick(Sign(dlg), nIndex == 1 ? Qt::Key_Down : Qt::Key_Up);
}

// The texts of a box's buttons in their order on screen.
QString ButtonTexts(const QWidget* pBox)
{
    QList<QAbstractButton*> buttons = pBox->findChildren<QAbstractButton*>();
    std::sort(buttons.begin(), buttons.end(), [](auto* a, auto* b) { return a->x() < b->x(); });
    QStringList texts;
    for (const QAbstractButton* pButton : buttons)
        texts << pButton->text();
    return texts.join(' ');
}

void WriteFile(const QString& strPath, const QByteArray& bytes)
{
    QFile file(strPath);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

const QList<std::pair<QString, Ids>> kGroups = {
    {"always", {IDC_INPUT_LABEL, IDC_INPUT, IDC_BROWSE_INPUT, IDC_RUN, IDC_CLOSE}},
    {"text", {IDC_TEXT_LABEL, IDC_TEXT, IDC_BROWSE_TEXT}},
    {"output", {IDC_OUTPUT_LABEL, IDC_OUTPUT, IDC_BROWSE_OUTPUT}},
    {"options",
     {IDC_REPLACE85, IDC_FIX_QUOTES, IDC_FIX_LETTER_L, IDC_REMOVE_DIGIT_SPACES, IDC_SHIFT_BASIC, IDC_SHIFT_DETAILED}},
    {"basic",
     {IDC_OFFSET_MS, IDC_HOURS, IDC_MINUTES, IDC_SECONDS, IDC_MILLIS, IDC_SIGN, IDC_MS_LABEL, IDC_COLON1, IDC_COLON2,
      IDC_POINT}},
    {"detailed", {IDC_SRC1, IDC_DST1, IDC_SRC2, IDC_DST2, IDC_ARROW1, IDC_COMMA, IDC_ARROW2}},
};
struct ModeRow
{
    const char* name;
    Ids clicks;
    QStringList labels;
    QString enabled;
};  // labels: input, output
const ModeRow kModeRows[] = {
    {"start", {}, {"srt", "srt"}, "output options basic"},
    {"conversion", {kConvert}, {"smi/ssa/srt", "srt"}, ""},
    {"conversion keeps output label", {kExtract, kConvert}, {"smi/ssa/srt", "TEXT"}, ""},
    {"extraction", {kExtract}, {"srt", "TEXT"}, "output"},
    {"merge", {kMerge}, {"srt", "srt"}, "text output"},
    {"detailed", {IDC_SHIFT_DETAILED}, {"srt", "srt"}, "output options detailed"},
    {"detailed comes back", {IDC_SHIFT_DETAILED, kExtract, kCorrect}, {"srt", "srt"}, "output options detailed"},
};

// The three fields after a mode change and then, when given, an input typed by
// the user (the naming rules themselves are the output naming tests').
struct FieldsRow
{
    const char* name;
    int mode;
    QString input;
    QStringList fields;
};  // input null: not typed
const FieldsRow kFieldsRows[] = {
    {"same mode", kCorrect, {}, {kMovie, kNotes, "/tmp/mine.srt"}},
    {"to merge", kMerge, {}, {kMovie, "", "/subs/movie (merged).srt"}},
    {"into conversion", kConvert, {}, {"", "", ""}},
    {"correction", kCorrect, kMovie, {kMovie, kNotes, "/subs/movie (fixed).srt"}},
    {"empty", kMerge, "", {"", kNotes, ""}},
};

// Typing the ms field rewrites the sign and the parts; typing the parts and
// choosing the sign rewrites the ms field, and the code setting the ms
// field while a part has the focus rewrites no part.
struct TimeRow
{
    const char* name;
    bool typeMs;
    QString ms;
    int sign;
    QStringList hms;
};
const TimeRow kTimeRows[] = {
    {"every part", true, "3723004", 0, {"1", "2", "3", "4"}},
    {"empty", true, "", 0, {"", "", "", ""}},
    {"letters", true, "abc", 0, {"0", "0", "0", "0"}},
    {"saturates low", true, "-99999999999", 1, {"596", "31", "23", "648"}},
    {"one hour back", false, "-3600000", 1, {"1", "0", "0", "0"}},
    {"minus zero", false, "0", 1, {"0", "0", "0", "0"}},
    {"empty parts", false, "2000", 0, {"", " ", "2", ""}},
    {"parts saturate high", false, "2147483647", 0, {"1000", "0", "0", "0"}},
};

constexpr uint kBefore = 9;  // the detailed members before the exchange
struct DetailedRow
{
    const char* name;
    QStringList texts;
    QList<uint> members;
    int focus;
};  // focus 0: no prompt
const DetailedRow kDetailedRows[] = {
    {"all numbers", {"1", " 2", "3", "4294967295"}, {1, 2, 3, 4294967295u}, 0},
    {"minus sign in s1", {"-1", "2", "3", "4"}, {kBefore, kBefore, kBefore, kBefore}, IDC_SRC1},
    {"beyond 32 bits in s2", {"1", "2", "4294967296", "4"}, {1, 2, kBefore, kBefore}, IDC_SRC2},
};

// With a bad value left in s1 and the basic shift chosen again: what the user does next (types "12" into a field or
// clicks) neither prompts nor changes the detailed members.
struct BasicRow
{
    const char* name;
    int typeInto, click;
};
const BasicRow kBasicRows[] = {
    {"typing in the input", IDC_INPUT, 0},
    {"typing in the ms field", IDC_OFFSET_MS, 0},
    {"typing in the hours", IDC_HOURS, 0},
    {"a mode click", 0, kExtract},
    {"Run", 0, IDC_RUN},
};

// Real files in a fresh folder, movie.srt and notes.txt; nothing but the named
// files may be written. The check rules and the failures are the dispatch
// tests'; here: that the fields reach them. Paths are names in the folder, ""
// for none; output "" keeps the proposed name, "-" empties it; typed: keyed
// into those fields before Run; shows: what the first written file must hold.
struct RunRow
{
    const char* name;
    Ids clicks;
    QString input;
    QString message = {};
    QStringList written = {};
    QString text = {};
    QString output = {};
    QList<std::pair<int, QString>> typed = {};
    QByteArrayList shows = {};
};
const RunRow kRunRows[] = {
    {"empty input", {kCorrect}, "", {}, {}, "notes.txt"},
    {"empty output", {kExtract}, "movie.srt", {}, {}, {}, "-"},
    {"missing input", {kCorrect}, "missing.srt", kSourceError},
    {"missing text file", {kMerge}, "movie.srt", "텍스트 파일 읽기 오류!", {}, "missing.txt"},
    {"correction",
     {kCorrect, IDC_FIX_QUOTES},
     "movie.srt",
     "SRT 쓰기 작업 완료!",
     {"movie (fixed).srt"},
     {},
     {},
     {{IDC_OFFSET_MS, "-500"}},
     {"00:00:00,500 --> 00:00:01,500", "\"Hello\""}},
    {"correction, unusable times",
     {kCorrect, IDC_SHIFT_DETAILED},
     "movie.srt",
     "시간 오류!",
     {},
     {},
     {},
     {{IDC_SRC1, "1000"}, {IDC_SRC2, "1000"}}},
    {"conversion", {kConvert}, "movie.srt", "SRT → SAMI 변환 완료!", {"movie.smi", "movie.UTF8.smi"}},
    {"extraction", {kExtract}, "movie.srt", "text 추출 완료!", {"movie.txt"}},
    {"merge", {kMerge}, "movie.srt", "SRT/text 합병 완료!", {"movie (merged).srt"}, "notes.txt"},
};

const QString kSrt = "SRT files (*.srt);;All files (*)", kText = "text files (*.txt);;All files (*)";
struct BrowseRow
{
    const char* name;
    int mode, button, field;
    QString dialog;
};
const BrowseRow kBrowseRows[] = {
    {"input, correction", kCorrect, IDC_BROWSE_INPUT, IDC_INPUT, "open " + kSrt},
    {"input, conversion", kConvert, IDC_BROWSE_INPUT, IDC_INPUT,
     "open subtitle files (*.smi *.ssa *.ass *.srt);;All files (*)"},
    {"text file", kMerge, IDC_BROWSE_TEXT, IDC_TEXT, "open " + kText},
    {"output, extraction", kExtract, IDC_BROWSE_OUTPUT, IDC_OUTPUT, "save " + kText},
};

// The folder a browse dialog opens in, in merge mode after the fields were given these paths: the folder of the
// field's path, for the output else the input's; "" leaves it to the toolkit. Paths with a folder are in a fresh
// folder holding "subs", "notes" and "out".
struct FolderRow
{
    const char* name;
    int button;
    QStringList fields;  // input, text, output
    QString folder;
};
const FolderRow kFolderRows[] = {
    {"input's folder", IDC_BROWSE_INPUT, {"subs/movie.srt", "notes/a.txt", "out/b.srt"}, "subs"},
    {"input in a missing folder", IDC_BROWSE_INPUT, {"gone/movie.srt", "notes/a.txt", "out/b.srt"}, ""},
    {"input without a folder", IDC_BROWSE_INPUT, {"movie.srt", "notes/a.txt", "out/b.srt"}, ""},
    {"text file without a folder", IDC_BROWSE_TEXT, {"subs/movie.srt", "a.txt", "out/b.srt"}, ""},
    {"output's folder", IDC_BROWSE_OUTPUT, {"subs/movie.srt", "notes/a.txt", "out/b.srt"}, "out"},
    {"output without a folder: the input's", IDC_BROWSE_OUTPUT, {"subs/movie.srt", "", "b.srt"}, "subs"},
    {"output in a missing folder: the input's", IDC_BROWSE_OUTPUT, {"subs/movie.srt", "", "gone/b.srt"}, "subs"},
    {"output and input without a folder", IDC_BROWSE_OUTPUT, {"movie.srt", "notes/a.txt", ""}, ""},
};
}  // namespace

class CMainDlgTest : public QObject
{
    Q_OBJECT

private slots:
    void ModeSetsRows_data() { AddRows(kModeRows); }
    void ModeSetsRows()
    {
        const ModeRow& r = CurrentRow(kModeRows);
        CRecordingDlg dlg;
        for (int nId : r.clicks)
            Click(dlg, nId);
        QCOMPARE(Texts(dlg, {IDC_INPUT_LABEL, IDC_OUTPUT_LABEL}), r.labels);
        for (const auto& [strGroup, ids] : kGroups)
            for (int nId : ids)
                QCOMPARE(dlg.Control(nId)->isEnabled(), (r.enabled + " always").split(' ').contains(strGroup));
    }

    void FieldsFollowModeAndInput_data() { AddRows(kFieldsRows); }
    void FieldsFollowModeAndInput()
    {
        const FieldsRow& r = CurrentRow(kFieldsRows);
        CRecordingDlg dlg;
        SetTexts(dlg, {IDC_INPUT, IDC_TEXT, IDC_OUTPUT}, {kMovie, kNotes, "/tmp/mine.srt"});
        Click(dlg, r.mode);
        if (!r.input.isNull())
            SetTexts(dlg, {IDC_TEXT, IDC_INPUT, IDC_OUTPUT, IDC_INPUT},
                     {kNotes, "/old/name.srt", "/typed/by/user.srt", r.input});
        QCOMPARE(Texts(dlg, {IDC_INPUT, IDC_TEXT, IDC_OUTPUT}), r.fields);
    }

    void TimeFieldsRewriteEachOther_data() { AddRows(kTimeRows); }
    void TimeFieldsRewriteEachOther()
    {
        const TimeRow& r = CurrentRow(kTimeRows);
        CRecordingDlg dlg;
        QVERIFY(ShowActive(dlg));
        if (r.typeMs)
            ChooseSign(dlg, 1);  // the sign must be rewritten, whatever it was
        for (int i = 0; i < 4 && !r.typeMs; ++i)
            Type(dlg, kHmsIds[i], r.hms[i]);
        r.typeMs ? Type(dlg, IDC_OFFSET_MS, r.ms) : ChooseSign(dlg, r.sign);
        QCOMPARE(Texts(dlg, Ids{IDC_OFFSET_MS} + kHmsIds), QStringList{r.ms} + r.hms);
        QCOMPARE(Sign(dlg)->currentIndex(), r.sign);
        QVERIFY(dlg.m_vecMessages.isEmpty());
        Edit(dlg, IDC_HOURS)->setFocus();
        Edit(dlg, IDC_OFFSET_MS)->setText("5000");
        QCOMPARE(Texts(dlg, kHmsIds), r.hms);
    }

    void DetailedExchangeStopsAtBadField_data() { AddRows(kDetailedRows); }
    void DetailedExchangeStopsAtBadField()
    {
        const DetailedRow& r = CurrentRow(kDetailedRows);
        CRecordingDlg dlg;
        QVERIFY(ShowActive(dlg));
        Click(dlg, IDC_SHIFT_DETAILED);
        SetTexts(dlg, kDetailedIds, {"9", "9", "9", "9"});
        QVERIFY(dlg.UpdateData(true));
        SetTexts(dlg, kDetailedIds, r.texts);
        QCOMPARE(dlg.UpdateData(true), r.focus == 0);
        const auto values = dlg.Model().DetailedValues();
        QCOMPARE((QList<uint>{values[0], values[1], values[2], values[3]}), r.members);
        QCOMPARE(dlg.m_vecMessages.size(), r.focus == 0 ? 0 : 1);
        if (r.focus != 0)
            QCOMPARE(QApplication::focusWidget(), dlg.Control(r.focus));
    }

    void BasicShiftLeavesDetailedFieldsAlone_data() { AddRows(kBasicRows); }
    void BasicShiftLeavesDetailedFieldsAlone()
    {
        const BasicRow& r = CurrentRow(kBasicRows);
        CRecordingDlg dlg;
        QVERIFY(ShowActive(dlg));
        Click(dlg, IDC_SHIFT_DETAILED);
        SetTexts(dlg, kDetailedIds, {"1", "2", "3", "4"});
        QVERIFY(dlg.UpdateData(true));
        Type(dlg, IDC_SRC1, "x");
        Click(dlg, IDC_SHIFT_BASIC);
        r.typeInto != 0 ? Type(dlg, r.typeInto, "12") : Click(dlg, r.click);
        QCOMPARE(dlg.m_vecMessages, QStringList());
        const auto values = dlg.Model().DetailedValues();
        QCOMPARE((QList<uint>{values[0], values[1], values[2], values[3]}), (QList<uint>{1, 2, 3, 4}));
    }

    void RunChecksAndShowsJobMessage_data() { AddRows(kRunRows); }
    void RunChecksAndShowsJobMessage()
    {
        const RunRow& r = CurrentRow(kRunRows);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        WriteFile(dir.filePath("movie.srt"), "1\r\n00:00:01,000 --> 00:00:02,000\r\n''Hello''\r\n\r\n"
                                             "2\r\n00:00:03,000 --> 00:00:04,000\r\nWorld\r\n\r\n");
        WriteFile(dir.filePath("notes.txt"), "first paragraph\r\n\r\nsecond paragraph\r\n");
        const auto path = [&](const QString& strName) {
            return strName.isEmpty() || strName == "-" ? QString() : dir.filePath(strName);
        };
        CRecordingDlg dlg;
        QVERIFY(ShowActive(dlg));
        for (int nId : r.clicks)
            Click(dlg, nId);
        SetTexts(dlg, {IDC_INPUT, IDC_TEXT}, {path(r.input), path(r.text)});
        if (!r.output.isEmpty())
            Edit(dlg, IDC_OUTPUT)->setText(path(r.output));
        for (const auto& [nId, strText] : r.typed)
            Type(dlg, nId, strText);
        Click(dlg, IDC_RUN);
        QCOMPARE(dlg.m_vecMessages, r.message.isEmpty() ? QStringList{} : QStringList{r.message});
        QStringList files = r.written + QStringList{"movie.srt", "notes.txt"};
        files.sort();
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files, QDir::Name), files);
        QVERIFY(QApplication::overrideCursor() == nullptr);
        for (const QByteArray& part : r.shows)
        {
            QFile out(path(r.written.front()));
            QVERIFY(out.open(QIODevice::ReadOnly));
            QVERIFY2(out.readAll().contains(part), part.constData());
        }
    }

    // The real box, reached with Enter in the input: owned by the window,
    // captioned with the program file's name, one OK button reading "확인"
    // under an English system locale, no icon; wide enough for its text and
    // for its caption beside a frame's icon and three buttons.
    void MessageBoxIsPlain()
    {
        CMainDlg dlg;
        QVERIFY(ShowActive(dlg));
        Edit(dlg, IDC_INPUT)->setText("/no/such/file.srt");
        QStringList seen;
        QTimer::singleShot(0, [&seen, &dlg] {
            auto* pBox = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (pBox == nullptr)
                return;
            const QFontMetrics metrics(pBox->font());
            const bool bWide =
                pBox->width() >= metrics.horizontalAdvance(pBox->windowTitle()) + 120 &&
                pBox->findChild<QLabel*>("qt_msgbox_label")->width() >= metrics.horizontalAdvance(pBox->text());
            seen << pBox->windowTitle() << pBox->text() << ButtonTexts(pBox) << QString::number(pBox->icon())
                 << QString::number(pBox->isModal() && pBox->parentWidget() == &dlg) << QString::number(bWide);
            pBox->buttons().front()->click();
        });
        QTest::keyClick(Edit(dlg, IDC_INPUT), Qt::Key_Return);  // Enter runs
        QCOMPARE(seen, QStringList({QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName(), kSourceError,
                                    "확인", QString::number(QMessageBox::NoIcon), "1", "1"}));
        QVERIFY(dlg.isVisible());
    }

    // Qt's own file dialogs and their overwrite question speak Korean too; the
    // save dialog opens in the output's folder.
    void FileDialogsSpeakKorean()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        WriteFile(dir.filePath("movie.srt"), "");
        CMainDlg dlg;
        QVERIFY(ShowActive(dlg));
        Edit(dlg, IDC_OUTPUT)->setText(dir.filePath("old.srt"));
        QStringList seen;
        QTimer::singleShot(0, [&seen] {
            auto* pDialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (pDialog == nullptr)
                return;
            seen << pDialog->windowTitle() << pDialog->findChild<QLabel*>("lookInLabel")->text()
                 << ButtonTexts(pDialog->findChild<QDialogButtonBox*>());
            pDialog->reject();
        });
        Click(dlg, IDC_BROWSE_INPUT);
        QTimer::singleShot(0, [&seen, &dir] {
            auto* pDialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (pDialog == nullptr)
                return;
            seen << pDialog->windowTitle() << ButtonTexts(pDialog->findChild<QDialogButtonBox*>())
                 << QString::number(pDialog->directory() == QDir(dir.path()));
            QTimer::singleShot(0, [&seen] {
                auto* pBox = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                if (pBox == nullptr)
                    return;
                seen << pBox->text() << ButtonTexts(pBox);
                pBox->button(QMessageBox::No)->click();
            });
            pDialog->selectFile(dir.filePath("movie.srt"));
            pDialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Save)->click();
            pDialog->reject();
        });
        Click(dlg, IDC_BROWSE_OUTPUT);
        const QStringList expected = {"열기",
                                      "다음에서 찾기:",
                                      "열기(&O) 취소",
                                      "다른 이름으로 저장",
                                      "저장(&S) 취소",
                                      "1",
                                      "movie.srt이(가) 이미 존재합니다.\n바꾸시겠습니까?",
                                      "예(&Y) 아니요(&N)"};
        QCOMPARE(seen, expected);
        QCOMPARE(Edit(dlg, IDC_OUTPUT)->text(), dir.filePath("old.srt"));
    }

    // Escape does nothing wherever the focus is; the Close button (on its row)
    // and the close box end the window.
    void KeysAndClosing_data()
    {
        QTest::addColumn<int>("focus");
        for (int nId : {IDC_INPUT, IDC_OFFSET_MS, IDC_SIGN, IDC_MODE_MERGE, IDC_CLOSE})
            QTest::addRow("%d", nId) << nId;
    }

    void KeysAndClosing()
    {
        QFETCH(int, focus);
        CRecordingDlg dlg;
        QVERIFY(ShowActive(dlg));
        QSignalSpy rejected(&dlg, &QDialog::rejected);
        Type(dlg, IDC_INPUT, "/no/such/file.srt");
        QWidget* pControl = dlg.Control(focus);
        pControl->setFocus();
        QTest::keyClick(pControl, Qt::Key_Escape);
        QVERIFY(dlg.m_vecMessages.isEmpty());
        QVERIFY(dlg.isVisible());
        QCOMPARE(rejected.count(), 0);
        focus == IDC_CLOSE ? Click(dlg, IDC_CLOSE) : void(dlg.close());
        QVERIFY(!dlg.isVisible());
        QCOMPARE(rejected.count(), 1);
    }

    // F1 itself is checked with the real box in the About box's tests.
    void AboutCommandOpensAbout()
    {
        CRecordingDlg dlg;
        dlg.OnSysCommand(IDM_ABOUTBOX);
        dlg.OnSysCommand(IDM_ABOUTBOX | 0x3);  // the low four bits are the system's
        dlg.OnSysCommand(0xF020);              // minimise
        QCOMPARE(dlg.m_nAboutShown, 2);
    }

    void BrowseUsesFilterOfMode_data() { AddRows(kBrowseRows); }
    void BrowseUsesFilterOfMode()
    {
        const BrowseRow& r = CurrentRow(kBrowseRows);
        CRecordingDlg dlg;
        Click(dlg, r.mode);
        Edit(dlg, r.field)->setText("/before");
        Click(dlg, r.button);  // cancelled
        QCOMPARE(Edit(dlg, r.field)->text(), QStringLiteral("/before"));
        dlg.m_strChosenPath = "/chosen/file.name";
        Click(dlg, r.button);
        QCOMPARE(Edit(dlg, r.field)->text(), QStringLiteral("/chosen/file.name"));
        QCOMPARE(dlg.m_vecDialogs, QStringList({r.dialog, r.dialog}));
    }

    void BrowseOpensInFieldsFolder_data() { AddRows(kFolderRows); }
    void BrowseOpensInFieldsFolder()
    {
        const FolderRow& r = CurrentRow(kFolderRows);
        QTemporaryDir dir;
        QVERIFY(dir.isValid() && QDir(dir.path()).mkpath("subs") && QDir(dir.path()).mkpath("notes") &&
                QDir(dir.path()).mkpath("out"));
        QStringList fields;
        for (const QString& strField : r.fields)
            fields << (strField.contains('/') ? dir.filePath(strField) : strField);
        CRecordingDlg dlg;
        Click(dlg, kMerge);
        SetTexts(dlg, {IDC_INPUT, IDC_TEXT, IDC_OUTPUT}, fields);
        Click(dlg, r.button);
        QCOMPARE(dlg.m_vecFolders, QStringList{r.folder.isEmpty() ? QString() : dir.filePath(r.folder)});
    }

    void ToolTipsOnModesAndOptionsOnly()
    {
        const QHash<int, QString> tips = {
            {1009, "SRT 자막 교정 / 시간 수정"},
            {1010, "SAMI/SSA/ASS → SRT 및 SRT → SAMI 변환"},
            {1011, "SRT 자막에서 텍스트 추출"},
            {1012, "SRT 자막과 텍스트 파일 합치기"},
            {1013, "0x0085 문자를 공백으로 대체"},
            {1014, "OCR 오류 수정: 잘못된 따옴표 교정"},
            {1015, "OCR 오류 수정: I(i)를 l(L)로 표기한 자막 교정)"},
            {1016, "OCR 오류 수정: 숫자 사이에 들어간 불필요한 공백 제거"},
        };
        CRecordingDlg dlg;
        int nControls = 0;
        for (int nId = 0; nId < 0x10000; ++nId)
            if (QWidget* pControl = dlg.Control(nId); pControl != nullptr && ++nControls > 0)
                QCOMPARE(pControl->toolTip(), tips.value(nId));
        QVERIFY(nControls > tips.size());
    }
};

TAVREL_UI_TEST_MAIN(CMainDlgTest)
#include "MainDlg.moc"
