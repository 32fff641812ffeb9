#include "ui/ConverterApp.h"

#include <QLibraryInfo>
#include <QTranslator>

#include "ui/AppIcon.h"
#include "ui/MainDlg.h"

namespace tavrel
{

CConverterApp::CConverterApp(int& argc, char** argv)
    : QApplication(argc, argv)
{
    setWindowIcon(LoadAppIcon());
    // The whole interface is Korean, so Qt's own buttons and dialogs are too, whatever the system locale; native
    // dialogs would follow the system's language instead.
    auto* pTranslator = new QTranslator(this);
    if (pTranslator->load(QStringLiteral("qtbase_ko"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(pTranslator);
    setAttribute(Qt::AA_DontUseNativeDialogs);
}

bool CConverterApp::InitInstance()
{
    CMainDlg dlg;
    dlg.exec();
    return false;
}

}  // namespace tavrel
