#pragma once

#include "eval/FastProgram.h"

#include <QtGlobal>

// Runs a FastProgram with threaded dispatch.
class FastInterpreter
{
public:
    // 0 and the value, or the error number and the index of the failing instruction of the
    // general program.
    static qint32 run(const FastProgram& program, double& result, qint32& failedInstruction);
};
