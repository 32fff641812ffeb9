#include "ui/AppIcon.h"

// Q_INIT_RESOURCE must be used outside any namespace, and the resources of a
// static library must be registered by hand.
static void InitAppResources()
{
    static bool s_bDone = false;
    if (s_bDone)
        return;
    Q_INIT_RESOURCE(tavrel);
    s_bDone = true;
}

namespace tavrel
{

QIcon LoadAppIcon()
{
    InitAppResources();
    QIcon icon;
    for (const char* pszFile :
         {":/tavrel/icon-16.png", ":/tavrel/icon-32.png", ":/tavrel/icon-52.png", ":/tavrel/icon-256.png"})
        icon.addFile(QString::fromLatin1(pszFile));
    return icon;
}

}  // namespace tavrel
