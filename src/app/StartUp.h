#pragma once

#include "app/DecimalSeparatorGuard.h"

#include <functional>

class frmVantro;
struct WindowArguments;

// The interactive start-up and shutdown: the decimal separator guard, the main window with
// the axes picture and the splash, the wait without events, the first Plot, the event loop,
// and the separator put back when the window has closed.
class StartUp
{
public:
    using Wait = std::function<void()>;

    // The whole run of the program with a window; the process's exit status.
    static int run(int argc, char** argv, const WindowArguments& arguments);

    // Steps after the window exists: axes picture and splash, one round of events, the wait,
    // the setup file opened when one is given, then Plot pressed as a click would.
    static void showAndPlot(frmVantro& window, const Wait& wait, const QString& file = {});

    // Reads the clock's whole seconds until more than two boundaries have passed (2 to 3 s),
    // letting no window events run.
    static void waitForClock();

    // The separator question as a message box: Yes, No and Cancel with the critical icon.
    static DecimalSeparatorGuard::Answer askDecimalSeparator(const QString& title,
                                                             const QString& text);
};
