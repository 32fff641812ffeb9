#pragma once

#include <QIcon>

// The application icon (resource IDR_MAINFRAME) in all its sizes.
QIcon LoadAppIcon();
