// The main window through its controls: modes and rows, output naming, the
// time-shift fields, the detailed-shift exchange, Run and its messages,
// keys, browsing and tooltips.

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QLabel>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include "UiTestMain.h"
#include "res/DialogTemplates.h"
#include "ui/MainDlg.h"

namespace
{
// Records what the window would show instead of showing it.
class CRecordingDlg : public CMainDlg
{
public:
    QStringList m_vecMessages;
    QStringList m_vecDialogs;  // "open " or "save " and the filter
    QString m_strChosenPath;
    int m_nAboutShown = 0;

protected:
    void ShowMessage(const QString& strText) override { m_vecMessages << strText; }
    QString ChooseFile(bool bSave, const QString& strFilter) override
    {
        m_vecDialogs << (bSave ? "save " : "open ") + strFilter;
        return m_strChosenPath;
    }
    void ShowAbout() override { ++m_nAboutShown; }
};

using Ids = QList<int>;
constexpr int kCorrect = IDC_MODE_CORRECT, kConvert = IDC_MODE_CONVERT, kExtract = IDC_MODE_EXTRACT,
              kMerge = IDC_MODE_MERGE;
const Ids kHmsIds = {IDC_HOURS, IDC_MINUTES, IDC_SECONDS, IDC_MILLIS};
const Ids kDetailedIds = {IDC_SRC1, IDC_DST1, IDC_SRC2, IDC_DST2};
const QString kSourceError = QString::fromUtf8("소스 파일 읽기 오류!");

bool ShowActive(QWidget& dialog)
{
    dialog.show();
    dialog.activateWindow();
    return QTest::qWaitForWindowActive(&dialog);
}

QLineEdit* Edit(const CMainDlg& dlg, int nId) { return qobject_cast<QLineEdit*>(dlg.Control(nId)); }
QComboBox* Sign(const CMainDlg& dlg) { return qobject_cast<QComboBox*>(dlg.Control(IDC_SIGN)); }

QStringList Texts(const CMainDlg& dlg, const Ids& ids)
{
    QStringList texts;
    for (int nId : ids)
        if (auto* pLabel = qobject_cast<QLabel*>(dlg.Control(nId)))
            texts << pLabel->text();
        else
            texts << Edit(dlg, nId)->text();
    return texts;
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
    if (strText.isEmpty())
        QTest::keyClick(pEdit, Qt::Key_Backspace);
    else
        QTest::keyClicks(pEdit, strText);
}

void ChooseSign(CMainDlg& dlg, int nIndex)
{
    QComboBox* pSign = Sign(dlg);
    pSign->setFocus();
    if (pSign->currentIndex() != nIndex)
        QTest::keyClick(pSign, nIndex > pSign->currentIndex() ? Qt::Key_Down : Qt::Key_Up);
}

void WriteFile(const QString& strPath, const QByteArray& bytes)
{
    QFile file(strPath);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}
}  // namespace

class CMainDlgTest : public QObject
{
    Q_OBJECT

private slots:
    void ModeSetsRows_data()
    {
        QTest::addColumn<Ids>("clicks");
        QTest::addColumn<QString>("inputLabel");
        QTest::addColumn<QString>("outputLabel");
        QTest::addColumn<QString>("enabled");  // the groups enabled
        QTest::newRow("start") << Ids{} << "srt" << "srt" << "output options basic";
        QTest::newRow("conversion") << Ids{kConvert} << "smi/ssa/srt" << "srt" << "";
        QTest::newRow("conversion keeps output label") << Ids{kExtract, kConvert} << "smi/ssa/srt" << "TEXT" << "";
        QTest::newRow("extraction") << Ids{kExtract} << "srt" << "TEXT" << "output";
        QTest::newRow("merge") << Ids{kMerge} << "srt" << "srt" << "text output";
        QTest::newRow("detailed") << Ids{IDC_SHIFT_DETAILED} << "srt" << "srt" << "output options detailed";
        QTest::newRow("detailed comes back") << Ids{IDC_SHIFT_DETAILED, kExtract, kCorrect} << "srt" << "srt"
                                             << "output options detailed";
    }

    void ModeSetsRows()
    {
        QFETCH(Ids, clicks);
        QFETCH(QString, inputLabel);
        QFETCH(QString, outputLabel);
        QFETCH(QString, enabled);
        const QList<std::pair<QString, Ids>> groups = {
            {"always", {IDC_INPUT_LABEL, IDC_INPUT, IDC_BROWSE_INPUT, IDC_RUN, IDC_CLOSE}},
            {"text", {IDC_TEXT_LABEL, IDC_TEXT, IDC_BROWSE_TEXT}},
            {"output", {IDC_OUTPUT_LABEL, IDC_OUTPUT, IDC_BROWSE_OUTPUT}},
            {"options", {IDC_REPLACE85, IDC_FIX_QUOTES, IDC_FIX_LETTER_L, IDC_REMOVE_DIGIT_SPACES, IDC_SHIFT_BASIC,
                         IDC_SHIFT_DETAILED}},
            {"basic", {IDC_OFFSET_MS, IDC_HOURS, IDC_MINUTES, IDC_SECONDS, IDC_MILLIS, IDC_SIGN, IDC_MS_LABEL,
                       IDC_COLON1, IDC_COLON2, IDC_POINT}},
            {"detailed", {IDC_SRC1, IDC_DST1, IDC_SRC2, IDC_DST2, IDC_ARROW1, IDC_COMMA, IDC_ARROW2}},
        };
        CRecordingDlg dlg;
        for (int nId : clicks)
            Click(dlg, nId);
        QCOMPARE(Texts(dlg, {IDC_INPUT_LABEL, IDC_OUTPUT_LABEL}), (QStringList{inputLabel, outputLabel}));
        for (const auto& [strGroup, ids] : groups)
            for (int nId : ids)
                QCOMPARE(dlg.Control(nId)->isEnabled(), (enabled + " always").split(' ').contains(strGroup));
    }

    // The three fields after a mode change and then, when given, an input
    // typed by the user.
    void FieldsFollowModeAndInput_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("input");  // null: not typed
        QTest::addColumn<QStringList>("fields");
        const QString kMovie = "/subs/movie.srt", kNotes = "/subs/notes.txt", kNone;
        QTest::newRow("same mode") << kCorrect << kNone << QStringList{kMovie, kNotes, "/tmp/mine.srt"};
        QTest::newRow("to merge") << kMerge << kNone << QStringList{kMovie, "", "/subs/movie (merged).srt"};
        QTest::newRow("into conversion") << kConvert << kNone << QStringList{"", "", ""};
        const auto typed = [&](const char* pszName, int nMode, const QString& strInput, const QString& strOutput) {
            QTest::newRow(pszName) << nMode << strInput << QStringList{strInput, kNotes, strOutput};
        };
        typed("correction", kCorrect, kMovie, "/subs/movie (fixed).srt");
        typed("conversion", kConvert, kMovie, "");
        typed("extraction of text", kExtract, "/subs/notes.TXT", "/subs/notes (extracted).txt");
        typed("merge", kMerge, kMovie, "/subs/movie (merged).srt");
        typed("full stop in a folder", kCorrect, "/sub.dir/movie", "/sub.dir/movie (fixed).srt");
        typed("trimmed", kCorrect, " /subs/movie.srt\t", "/subs/movie (fixed).srt");
        typed("empty", kMerge, "", "");
    }

    void FieldsFollowModeAndInput()
    {
        QFETCH(int, mode);
        QFETCH(QString, input);
        QFETCH(QStringList, fields);
        CRecordingDlg dlg;
        Edit(dlg, IDC_INPUT)->setText("/subs/movie.srt");
        Edit(dlg, IDC_TEXT)->setText("/subs/notes.txt");
        Edit(dlg, IDC_OUTPUT)->setText("/tmp/mine.srt");
        Click(dlg, mode);
        if (!input.isNull())
        {
            Edit(dlg, IDC_TEXT)->setText("/subs/notes.txt");
            Edit(dlg, IDC_INPUT)->setText("/old/name.srt");
            Edit(dlg, IDC_OUTPUT)->setText("/typed/by/user.srt");
            Edit(dlg, IDC_INPUT)->setText(input);
        }
        QCOMPARE(Texts(dlg, {IDC_INPUT, IDC_TEXT, IDC_OUTPUT}), fields);
    }

    // Typing the ms field rewrites the sign and the parts; typing the parts and
    // choosing the sign rewrites the ms field, and the code setting the ms
    // field while a part has the focus rewrites no part.
    void TimeFieldsRewriteEachOther_data()
    {
        QTest::addColumn<bool>("typeMs");
        QTest::addColumn<QString>("ms");
        QTest::addColumn<int>("sign");
        QTest::addColumn<QStringList>("hms");
        QTest::newRow("negative") << true << "-1500" << 1 << QStringList{"0", "0", "1", "500"};
        QTest::newRow("every part") << true << "3723004" << 0 << QStringList{"1", "2", "3", "4"};
        QTest::newRow("empty") << true << "" << 0 << QStringList{"", "", "", ""};
        QTest::newRow("letters") << true << "abc" << 0 << QStringList{"0", "0", "0", "0"};
        QTest::newRow("saturates high") << true << "99999999999" << 0 << QStringList{"596", "31", "23", "647"};
        QTest::newRow("saturates low") << true << "-99999999999" << 1 << QStringList{"596", "31", "23", "648"};
        QTest::newRow("one hour back") << false << "-3600000" << 1 << QStringList{"1", "0", "0", "0"};
        QTest::newRow("minus zero") << false << "0" << 1 << QStringList{"0", "0", "0", "0"};
        QTest::newRow("empty parts") << false << "2000" << 0 << QStringList{"", " ", "2", ""};
        QTest::newRow("parts saturate high") << false << "2147483647" << 0 << QStringList{"1000", "0", "0", "0"};
        QTest::newRow("parts saturate low") << false << "-2147483648" << 1 << QStringList{"1000", "0", "0", "0"};
    }

    void TimeFieldsRewriteEachOther()
    {
        QFETCH(bool, typeMs);
        QFETCH(QString, ms);
        QFETCH(int, sign);
        QFETCH(QStringList, hms);
        CRecordingDlg dlg;
        QVERIFY(ShowActive(dlg));
        if (typeMs)
            ChooseSign(dlg, 1);  // the sign must be rewritten, whatever it was
        for (int i = 0; i < 4 && !typeMs; ++i)
            Type(dlg, kHmsIds[i], hms[i]);
        typeMs ? Type(dlg, IDC_OFFSET_MS, ms) : ChooseSign(dlg, sign);
        QCOMPARE(Texts(dlg, {IDC_OFFSET_MS}), QStringList{ms});
        QCOMPARE(Sign(dlg)->currentIndex(), sign);
        QCOMPARE(Texts(dlg, kHmsIds), hms);
        QVERIFY(dlg.m_vecMessages.isEmpty());
        if (typeMs)
            return;
        Edit(dlg, IDC_HOURS)->setFocus();
        Edit(dlg, IDC_OFFSET_MS)->setText("5000");
        QCOMPARE(Texts(dlg, kHmsIds), hms);
    }

    void DetailedExchangeStopsAtBadField_data()
    {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QList<uint>>("members");
        QTest::addColumn<int>("focus");  // 0: no prompt
        using U = QList<uint>;
        const uint k = 9;  // the value before
        QTest::newRow("all numbers") << QStringList{"1", " 2", "3", "4294967295"} << U{1, 2, 3, 4294967295u} << 0;
        QTest::newRow("letters in t1") << QStringList{"12", "x", "5", "6"} << U{12, k, k, k} << int(IDC_DST1);
        QTest::newRow("minus sign in s1") << QStringList{"-1", "2", "3", "4"} << U{k, k, k, k} << int(IDC_SRC1);
        QTest::newRow("beyond 32 bits in s2") << QStringList{"1", "2", "4294967296", "4"} << U{1, 2, k, k}
                                              << int(IDC_SRC2);
    }

    void DetailedExchangeStopsAtBadField()
    {
        QFETCH(QStringList, texts);
        QFETCH(QList<uint>, members);
        QFETCH(int, focus);
        CRecordingDlg dlg;
        QVERIFY(ShowActive(dlg));
        Click(dlg, IDC_SHIFT_DETAILED);
        for (int nId : kDetailedIds)
            Edit(dlg, nId)->setText("9");
        QVERIFY(dlg.UpdateData(true));
        for (int i = 0; i < 4; ++i)
            Edit(dlg, kDetailedIds[i])->setText(texts[i]);
        QCOMPARE(dlg.UpdateData(true), focus == 0);
        QCOMPARE((QList<uint>{dlg.m_nSrc1, dlg.m_nDst1, dlg.m_nSrc2, dlg.m_nDst2}), members);
        QCOMPARE(dlg.m_vecMessages.size(), focus == 0 ? 0 : 1);
        if (focus != 0)
            QCOMPARE(QApplication::focusWidget(), dlg.Control(focus));
    }

    // Real files in a fresh folder: movie.srt, words.srt (no subtitle),
    // notes.txt and a folder. Nothing but the named files may be written.
    void RunChecksAndShowsJobMessage_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("input");   // "" for none
        QTest::addColumn<QString>("text");    // "" for none
        QTest::addColumn<QString>("output");  // "" keeps the proposed name, "-" empties it
        QTest::addColumn<bool>("equalSources");  // s1 = s2 in the detailed shift
        QTest::addColumn<QString>("message");    // "" for none
        QTest::addColumn<QStringList>("written");
        const auto row = [](const char* pszName, int nMode, const QString& strInput, const QString& strMessage = {},
                            const QStringList& written = {}, const QString& strText = {}, const QString& strOutput = {},
                            bool bEqual = false) {
            QTest::newRow(pszName) << nMode << strInput << strText << strOutput << bEqual << strMessage << written;
        };
        for (int nMode : {kCorrect, kConvert, kExtract, kMerge})
            row(("empty input " + QByteArray::number(nMode)).constData(), nMode, "", {}, {}, "notes.txt");
        row("empty output", kExtract, "movie.srt", {}, {}, {}, "-");
        row("empty text path", kMerge, "movie.srt");
        row("missing input", kCorrect, "missing.srt", kSourceError);
        row("folder as input", kExtract, "folder", kSourceError);
        row("missing text file", kMerge, "movie.srt", QString::fromUtf8("텍스트 파일 읽기 오류!"), {}, "missing.txt");
        row("correction", kCorrect, "movie.srt", "SRT 쓰기 작업 완료!", {"movie (fixed).srt"});
        row("correction, unusable times", kCorrect, "movie.srt", "시간 오류!", {}, {}, {}, true);
        row("correction into a missing folder", kCorrect, "movie.srt", "SRT 쓰기 작업 실패!", {}, {}, "nowhere/out.srt");
        row("conversion", kConvert, "movie.srt", "SRT → SAMI 변환 완료!", {"movie.smi", "movie.UTF8.smi"});
        row("conversion of no subtitle", kConvert, "words.srt", "자막 오류!");
        row("extraction", kExtract, "movie.srt", "text 추출 완료!", {"movie.txt"});
        row("merge", kMerge, "movie.srt", "SRT/text 합병 완료!", {"movie (merged).srt"}, "notes.txt");
    }

    void RunChecksAndShowsJobMessage()
    {
        QFETCH(int, mode);
        QFETCH(QString, input);
        QFETCH(QString, text);
        QFETCH(QString, output);
        QFETCH(bool, equalSources);
        QFETCH(QString, message);
        QFETCH(QStringList, written);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        WriteFile(dir.filePath("movie.srt"), "1\r\n00:00:01,000 --> 00:00:02,000\r\nHello\r\n\r\n"
                                             "2\r\n00:00:03,000 --> 00:00:04,000\r\nWorld\r\n\r\n");
        WriteFile(dir.filePath("words.srt"), "just some words\r\n");
        WriteFile(dir.filePath("notes.txt"), "first paragraph\r\n\r\nsecond paragraph\r\n");
        QVERIFY(QDir(dir.path()).mkdir("folder"));
        CRecordingDlg dlg;
        Click(dlg, mode);
        Edit(dlg, IDC_INPUT)->setText(input.isEmpty() ? QString() : dir.filePath(input));
        Edit(dlg, IDC_TEXT)->setText(text.isEmpty() ? QString() : dir.filePath(text));
        if (!output.isEmpty())
            Edit(dlg, IDC_OUTPUT)->setText(output == "-" ? QString() : dir.filePath(output));
        if (equalSources)
        {
            Click(dlg, IDC_SHIFT_DETAILED);
            Edit(dlg, IDC_SRC1)->setText("1000");
            Edit(dlg, IDC_SRC2)->setText("1000");
        }
        Click(dlg, IDC_RUN);
        QCOMPARE(dlg.m_vecMessages, message.isEmpty() ? QStringList{} : QStringList{message});
        QStringList files = written + QStringList{"movie.srt", "notes.txt", "words.srt"};
        files.sort();
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files, QDir::Name), files);
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    void CorrectionUsesMsFieldAndOptions()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        WriteFile(dir.filePath("movie.srt"), "1\r\n00:00:01,000 --> 00:00:02,000\r\n''Hello''\r\n\r\n");
        CRecordingDlg dlg;
        QVERIFY(ShowActive(dlg));
        Edit(dlg, IDC_INPUT)->setText(dir.filePath("movie.srt"));
        Type(dlg, IDC_OFFSET_MS, "-500");
        Click(dlg, IDC_FIX_QUOTES);
        Click(dlg, IDC_RUN);
        QCOMPARE(dlg.m_vecMessages, QStringList{QString::fromUtf8("SRT 쓰기 작업 완료!")});
        QFile out(dir.filePath("movie (fixed).srt"));
        QVERIFY(out.open(QIODevice::ReadOnly));
        const QByteArray bytes = out.readAll();
        QVERIFY2(bytes.contains("00:00:00,500 --> 00:00:01,500") && bytes.contains("\"Hello\""), bytes.constData());
    }

    // The real box: captioned with the program file's name, one OK button, no icon.
    void MessageBoxIsPlain()
    {
        CMainDlg dlg;
        QVERIFY(ShowActive(dlg));
        Edit(dlg, IDC_INPUT)->setText("/no/such/file.srt");
        QStringList seen;
        QTimer::singleShot(0, [&seen] {
            auto* pBox = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (pBox == nullptr)
                return;
            seen << pBox->windowTitle() << pBox->text() << QString::number(pBox->buttons().size())
                 << QString::number(pBox->icon()) << QString::number(pBox->isModal());
            pBox->buttons().front()->click();
        });
        Click(dlg, IDC_RUN);
        QCOMPARE(seen, QStringList({QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName(),
                                    kSourceError, "1", QString::number(QMessageBox::NoIcon), "1"}));
        QVERIFY(dlg.isVisible());
    }

    // Escape does nothing wherever the focus is; Enter in the input runs; the
    // Close button (on its row) and the close box end the window.
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
        QSignalSpy finished(&dlg, &QDialog::finished);
        Type(dlg, IDC_INPUT, "/no/such/file.srt");
        QWidget* pControl = dlg.Control(focus);
        pControl->setFocus();
        QTest::keyClick(pControl, Qt::Key_Escape);
        QVERIFY(dlg.m_vecMessages.isEmpty());
        if (focus == IDC_INPUT)
        {
            QTest::keyClick(pControl, Qt::Key_Return);
            QCOMPARE(dlg.m_vecMessages, QStringList{kSourceError});
        }
        QVERIFY(dlg.isVisible());
        QCOMPARE(finished.count(), 0);
        QSignalSpy rejected(&dlg, &QDialog::rejected);
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

    void BrowseUsesFilterOfMode_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("dialog");
        const QString kSrt = "SRT files (*.srt);;All files (*)", kText = "text files (*.txt);;All files (*)";
        const int kIn = IDC_BROWSE_INPUT, kOut = IDC_BROWSE_OUTPUT;
        QTest::newRow("input, correction") << kCorrect << kIn << int(IDC_INPUT) << "open " + kSrt;
        QTest::newRow("input, conversion") << kConvert << kIn << int(IDC_INPUT)
                                           << "open subtitle files (*.smi *.ssa *.ass *.srt);;All files (*)";
        QTest::newRow("text file") << kMerge << int(IDC_BROWSE_TEXT) << int(IDC_TEXT) << "open " + kText;
        QTest::newRow("output, extraction") << kExtract << kOut << int(IDC_OUTPUT) << "save " + kText;
    }

    void BrowseUsesFilterOfMode()
    {
        QFETCH(int, mode);
        QFETCH(int, button);
        QFETCH(int, field);
        QFETCH(QString, dialog);
        CRecordingDlg dlg;
        Click(dlg, mode);
        Edit(dlg, field)->setText("/before");
        Click(dlg, button);  // cancelled
        QCOMPARE(Edit(dlg, field)->text(), QStringLiteral("/before"));
        dlg.m_strChosenPath = "/chosen/file.name";
        Click(dlg, button);
        QCOMPARE(Edit(dlg, field)->text(), QStringLiteral("/chosen/file.name"));
        QCOMPARE(dlg.m_vecDialogs, QStringList({dialog, dialog}));
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
