// tavrel-screenshot: the real main window (or its About box) saved as a PNG image, for the README and the AppStream
// metainfo, and to look at every mode at every scale. Runs on the offscreen platform unless told otherwise; built
// with the window, never installed.

#include <charconv>
#include <cstdint>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QPixmap>

#include "res/DialogTemplates.h"
#include "ui/AboutDlg.h"
#include "ui/ConverterApp.h"
#include "ui/MainDlg.h"

using namespace tavrel;

namespace
{
constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

constexpr std::string_view kUsage =
    "usage: tavrel-screenshot [--mode correct|convert|extract|merge|detailed] [--scale FACTOR]\n"
    "                         [--input PATH] [--offset MS] [--about] OUTPUT.png\n"
    "  --mode    the mode button to press; detailed: correction with the two-point shift\n"
    "  --scale   the device pixel ratio, 1 to 4 (default 1)\n"
    "  --input   typed into the input field, so that the output name is proposed\n"
    "  --offset  typed into the millisecond field before the mode is chosen\n"
    "  --about   the About box instead of the main window\n";

struct CModeChoice
{
    std::string_view name;
    int32_t nModeButton;
    bool bDetailedShift;
};

constexpr CModeChoice kModes[] = {
    {"correct", IDC_MODE_CORRECT, false}, {"convert", IDC_MODE_CONVERT, false}, {"extract", IDC_MODE_EXTRACT, false},
    {"merge", IDC_MODE_MERGE, false},     {"detailed", IDC_MODE_CORRECT, true},
};

struct CShotOptions
{
    const CModeChoice* pMode = &kModes[0];
    std::string strScale = "1";
    std::string strInput;
    std::string strOffset;
    bool bAbout = false;
    std::string strOutput;
};

const CModeChoice* FindMode(std::string_view name)
{
    for (const CModeChoice& mode : kModes)
        if (mode.name == name)
            return &mode;
    return nullptr;
}

bool IsScale(std::string_view text)
{
    double dScale = 0;
    const auto [pEnd, error] = std::from_chars(text.data(), text.data() + text.size(), dScale);
    return error == std::errc() && pEnd == text.data() + text.size() && dScale >= 1 && dScale <= 4;
}

// Takes the value of one option; false for an unknown option or a bad value.
bool SetOption(std::string_view name, std::string_view value, CShotOptions& options)
{
    if (name == "--mode")
    {
        options.pMode = FindMode(value);
        return options.pMode != nullptr;
    }
    if (name == "--scale")
    {
        options.strScale = value;
        return IsScale(value);
    }
    if (name == "--input")
        options.strInput = value;
    else if (name == "--offset")
        options.strOffset = value;
    else
        return false;
    return true;
}

// The options of one command line; the reason of a usage error, or an empty text.
std::string ParseArguments(const std::vector<std::string_view>& args, CShotOptions& options)
{
    for (size_t i = 0; i < args.size(); ++i)
    {
        const std::string_view arg = args[i];
        if (arg == "--about")
            options.bAbout = true;
        else if (!arg.starts_with("--") && options.strOutput.empty())
            options.strOutput = arg;
        else if (!arg.starts_with("--"))
            return "more than one output";
        else if (i + 1 == args.size())
            return std::string(arg) + " needs a value";
        else if (const std::string_view value = args[++i]; !SetOption(arg, value, options))
            return "bad option " + std::string(arg) + " " + std::string(value);
    }
    return options.strOutput.empty() ? "missing output" : "";
}

// Shown and active, so that focus moves into a field as it does for a user.
void ShowActive(QWidget& window)
{
    window.show();
    window.activateWindow();
    const QDeadlineTimer deadline(5000);
    while (!window.isActiveWindow() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

void Click(const CMainDlg& dlg, int32_t nId)
{
    if (auto* pButton = qobject_cast<QAbstractButton*>(dlg.Control(nId)))
        pButton->click();
}

void Type(const CMainDlg& dlg, int32_t nId, const std::string& strText)
{
    auto* pEdit = qobject_cast<QLineEdit*>(dlg.Control(nId));
    pEdit->setFocus();
    pEdit->setText(QString::fromStdString(strText));
}

QPixmap GrabMainWindow(const CShotOptions& options)
{
    CMainDlg dlg;
    ShowActive(dlg);
    if (!options.strOffset.empty())
        Type(dlg, IDC_OFFSET_MS, options.strOffset);
    Click(dlg, options.pMode->nModeButton);
    if (options.pMode->bDetailedShift)
        Click(dlg, IDC_SHIFT_DETAILED);
    // Typed last, so that the focus rests in the input field.
    Type(dlg, IDC_INPUT, options.strInput);
    QCoreApplication::processEvents();
    return dlg.grab();
}

QPixmap GrabAboutBox()
{
    CAboutDlg dlg;
    ShowActive(dlg);
    QCoreApplication::processEvents();
    return dlg.grab();
}
}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    CShotOptions options;
    const std::string strError = ParseArguments(args, options);
    if (!strError.empty())
    {
        std::cerr << "tavrel-screenshot: " << strError << '\n' << kUsage;
        return kExitUsage;
    }
    // Both are read when the application object is made.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_SCALE_FACTOR", QByteArray::fromStdString(options.strScale));

    CConverterApp app(argc, argv);
    // A text cursor that does not blink is in every image, so two runs give the same picture.
    QApplication::setCursorFlashTime(0);
    const QPixmap image = options.bAbout ? GrabAboutBox() : GrabMainWindow(options);
    if (!image.save(QString::fromStdString(options.strOutput), "PNG"))
    {
        std::cerr << "tavrel-screenshot: cannot write " << options.strOutput << '\n';
        return kExitFailure;
    }
    return kExitSuccess;
}
