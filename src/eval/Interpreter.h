#pragma once

#include "eval/Builtins.h"
#include "eval/Variant.h"

#include <QtGlobal>
#include <vector>

class CompiledExpression;
class GlobalNames;

// Runs the general program of a CompiledExpression on Variants, with every sub-type rule of
// the language. The stack is the caller's, so repeated runs reuse its storage.
class Interpreter
{
public:
    Interpreter(GlobalNames& names, Builtins::RandomState& random) : names_(names), random_(random)
    {
    }

    // 0 and the value (Empty for statements), or the error number and the index of the
    // failing instruction.
    qint32 run(const CompiledExpression& program, Variant& result, qint32& failedInstruction);

    // A value passed to a double member or parameter: Empty is 0, strings convert, Null and
    // other strings are 13.
    static qint32 toMemberDouble(const Variant& v, double& out);

    // The characters one run may copy into strings: enough to build the longest string a
    // few times over, so no text keeps an evaluation busy for long.
    static constexpr qint64 StringBudget = 4 * Variant::MaxStringLength;

private:
    GlobalNames& names_;
    Builtins::RandomState& random_;
    std::vector<Variant> stack_;
};
