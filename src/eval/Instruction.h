#pragma once

#include <QtGlobal>

// One step of a compiled program for the general (Variant) interpreter: a stack machine.
struct Instruction
{
    enum class Op : quint8
    {
        PushConst,  // constants[index]
        PushDouble, // *address, a double member
        PushInt32,  // *address, a 32-bit member
        PushVar,    // script variable slot index
        Neg,
        Not,
        Add,
        Sub,
        Mul,
        Div,
        IntDiv,
        Mod,
        Pow,
        Concat,
        Eq,
        Ne,
        Lt,
        Gt,
        Le,
        Ge,
        Is,
        And,
        Or,
        Xor,
        Eqv,
        Imp,
        CallBuiltin, // built-in index with argc arguments
        CallMethod,  // method index of the object at address, argc arguments
        Fail,        // pops argc values and raises error index
        StoreDouble, // pops into the double member at address
        StoreInt32,  // pops into the 32-bit member at address
        StoreVar,    // pops into script variable slot index
        Pop,
    };

    Op op;
    quint8 argc = 0;
    qint32 index = 0;
    qint32 name = -1; // Fail: the constant holding the name its message carries, or -1
    void* address = nullptr;
    qsizetype position = 0; // in the source text, for error reports
};
