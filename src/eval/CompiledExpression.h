#pragma once

#include "eval/FastProgram.h"
#include "eval/Instruction.h"
#include "eval/ScriptError.h"
#include "eval/Variant.h"

#include <QString>
#include <vector>

// A text compiled once: the general program, and where the text allows it the all-double
// program that evalNumber runs instead. A text that does not compile keeps its error.
class CompiledExpression
{
public:
    QString text;
    bool statement = false;
    ScriptError compileError;
    std::vector<Instruction> code;
    std::vector<Variant> constants;
    int maxStack = 0;
    // A leading minus applied to a power ("-x^2", which is (-x)^2 here): what it means and
    // what to write, and where the minus stands; the first one only.
    QString minusPowerNote;
    qsizetype minusPowerAt = -1;

    // Present when every operation and operand has an all-double form.
    bool hasFast = false;
    FastProgram fast;
    // The script variables the program reads; the fast path needs each to hold a number.
    std::vector<int> variables;
};
