#pragma once

#include "eval/FastProgram.h"
#include "eval/Instruction.h"
#include "eval/Variant.h"

#include <vector>

class GlobalNames;

// Translates the general (postfix) program of a text into its all-double form, fusing loads
// into the operations that use them and folding constants, then drops the overflow checks
// that the end of a +, - or * chain repeats.
class FastTranslator
{
public:
    // False when some part of the program has no all-double form.
    static bool translate(const std::vector<Instruction>& code,
                          const std::vector<Variant>& constants, GlobalNames& names,
                          FastProgram& out);

private:
    explicit FastTranslator(std::vector<FastProgram::Step>& steps) : steps_(steps) {}
    void append(const FastProgram::Step& step);
    bool foldIntoConstant();
    bool fuseIntoVariable();
    void dropChainChecks();
    std::vector<FastProgram::Step>& steps_;
};
