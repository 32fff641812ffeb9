#include "ui/ConverterApp.h"

#include "ui/AppIcon.h"
#include "ui/MainDlg.h"

namespace tavrel
{

CConverterApp::CConverterApp(int& argc, char** argv)
    : QApplication(argc, argv)
{
    setWindowIcon(LoadAppIcon());
}

bool CConverterApp::InitInstance()
{
    CMainDlg dlg;
    dlg.exec();
    return false;
}

}  // namespace tavrel
