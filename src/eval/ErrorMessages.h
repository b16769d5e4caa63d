#pragma once

#include <QString>
#include <QtGlobal>

// The message texts of the engine's run-time and compilation error numbers.
class ErrorMessages
{
public:
    // The message of number; "Unknown runtime error" for a number without one.
    static QString text(qint32 number);
};
