#include "ui/ConverterApp.h"

int main(int argc, char** argv)
{
    tavrel::CConverterApp app(argc, argv);
    app.InitInstance();
    return 0;
}
