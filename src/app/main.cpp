#include "app/CommandLine.h"
#include "app/StartUp.h"
#include "app/WindowArguments.h"

#include <QStringList>

// No arguments, a setup file or a seed start the window; any other option runs once without
// a window (and without a display).
int main(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    WindowArguments window;
    if (!window.parse(arguments)) return CommandLine::run(argc, argv);
    return StartUp::run(argc, argv, window);
}
