#pragma once

#include "eval/Class1.h"
#include "eval/ScriptEngine.h"

#include <QStringList>

// The engine as the program sets it up when the main window loads: Class1 added as "sh" with
// its members global, the three start statements run, and a handler that does what the
// window's does: the error number goes into the window's evaluation error number, and every
// failure but the point failures is "shown" (recorded here).
struct EngineFixture
{
    Class1 class1;
    ScriptEngine engine;
    qint32 ierr = 0; // the window's evaluation error number
    QStringList shownMessages;

    EngineFixture()
    {
        class1.attachWindowError(&ierr);
        engine.setErrorHandler([this](const ScriptError& error) {
            ierr = error.number;
            if (!ErrorNumbers::isPointFailure(error.number))
                shownMessages.append(error.description);
        });
        engine.addObject(QStringLiteral("sh"), &class1, true);
        engine.executeStatement(QStringLiteral("halfpi = Atn(1) * 2"));
        engine.executeStatement(QStringLiteral("pi = Atn(1) * 4"));
        engine.executeStatement(QStringLiteral("e = Exp(1)"));
    }
};
