#pragma once

#include <QApplication>

namespace tavrel
{

// The application object: shows the main window and ends when it closes.
class CConverterApp : public QApplication
{
    Q_OBJECT

public:
    CConverterApp(int& argc, char** argv);

    // Shows the main window modally; returns false: the program then ends.
    bool InitInstance();
};

}  // namespace tavrel
