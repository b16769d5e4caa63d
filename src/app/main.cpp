#include "app/CommandLine.h"
#include "app/StartUp.h"

// With arguments the program runs without a window (and without a display).
int main(int argc, char** argv)
{
    if (argc > 1) return CommandLine::run(argc, argv);
    return StartUp::run(argc, argv);
}
