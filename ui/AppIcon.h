#pragma once

#include <QIcon>

namespace tavrel
{

// The application icon (resource IDR_MAINFRAME) in all its sizes.
QIcon LoadAppIcon();

}  // namespace tavrel
