#pragma once

#include "eval/Instruction.h"
#include "eval/Variant.h"

#include <QtGlobal>
#include <vector>

class Class1;
class GlobalNames;

// The all-double form of a program, for texts whose every operation gives on doubles the
// value the language gives. An accumulator machine: loads push the accumulator and replace
// it; binary operations combine it with a constant, a variable, a small fused operand or the
// popped stack top. Every operation checks its own failure, so errors are exact.
class FastProgram
{
public:
    // The operand kinds: constant, variable, 32-bit member, and fused pairs.
#define TAVRIGON_FAST_KINDS(X)                                                                     \
    X(C) X(V) X(I) X(VaddC) X(VsubC) X(VmulC) X(CsubV) X(VmulV) X(VaddV) X(VsubV)
#define TAVRIGON_FAST_ENUM(K) Load##K, Add##K, Sub##K, Mul##K, Div##K,
#define TAVRIGON_FAST_UNCHECKED_ENUM(K) Load##K##u, Add##K##u, Sub##K##u, Mul##K##u,
    enum class Op : quint8
    {
        TAVRIGON_FAST_KINDS(TAVRIGON_FAST_ENUM) AddS,
        SubS,
        MulS,
        DivS,
        PowS,
        PowC,
        Square,
        IntDivS,
        ModS,
        EqS,
        NeS,
        LtS,
        GtS,
        LeS,
        GeS,
        AndS,
        OrS,
        XorS,
        EqvS,
        ImpS,
        Neg,
        Not,
        Sin,
        Cos,
        Sqr,
        Exp,
        Atn,
        Function, // any other one-argument built-in
        Round2,
        Method,
        End,
        // Forms without their own overflow check, for steps whose value goes straight into
        // +, - or *: an infinity or NaN survives those, so the check at the end of the chain
        // still reports it, with the same number.
        TAVRIGON_FAST_KINDS(TAVRIGON_FAST_UNCHECKED_ENUM) AddSu,
        SubSu,
        MulSu,
        EndCheck,
    };
#undef TAVRIGON_FAST_ENUM
#undef TAVRIGON_FAST_UNCHECKED_ENUM

    struct Step
    {
        Op op = Op::End;
        quint8 function = 0; // built-in or method index
        qint32 source = 0;   // the instruction of the general program it came from
        double c = 0;
        const double* p = nullptr;
        union {
            const double* q;
            const qint32* ip;
            Class1* object;
        };
        Step() : q(nullptr) {}
    };

    static constexpr int MaxStack = 64;

    // Translates a general program; false when some part of it has no all-double form.
    bool build(const std::vector<Instruction>& code, const std::vector<Variant>& constants,
               GlobalNames& names);

    // Runs the program: 0 and the value, or the error number and the index of the failing
    // instruction of the general program.
    qint32 run(double& result, qint32& failedInstruction) const;

    const std::vector<Step>& steps() const
    {
        return steps_;
    }

private:
    void append(const Step& step);
    void dropChainChecks();
    std::vector<Step> steps_;
};
