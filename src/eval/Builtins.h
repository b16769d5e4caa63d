#pragma once

#include "eval/Variant.h"

#include <QString>
#include <QtGlobal>

// The language's numeric built-in functions, on Variants with the language's sub-type rules.
class Builtins
{
public:
    enum Id : quint8
    {
        Abs,
        Atn,
        Cos,
        Exp,
        Fix,
        Int,
        Log,
        Round,
        Sgn,
        Sin,
        Sqr,
        Tan,
        CBool,
        CByte,
        CDbl,
        CInt,
        CLng,
        CSng,
        Hex,
        Oct,
        Rnd,
        Count
    };

    // The function of a name (any case), or -1.
    static int find(const QString& name);
    static const char* name(int id);
    static int minArgs(int id);
    static int maxArgs(int id);

    // The state of Rnd, one per engine.
    struct RandomState
    {
        quint32 seed = 327680;
    };

    // Calls function id on args; 0 or the error number.
    static qint32 call(int id, const Variant* args, int argc, Variant& result, RandomState& rnd);

    // The double forms the fast path uses: the same values as call() on numeric arguments.
    // 0 or the error number.
    static qint32 callNumber(int id, double a, double& result);
    static qint32 roundNumber(double a, double digits, double& result);

    // Half-to-even rounding to a Long; false when out of range.
    static bool toLong(double v, qint32& out);
};
