// The main window through its controls: modes and rows, output naming, the
// time-shift fields, the detailed-shift exchange, Run and its messages,
// keys, browsing and tooltips.

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
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
    QStringList m_vecFilters;
    QList<bool> m_vecSaveDialogs;
    QString m_strChosenPath;
    int m_nAboutShown = 0;

protected:
    void ShowMessage(const QString& strText) override { m_vecMessages << strText; }
    QString ChooseFile(bool bSave, const QString& strFilter) override
    {
        m_vecSaveDialogs << bSave;
        m_vecFilters << strFilter;
        return m_strChosenPath;
    }
    void ShowAbout() override { ++m_nAboutShown; }
};

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

QString Text(const CMainDlg& dlg, int nId)
{
    if (auto* pLabel = qobject_cast<QLabel*>(dlg.Control(nId)))
        return pLabel->text();
    return Edit(dlg, nId)->text();
}

void Click(CMainDlg& dlg, int nId)
{
    QTest::mouseClick(qobject_cast<QAbstractButton*>(dlg.Control(nId)), Qt::LeftButton);
}

void ClickAll(CMainDlg& dlg, const QList<int>& ids)
{
    for (int nId : ids)
        Click(dlg, nId);
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
    auto* pSign = qobject_cast<QComboBox*>(dlg.Control(IDC_SIGN));
    pSign->setFocus();
    if (pSign->currentIndex() != nIndex)
        QTest::keyClick(pSign, nIndex > pSign->currentIndex() ? Qt::Key_Down : Qt::Key_Up);
}

int SignIndex(const CMainDlg& dlg)
{
    return qobject_cast<QComboBox*>(dlg.Control(IDC_SIGN))->currentIndex();
}

QStringList HmsTexts(const CMainDlg& dlg)
{
    return {Text(dlg, IDC_HOURS), Text(dlg, IDC_MINUTES), Text(dlg, IDC_SECONDS), Text(dlg, IDC_MILLIS)};
}

bool AllEnabled(const CMainDlg& dlg, const QList<int>& ids, bool bEnabled)
{
    for (int nId : ids)
        if (dlg.Control(nId)->isEnabled() != bEnabled)
            return false;
    return true;
}

void WriteFile(const QString& strPath, const QByteArray& bytes)
{
    QFile file(strPath);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

const QByteArray kSrt = "1\r\n00:00:01,000 --> 00:00:02,000\r\nHello\r\n\r\n"
                        "2\r\n00:00:03,000 --> 00:00:04,000\r\nWorld\r\n\r\n";

const QList<int> kBasicRow = {IDC_OFFSET_MS, IDC_HOURS, IDC_MINUTES, IDC_SECONDS, IDC_MILLIS, IDC_SIGN};
constexpr int kDetailedRow[] = {IDC_SRC1, IDC_DST1, IDC_SRC2, IDC_DST2};

}  // namespace

class CMainDlgTest : public QObject
{
    Q_OBJECT

private slots:
    void StartsInCorrectionModeWithZeroTimes()
    {
        CRecordingDlg dlg;
        QCOMPARE(dlg.windowTitle(), QString::fromUtf8("Tavrel von Norvane 버전 1.0"));
        QCOMPARE(qobject_cast<QAbstractButton*>(dlg.Control(IDC_FIX_QUOTES))->text(),
                 QString::fromUtf8("\\', \\'(x2), \" 수정"));
        QCOMPARE(Text(dlg, IDC_OFFSET_MS), QStringLiteral("0"));
        QCOMPARE(HmsTexts(dlg), QStringList({"0", "0", "0", "0"}));
        for (int nId : kDetailedRow)
            QCOMPARE(Text(dlg, nId), QStringLiteral("0"));
        QCOMPARE(SignIndex(dlg), 0);
        QVERIFY(qobject_cast<QAbstractButton*>(dlg.Control(IDC_MODE_CORRECT))->isChecked());
        QVERIFY(qobject_cast<QAbstractButton*>(dlg.Control(IDC_SHIFT_BASIC))->isChecked());
        QVERIFY(AllEnabled(dlg, kBasicRow, true));
        QVERIFY(AllEnabled(dlg, {IDC_SRC1, IDC_DST1, IDC_SRC2, IDC_DST2, IDC_TEXT, IDC_BROWSE_TEXT}, false));
        QVERIFY(dlg.Control(IDC_OK)->isHidden());
        QVERIFY(!dlg.Control(IDC_OK)->isEnabled());
        QVERIFY(qobject_cast<QPushButton*>(dlg.Control(IDC_RUN))->isDefault());
        QVERIFY(dlg.minimumSize() == dlg.maximumSize());
        QVERIFY(ShowActive(dlg));
        QCOMPARE(QApplication::focusWidget(), dlg.Control(IDC_INPUT));
    }

    void ModeSetsRows_data()
    {
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<QString>("inputLabel");
        QTest::addColumn<QString>("outputLabel");
        QTest::addColumn<bool>("textRow");
        QTest::addColumn<bool>("outputRow");
        QTest::addColumn<bool>("options");

        QTest::newRow("correction again") << QList<int>{IDC_MODE_EXTRACT, IDC_MODE_CORRECT} << "srt" << "srt"
                                          << false << true << true;
        QTest::newRow("conversion") << QList<int>{IDC_MODE_CONVERT} << "smi/ssa/srt" << "srt" << false << false
                                    << false;
        QTest::newRow("conversion keeps the output label")
            << QList<int>{IDC_MODE_EXTRACT, IDC_MODE_CONVERT} << "smi/ssa/srt" << "TEXT" << false << false << false;
        QTest::newRow("extraction") << QList<int>{IDC_MODE_EXTRACT} << "srt" << "TEXT" << false << true << false;
        QTest::newRow("merge") << QList<int>{IDC_MODE_MERGE} << "srt" << "srt" << true << true << false;
    }

    void ModeSetsRows()
    {
        QFETCH(QList<int>, clicks);
        QFETCH(QString, inputLabel);
        QFETCH(QString, outputLabel);
        QFETCH(bool, textRow);
        QFETCH(bool, outputRow);
        QFETCH(bool, options);

        CRecordingDlg dlg;
        ClickAll(dlg, clicks);
        QCOMPARE(Text(dlg, IDC_INPUT_LABEL), inputLabel);
        QCOMPARE(Text(dlg, IDC_OUTPUT_LABEL), outputLabel);
        QVERIFY(AllEnabled(dlg, {IDC_TEXT_LABEL, IDC_TEXT, IDC_BROWSE_TEXT}, textRow));
        QVERIFY(AllEnabled(dlg, {IDC_OUTPUT_LABEL, IDC_OUTPUT, IDC_BROWSE_OUTPUT}, outputRow));
        QVERIFY(AllEnabled(dlg,
                           {IDC_REPLACE85, IDC_FIX_QUOTES, IDC_FIX_LETTER_L, IDC_REMOVE_DIGIT_SPACES,
                            IDC_SHIFT_BASIC, IDC_SHIFT_DETAILED},
                           options));
        QVERIFY(AllEnabled(dlg, kBasicRow, options));
        QVERIFY(AllEnabled(dlg, {IDC_SRC1, IDC_DST1, IDC_SRC2, IDC_DST2}, false));
        QVERIFY(AllEnabled(dlg, {IDC_INPUT_LABEL, IDC_INPUT, IDC_BROWSE_INPUT, IDC_RUN, IDC_CLOSE}, true));
        QCOMPARE(dlg.m_nPrevMode, dlg.m_nMode);
    }

    void ModeChangeEmptiesFields_data()
    {
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<bool>("refill");  // fill the fields again after the first click
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("output");

        QTest::newRow("same mode changes nothing") << QList<int>{IDC_MODE_CORRECT} << false << "/subs/movie.srt"
                                                   << "/subs/notes.txt" << "/tmp/mine.srt";
        QTest::newRow("correction to merge") << QList<int>{IDC_MODE_MERGE} << false << "/subs/movie.srt" << ""
                                             << "/subs/movie (merged).srt";
        QTest::newRow("merge to extraction") << QList<int>{IDC_MODE_MERGE, IDC_MODE_EXTRACT} << true
                                             << "/subs/movie.srt" << "" << "/subs/movie.txt";
        QTest::newRow("into conversion") << QList<int>{IDC_MODE_CONVERT} << false << "" << "" << "";
        QTest::newRow("out of conversion") << QList<int>{IDC_MODE_CONVERT, IDC_MODE_EXTRACT} << true << "" << ""
                                           << "";
    }

    void ModeChangeEmptiesFields()
    {
        QFETCH(QList<int>, clicks);
        QFETCH(bool, refill);
        QFETCH(QString, input);
        QFETCH(QString, text);
        QFETCH(QString, output);

        CRecordingDlg dlg;
        const auto fill = [&dlg] {
            Edit(dlg, IDC_INPUT)->setText("/subs/movie.srt");
            Edit(dlg, IDC_TEXT)->setText("/subs/notes.txt");
            Edit(dlg, IDC_OUTPUT)->setText("/tmp/mine.srt");
        };
        fill();
        for (qsizetype i = 0; i < clicks.size(); ++i)
        {
            Click(dlg, clicks[i]);
            if (i == 0 && refill)
                fill();
        }
        QCOMPARE(Text(dlg, IDC_INPUT), input);
        QCOMPARE(Text(dlg, IDC_TEXT), text);
        QCOMPARE(Text(dlg, IDC_OUTPUT), output);
    }

    void DetailedShiftComesBackWithCorrection()
    {
        CRecordingDlg dlg;
        Click(dlg, IDC_SHIFT_DETAILED);
        QVERIFY(AllEnabled(dlg, {IDC_SRC1, IDC_DST1, IDC_SRC2, IDC_DST2}, true));
        QVERIFY(AllEnabled(dlg, {IDC_OFFSET_MS, IDC_SIGN, IDC_MS_LABEL}, false));
        Click(dlg, IDC_MODE_EXTRACT);
        QVERIFY(AllEnabled(dlg, {IDC_SRC1, IDC_DST1, IDC_SRC2, IDC_DST2, IDC_OFFSET_MS, IDC_SIGN}, false));
        Click(dlg, IDC_MODE_CORRECT);
        QVERIFY(AllEnabled(dlg, {IDC_SRC1, IDC_DST1, IDC_SRC2, IDC_DST2}, true));
        QVERIFY(AllEnabled(dlg, {IDC_ARROW1, IDC_COMMA, IDC_ARROW2}, true));
        QVERIFY(AllEnabled(dlg, {IDC_OFFSET_MS, IDC_HOURS, IDC_SIGN, IDC_MS_LABEL, IDC_POINT}, false));
        Click(dlg, IDC_SHIFT_BASIC);
        QVERIFY(AllEnabled(dlg, kBasicRow, true));
        QVERIFY(AllEnabled(dlg, {IDC_SRC1, IDC_DST2, IDC_ARROW2}, false));
    }

    void OutputFollowsInput_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("output");

        QTest::newRow("correction") << int(IDC_MODE_CORRECT) << "/subs/movie.srt" << "/subs/movie (fixed).srt";
        QTest::newRow("conversion") << int(IDC_MODE_CONVERT) << "/subs/movie.srt" << "";
        QTest::newRow("extraction") << int(IDC_MODE_EXTRACT) << "/subs/movie.srt" << "/subs/movie.txt";
        QTest::newRow("extraction of text") << int(IDC_MODE_EXTRACT) << "/subs/notes.TXT"
                                            << "/subs/notes (extracted).txt";
        QTest::newRow("merge") << int(IDC_MODE_MERGE) << "/subs/movie.srt" << "/subs/movie (merged).srt";
        QTest::newRow("full stop in a folder") << int(IDC_MODE_CORRECT) << "/sub.dir/movie"
                                               << "/sub.dir/movie (fixed).srt";
        QTest::newRow("last full stop counts") << int(IDC_MODE_CORRECT) << "movie.en.srt" << "movie.en (fixed).srt";
        QTest::newRow("trimmed") << int(IDC_MODE_CORRECT) << " /subs/movie.srt\t" << "/subs/movie (fixed).srt";
        QTest::newRow("empty") << int(IDC_MODE_MERGE) << "" << "";
    }

    void OutputFollowsInput()
    {
        QFETCH(int, mode);
        QFETCH(QString, input);
        QFETCH(QString, output);

        CRecordingDlg dlg;
        Click(dlg, mode);
        Edit(dlg, IDC_INPUT)->setText("/old/name.srt");
        Edit(dlg, IDC_OUTPUT)->setText("/typed/by/user.srt");
        Edit(dlg, IDC_INPUT)->setText(input);
        QCOMPARE(Text(dlg, IDC_OUTPUT), output);
    }

    void MsFieldRewritesHms_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("sign");
        QTest::addColumn<QStringList>("hms");

        QTest::newRow("negative") << "-1500" << 1 << QStringList{"0", "0", "1", "500"};
        QTest::newRow("every part") << "3723004" << 0 << QStringList{"1", "2", "3", "4"};
        QTest::newRow("hours beyond a day") << "90000000" << 0 << QStringList{"25", "0", "0", "0"};
        QTest::newRow("empty") << "" << 0 << QStringList{"", "", "", ""};
        QTest::newRow("letters") << "abc" << 0 << QStringList{"0", "0", "0", "0"};
        QTest::newRow("spaces around") << " 61000 " << 0 << QStringList{"0", "1", "1", "0"};
        QTest::newRow("saturates high") << "99999999999" << 0 << QStringList{"596", "31", "23", "647"};
        QTest::newRow("saturates low") << "-99999999999" << 1 << QStringList{"596", "31", "23", "648"};
    }

    void MsFieldRewritesHms()
    {
        QFETCH(QString, typed);
        QFETCH(int, sign);
        QFETCH(QStringList, hms);

        CRecordingDlg dlg;
        QVERIFY(ShowActive(dlg));
        ChooseSign(dlg, 1);  // the sign must be rewritten, whatever it was
        Type(dlg, IDC_OFFSET_MS, typed);
        QVERIFY(dlg.m_bMsFieldActive);
        QCOMPARE(SignIndex(dlg), sign);
        QCOMPARE(HmsTexts(dlg), hms);
        QCOMPARE(Text(dlg, IDC_OFFSET_MS), typed);
        QVERIFY(dlg.m_vecMessages.isEmpty());
    }

    void HmsRewritesMsField_data()
    {
        QTest::addColumn<QStringList>("hms");
        QTest::addColumn<int>("sign");
        QTest::addColumn<QString>("offset");

        QTest::newRow("one hour") << QStringList{"1", "0", "0", "0"} << 0 << "3600000";
        QTest::newRow("one hour back") << QStringList{"1", "0", "0", "0"} << 1 << "-3600000";
        QTest::newRow("minus zero") << QStringList{"0", "0", "0", "0"} << 1 << "0";
        QTest::newRow("75 minutes") << QStringList{"0", "75", "0", "0"} << 0 << "4500000";
        QTest::newRow("plain milliseconds") << QStringList{"0", "0", "0", "5"} << 0 << "5";
        QTest::newRow("empty parts") << QStringList{"", " ", "2", ""} << 0 << "2000";
        QTest::newRow("negative part") << QStringList{"-1", "30", "0", "0"} << 0 << "-1800000";
        QTest::newRow("saturates high") << QStringList{"1000", "0", "0", "0"} << 0 << "2147483647";
        QTest::newRow("saturates low") << QStringList{"1000", "0", "0", "0"} << 1 << "-2147483648";
        QTest::newRow("huge parts") << QStringList{"99999999999", "99999999999", "0", "0"} << 0 << "2147483647";
    }

    void HmsRewritesMsField()
    {
        QFETCH(QStringList, hms);
        QFETCH(int, sign);
        QFETCH(QString, offset);

        CRecordingDlg dlg;
        QVERIFY(ShowActive(dlg));
        const int ids[] = {IDC_HOURS, IDC_MINUTES, IDC_SECONDS, IDC_MILLIS};
        for (int i = 0; i < 4; ++i)
            Type(dlg, ids[i], hms[i]);
        ChooseSign(dlg, sign);
        QVERIFY(!dlg.m_bMsFieldActive);
        QCOMPARE(Text(dlg, IDC_OFFSET_MS), offset);
        QCOMPARE(HmsTexts(dlg), hms);
    }

    void CodeSettingMsFieldLeavesHmsWhileHmsActive()
    {
        CRecordingDlg dlg;
        QVERIFY(ShowActive(dlg));
        Type(dlg, IDC_HOURS, "2");
        Edit(dlg, IDC_OFFSET_MS)->setText("5000");
        QCOMPARE(HmsTexts(dlg), QStringList({"2", "0", "0", "0"}));
    }

    void DetailedExchangeStopsAtBadField_data()
    {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QList<uint>>("members");
        QTest::addColumn<int>("focus");  // 0: no prompt

        const uint kOld = 9;
        QTest::newRow("all numbers") << QStringList{"1", " 2", "3", "4294967295"}
                                     << QList<uint>{1, 2, 3, 4294967295u} << 0;
        QTest::newRow("letters in t1") << QStringList{"12", "x", "5", "6"} << QList<uint>{12, kOld, kOld, kOld}
                                       << int(IDC_DST1);
        QTest::newRow("minus sign in s1") << QStringList{"-1", "2", "3", "4"} << QList<uint>{kOld, kOld, kOld, kOld}
                                          << int(IDC_SRC1);
        QTest::newRow("beyond 32 bits in s2") << QStringList{"1", "2", "4294967296", "4"}
                                              << QList<uint>{1, 2, kOld, kOld} << int(IDC_SRC2);
        QTest::newRow("empty t2") << QStringList{"1", "2", "3", ""} << QList<uint>{1, 2, 3, kOld} << int(IDC_DST2);
        QTest::newRow("trailing letters") << QStringList{"10s", "2", "3", "4"}
                                          << QList<uint>{kOld, kOld, kOld, kOld} << int(IDC_SRC1);
    }

    void DetailedExchangeStopsAtBadField()
    {
        QFETCH(QStringList, texts);
        QFETCH(QList<uint>, members);
        QFETCH(int, focus);

        CRecordingDlg dlg;
        QVERIFY(ShowActive(dlg));
        Click(dlg, IDC_SHIFT_DETAILED);
        for (int nId : kDetailedRow)
            Edit(dlg, nId)->setText("9");
        QVERIFY(dlg.UpdateData(true));
        for (int i = 0; i < 4; ++i)
            Edit(dlg, kDetailedRow[i])->setText(texts[i]);

        QCOMPARE(dlg.UpdateData(true), focus == 0);
        QCOMPARE((QList<uint>{dlg.m_nSrc1, dlg.m_nDst1, dlg.m_nSrc2, dlg.m_nDst2}), members);
        QCOMPARE(dlg.m_vecMessages.size(), focus == 0 ? 0 : 1);
        if (focus != 0)
            QCOMPARE(QApplication::focusWidget(), dlg.Control(focus));
    }

    void RunChecksFieldsAndFiles_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("input");  // names under a fresh folder; "" for none
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("clearOutput");
        QTest::addColumn<QStringList>("messages");

        const QString kSource = QString::fromUtf8("소스 파일 읽기 오류!");
        const QString kText = QString::fromUtf8("텍스트 파일 읽기 오류!");
        for (int nMode : {IDC_MODE_CORRECT, IDC_MODE_CONVERT, IDC_MODE_EXTRACT, IDC_MODE_MERGE})
            QTest::addRow("empty input %d", nMode) << nMode << "" << "notes.txt" << false << QStringList{};
        QTest::newRow("empty output") << int(IDC_MODE_EXTRACT) << "movie.srt" << "" << true << QStringList{};
        QTest::newRow("empty text path") << int(IDC_MODE_MERGE) << "movie.srt" << "" << false << QStringList{};
        QTest::newRow("missing input") << int(IDC_MODE_CORRECT) << "missing.srt" << "" << false
                                       << QStringList{kSource};
        QTest::newRow("folder as input") << int(IDC_MODE_EXTRACT) << "folder" << "" << false
                                         << QStringList{kSource};
        QTest::newRow("missing input, conversion") << int(IDC_MODE_CONVERT) << "missing.smi" << "" << false
                                                   << QStringList{kSource};
        QTest::newRow("leading space") << int(IDC_MODE_CORRECT) << " movie.srt" << "" << false
                                       << QStringList{kSource};
        QTest::newRow("missing text file") << int(IDC_MODE_MERGE) << "movie.srt" << "missing.txt" << false
                                           << QStringList{kText};
        QTest::newRow("both missing") << int(IDC_MODE_MERGE) << "missing.srt" << "missing.txt" << false
                                      << QStringList{kSource};
    }

    void RunChecksFieldsAndFiles()
    {
        QFETCH(int, mode);
        QFETCH(QString, input);
        QFETCH(QString, text);
        QFETCH(bool, clearOutput);
        QFETCH(QStringList, messages);

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        WriteFile(dir.filePath("movie.srt"), kSrt);
        QVERIFY(QDir(dir.path()).mkdir("folder"));
        const auto inDir = [&dir](const QString& strName) {
            if (strName.isEmpty())
                return QString();
            const bool bSpace = strName.startsWith(' ');
            return (bSpace ? QStringLiteral(" ") : QString()) + dir.filePath(strName.trimmed());
        };

        CRecordingDlg dlg;
        Click(dlg, mode);
        Edit(dlg, IDC_INPUT)->setText(inDir(input));
        Edit(dlg, IDC_TEXT)->setText(inDir(text));
        if (clearOutput)
            Edit(dlg, IDC_OUTPUT)->clear();
        Click(dlg, IDC_RUN);
        QCOMPARE(dlg.m_vecMessages, messages);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"movie.srt"});
    }

    void RunShowsJobMessage_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("detailedEqual");  // s1 = s2 in the detailed shift
        QTest::addColumn<QString>("outputName");  // replaces the proposed output name
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("written");  // a file the job wrote

        QTest::newRow("correction") << int(IDC_MODE_CORRECT) << kSrt << false << "" << "SRT 쓰기 작업 완료!"
                                    << "movie (fixed).srt";
        QTest::newRow("correction, unusable times")
            << int(IDC_MODE_CORRECT) << kSrt << true << "" << "시간 오류!" << "";
        QTest::newRow("correction into a missing folder")
            << int(IDC_MODE_CORRECT) << kSrt << false << "nowhere/out.srt" << "SRT 쓰기 작업 실패!" << "";
        QTest::newRow("conversion") << int(IDC_MODE_CONVERT) << kSrt << false << "" << "SRT → SAMI 변환 완료!"
                                    << "movie.UTF8.smi";
        QTest::newRow("conversion of no subtitle")
            << int(IDC_MODE_CONVERT) << QByteArray("just some words\r\n") << false << "" << "자막 오류!" << "";
        QTest::newRow("extraction") << int(IDC_MODE_EXTRACT) << kSrt << false << "" << "text 추출 완료!"
                                    << "movie.txt";
        QTest::newRow("merge") << int(IDC_MODE_MERGE) << kSrt << false << "" << "SRT/text 합병 완료!"
                               << "movie (merged).srt";
    }

    void RunShowsJobMessage()
    {
        QFETCH(int, mode);
        QFETCH(QByteArray, content);
        QFETCH(bool, detailedEqual);
        QFETCH(QString, outputName);
        QFETCH(QString, message);
        QFETCH(QString, written);

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        WriteFile(dir.filePath("movie.srt"), content);
        WriteFile(dir.filePath("notes.txt"), "first paragraph\r\n\r\nsecond paragraph\r\n");

        CRecordingDlg dlg;
        Click(dlg, mode);
        Edit(dlg, IDC_INPUT)->setText(dir.filePath("movie.srt"));
        Edit(dlg, IDC_TEXT)->setText(dir.filePath("notes.txt"));
        if (!outputName.isEmpty())
            Edit(dlg, IDC_OUTPUT)->setText(dir.filePath(outputName));
        if (detailedEqual)
        {
            Click(dlg, IDC_SHIFT_DETAILED);
            Edit(dlg, IDC_SRC1)->setText("1000");
            Edit(dlg, IDC_SRC2)->setText("1000");
        }
        Click(dlg, IDC_RUN);
        QCOMPARE(dlg.m_vecMessages, QStringList{message});
        if (!written.isEmpty())
            QVERIFY(QFile::exists(dir.filePath(written)));
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
        QVERIFY2(bytes.contains("00:00:00,500 --> 00:00:01,500"), bytes.constData());
        QVERIFY2(bytes.contains("\"Hello\""), bytes.constData());
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
                                    QString::fromUtf8("소스 파일 읽기 오류!"), "1",
                                    QString::number(QMessageBox::NoIcon), "1"}));
        QVERIFY(dlg.isVisible());
    }

    void EnterRuns()
    {
        CRecordingDlg dlg;
        QVERIFY(ShowActive(dlg));
        Type(dlg, IDC_INPUT, "/no/such/file.srt");
        QTest::keyClick(Edit(dlg, IDC_INPUT), Qt::Key_Return);
        QCOMPARE(dlg.m_vecMessages, QStringList{QString::fromUtf8("소스 파일 읽기 오류!")});
        QVERIFY(dlg.isVisible());
    }

    void EscapeNeverCloses_data()
    {
        QTest::addColumn<int>("focus");
        for (int nId : {IDC_INPUT, IDC_OUTPUT, IDC_OFFSET_MS, IDC_HOURS, IDC_SIGN, IDC_REPLACE85, IDC_MODE_MERGE,
                        IDC_RUN, IDC_CLOSE})
            QTest::addRow("%d", nId) << nId;
    }

    void EscapeNeverCloses()
    {
        QFETCH(int, focus);
        CRecordingDlg dlg;
        QVERIFY(ShowActive(dlg));
        QSignalSpy finished(&dlg, &QDialog::finished);
        QWidget* pControl = dlg.Control(focus);
        pControl->setFocus();
        QTest::keyClick(pControl, Qt::Key_Escape);
        QVERIFY(dlg.isVisible());
        QCOMPARE(finished.count(), 0);
    }

    void CloseButtonAndCloseBoxEnd_data()
    {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("close button") << false;
        QTest::newRow("close box") << true;
    }

    void CloseButtonAndCloseBoxEnd()
    {
        QFETCH(bool, closeBox);
        CRecordingDlg dlg;
        QVERIFY(ShowActive(dlg));
        QSignalSpy rejected(&dlg, &QDialog::rejected);
        if (closeBox)
            dlg.close();
        else
            Click(dlg, IDC_CLOSE);
        QVERIFY(!dlg.isVisible());
        QCOMPARE(rejected.count(), 1);
    }

    void HelpKeyAndAboutCommandOpenAbout()
    {
        CRecordingDlg dlg;
        QVERIFY(ShowActive(dlg));
        QTest::keyClick(Edit(dlg, IDC_OFFSET_MS), Qt::Key_F1);
        QCOMPARE(dlg.m_nAboutShown, 1);
        dlg.OnSysCommand(IDM_ABOUTBOX);
        dlg.OnSysCommand(IDM_ABOUTBOX | 0x3);  // the low four bits are the system's
        QCOMPARE(dlg.m_nAboutShown, 3);
        dlg.OnSysCommand(0xF020);  // minimise
        QCOMPARE(dlg.m_nAboutShown, 3);
    }

    void BrowseUsesFilterOfMode_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("field");
        QTest::addColumn<bool>("save");
        QTest::addColumn<QString>("filter");

        const QString kSubtitle = "subtitle files (*.smi *.ssa *.ass *.srt);;All files (*)";
        const QString kSrtFilter = "SRT files (*.srt);;All files (*)";
        const QString kText = "text files (*.txt);;All files (*)";
        QTest::newRow("input, correction") << int(IDC_MODE_CORRECT) << int(IDC_BROWSE_INPUT) << int(IDC_INPUT)
                                           << false << kSrtFilter;
        QTest::newRow("input, conversion") << int(IDC_MODE_CONVERT) << int(IDC_BROWSE_INPUT) << int(IDC_INPUT)
                                           << false << kSubtitle;
        QTest::newRow("input, merge") << int(IDC_MODE_MERGE) << int(IDC_BROWSE_INPUT) << int(IDC_INPUT) << false
                                      << kSrtFilter;
        QTest::newRow("text file") << int(IDC_MODE_MERGE) << int(IDC_BROWSE_TEXT) << int(IDC_TEXT) << false
                                   << kText;
        QTest::newRow("output, extraction") << int(IDC_MODE_EXTRACT) << int(IDC_BROWSE_OUTPUT) << int(IDC_OUTPUT)
                                            << true << kText;
        QTest::newRow("output, correction") << int(IDC_MODE_CORRECT) << int(IDC_BROWSE_OUTPUT) << int(IDC_OUTPUT)
                                            << true << kSrtFilter;
    }

    void BrowseUsesFilterOfMode()
    {
        QFETCH(int, mode);
        QFETCH(int, button);
        QFETCH(int, field);
        QFETCH(bool, save);
        QFETCH(QString, filter);

        CRecordingDlg dlg;
        Click(dlg, mode);
        Edit(dlg, field)->setText("/before");
        Click(dlg, button);  // cancelled
        QCOMPARE(Text(dlg, field), QStringLiteral("/before"));
        dlg.m_strChosenPath = "/chosen/file.name";
        Click(dlg, button);
        QCOMPARE(Text(dlg, field), QStringLiteral("/chosen/file.name"));
        QCOMPARE(dlg.m_vecFilters, QStringList({filter, filter}));
        QCOMPARE(dlg.m_vecSaveDialogs, QList<bool>({save, save}));
    }

    void ToolTipsOnModesAndOptionsOnly_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("tip");
        QTest::newRow("1009") << 1009 << "SRT 자막 교정 / 시간 수정";
        QTest::newRow("1010") << 1010 << "SAMI/SSA/ASS → SRT 및 SRT → SAMI 변환";
        QTest::newRow("1011") << 1011 << "SRT 자막에서 텍스트 추출";
        QTest::newRow("1012") << 1012 << "SRT 자막과 텍스트 파일 합치기";
        QTest::newRow("1013") << 1013 << "0x0085 문자를 공백으로 대체";
        QTest::newRow("1014") << 1014 << "OCR 오류 수정: 잘못된 따옴표 교정";
        QTest::newRow("1015") << 1015 << "OCR 오류 수정: I(i)를 l(L)로 표기한 자막 교정)";
        QTest::newRow("1016") << 1016 << "OCR 오류 수정: 숫자 사이에 들어간 불필요한 공백 제거";
        for (int nId : {1, 2, 1000, 1001, 1002, 1007, 1017, 1018, 1020, 1022, 1026, 1030, 1037})
            QTest::addRow("%d", nId) << nId << "";
    }

    void ToolTipsOnModesAndOptionsOnly()
    {
        QFETCH(int, id);
        QFETCH(QString, tip);
        CRecordingDlg dlg;
        QCOMPARE(dlg.Control(id)->toolTip(), tip);
    }
};

TAVREL_UI_TEST_MAIN(CMainDlgTest)
#include "MainDlg.moc"
