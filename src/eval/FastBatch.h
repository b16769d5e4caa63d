#pragma once

#include "eval/FastProgram.h"

#include <QtGlobal>
#include <vector>

class Class1;

// Runs a FastProgram over up to Lanes points at once: each step over every point before the
// next step, so that the dispatch is paid once per step rather than once per point. Each point
// gets the value, error number and failing instruction that FastInterpreter gives for it alone;
// a point that has failed goes on with a meaningless value, which is never read.
class FastBatch
{
public:
    static constexpr int Lanes = 64;

    // The x, y, u and v of Class1 for each point: Lanes values, or null for the member's own.
    struct Inputs
    {
        const double* x = nullptr;
        const double* y = nullptr;
        const double* u = nullptr;
        const double* v = nullptr;
    };

    struct Results
    {
        double value[Lanes];
        qint32 error[Lanes];
        qint32 failedInstruction[Lanes];
    };

    // False for a program that calls a method of Class1: its failure travels through ierr.
    static bool accepts(const FastProgram& program);

    // Whether the program reads the member at `member` (such as &class1.x).
    static bool reads(const FastProgram& program, const double* member);

    // The first n points (1 to Lanes) of the inputs; `work` is scratch space kept by the caller.
    static void run(const FastProgram& program, const Class1& class1, const Inputs& inputs, int n,
                    Results& out, std::vector<double>& work);
};
