#pragma once

#include <QtGlobal>
#include <cstddef>
#include <iterator>
#include <vector>

class Class1;

// The all-double form of a program, for texts whose every operation gives on doubles the
// value the language gives. An accumulator machine: loads push the accumulator and replace
// it; binary operations combine it with a constant, a variable, a small fused operand or the
// popped stack top. Every operation checks its own failure, so errors are exact.
// FastTranslator writes it from a general program; FastInterpreter runs it.
class FastProgram
{
public:
    // What a step combines the accumulator with: a constant, a variable, a 32-bit member, a
    // fused pair of those, the popped stack top, or nothing.
    enum class Operand : quint8
    {
        C,
        V,
        I,
        VaddC,
        VsubC,
        VmulC,
        CsubV,
        VmulV,
        VaddV,
        VsubV,
        Stack,
        None
    };
    enum class Action : quint8
    {
        Load,
        Add,
        Sub,
        Mul,
        Div,
        Other
    };

    // The forms ending in "u" have no overflow check of their own: they are used for steps
    // whose value goes straight into +, - or *, where an infinity or NaN survives, so the
    // check at the end of the chain still reports it, with the same number.
    enum class Op : quint8
    {
        // clang-format off
        LoadC, AddC, SubC, MulC, DivC,
        LoadV, AddV, SubV, MulV, DivV,
        LoadI, AddI, SubI, MulI, DivI,
        LoadVaddC, AddVaddC, SubVaddC, MulVaddC, DivVaddC,
        LoadVsubC, AddVsubC, SubVsubC, MulVsubC, DivVsubC,
        LoadVmulC, AddVmulC, SubVmulC, MulVmulC, DivVmulC,
        LoadCsubV, AddCsubV, SubCsubV, MulCsubV, DivCsubV,
        LoadVmulV, AddVmulV, SubVmulV, MulVmulV, DivVmulV,
        LoadVaddV, AddVaddV, SubVaddV, MulVaddV, DivVaddV,
        LoadVsubV, AddVsubV, SubVsubV, MulVsubV, DivVsubV,
        AddS, SubS, MulS, DivS, PowS, PowC, Square, IntDivS, ModS,
        EqS, NeS, LtS, GtS, LeS, GeS, AndS, OrS, XorS, EqvS, ImpS,
        Neg, Not, Sin, Cos, Sqr, Exp, Atn,
        Function, // any other one-argument built-in
        Round2, Method, Method2, End,
        LoadCu, AddCu, SubCu, MulCu,
        LoadVu, AddVu, SubVu, MulVu,
        LoadIu, AddIu, SubIu, MulIu,
        LoadVaddCu, AddVaddCu, SubVaddCu, MulVaddCu,
        LoadVsubCu, AddVsubCu, SubVsubCu, MulVsubCu,
        LoadVmulCu, AddVmulCu, SubVmulCu, MulVmulCu,
        LoadCsubVu, AddCsubVu, SubCsubVu, MulCsubVu,
        LoadVmulVu, AddVmulVu, SubVmulVu, MulVmulVu,
        LoadVaddVu, AddVaddVu, SubVaddVu, MulVaddVu,
        LoadVsubVu, AddVsubVu, SubVsubVu, MulVsubVu,
        AddSu, SubSu, MulSu, EndCheck,
        // clang-format on
    };

    // The description of one opcode; ops[] lists every opcode in the order of Op.
    struct OpInfo
    {
        Op op;
        Operand operand;
        Action action;
        bool checked; // false for the forms without their own overflow check
        Op unchecked; // the form without the check, or op itself when it has none
    };
    static const OpInfo ops[];
    static constexpr std::size_t OpCount = std::size_t(Op::EndCheck) + 1;
    static constexpr const OpInfo& info(Op op);

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

    std::vector<Step> steps;
};

namespace FastOpTable {
using Op = FastProgram::Op;
using K = FastProgram::Operand;
using A = FastProgram::Action;
constexpr FastProgram::OpInfo checked(Op op, K k, A a, Op unchecked)
{
    return {op, k, a, true, unchecked};
}
constexpr FastProgram::OpInfo plain(Op op, K k = K::None, A a = A::Other)
{
    return {op, k, a, true, op};
}
constexpr FastProgram::OpInfo bare(Op op, K k, A a)
{
    return {op, k, a, false, op};
}
} // namespace FastOpTable

// clang-format off
inline constexpr FastProgram::OpInfo FastProgram::ops[] = {
#define TAVRIGON_CHECKED_KIND(k, load, add, sub, mul, div, loadU, addU, subU, mulU)                \
    FastOpTable::checked(Op::load, Operand::k, Action::Load, Op::loadU),                           \
    FastOpTable::checked(Op::add, Operand::k, Action::Add, Op::addU),                              \
    FastOpTable::checked(Op::sub, Operand::k, Action::Sub, Op::subU),                              \
    FastOpTable::checked(Op::mul, Operand::k, Action::Mul, Op::mulU),                              \
    FastOpTable::plain(Op::div, Operand::k, Action::Div)
    // A plain load of a constant, variable or member checks nothing: it has no other form.
    TAVRIGON_CHECKED_KIND(C, LoadC, AddC, SubC, MulC, DivC, LoadC, AddCu, SubCu, MulCu),
    TAVRIGON_CHECKED_KIND(V, LoadV, AddV, SubV, MulV, DivV, LoadV, AddVu, SubVu, MulVu),
    TAVRIGON_CHECKED_KIND(I, LoadI, AddI, SubI, MulI, DivI, LoadI, AddIu, SubIu, MulIu),
    TAVRIGON_CHECKED_KIND(VaddC, LoadVaddC, AddVaddC, SubVaddC, MulVaddC, DivVaddC,
                          LoadVaddCu, AddVaddCu, SubVaddCu, MulVaddCu),
    TAVRIGON_CHECKED_KIND(VsubC, LoadVsubC, AddVsubC, SubVsubC, MulVsubC, DivVsubC,
                          LoadVsubCu, AddVsubCu, SubVsubCu, MulVsubCu),
    TAVRIGON_CHECKED_KIND(VmulC, LoadVmulC, AddVmulC, SubVmulC, MulVmulC, DivVmulC,
                          LoadVmulCu, AddVmulCu, SubVmulCu, MulVmulCu),
    TAVRIGON_CHECKED_KIND(CsubV, LoadCsubV, AddCsubV, SubCsubV, MulCsubV, DivCsubV,
                          LoadCsubVu, AddCsubVu, SubCsubVu, MulCsubVu),
    TAVRIGON_CHECKED_KIND(VmulV, LoadVmulV, AddVmulV, SubVmulV, MulVmulV, DivVmulV,
                          LoadVmulVu, AddVmulVu, SubVmulVu, MulVmulVu),
    TAVRIGON_CHECKED_KIND(VaddV, LoadVaddV, AddVaddV, SubVaddV, MulVaddV, DivVaddV,
                          LoadVaddVu, AddVaddVu, SubVaddVu, MulVaddVu),
    TAVRIGON_CHECKED_KIND(VsubV, LoadVsubV, AddVsubV, SubVsubV, MulVsubV, DivVsubV,
                          LoadVsubVu, AddVsubVu, SubVsubVu, MulVsubVu),
#undef TAVRIGON_CHECKED_KIND
    FastOpTable::checked(Op::AddS, Operand::Stack, Action::Add, Op::AddSu),
    FastOpTable::checked(Op::SubS, Operand::Stack, Action::Sub, Op::SubSu),
    FastOpTable::checked(Op::MulS, Operand::Stack, Action::Mul, Op::MulSu),
    FastOpTable::plain(Op::DivS, Operand::Stack, Action::Div),
    FastOpTable::plain(Op::PowS), FastOpTable::plain(Op::PowC), FastOpTable::plain(Op::Square),
    FastOpTable::plain(Op::IntDivS), FastOpTable::plain(Op::ModS),
    FastOpTable::plain(Op::EqS), FastOpTable::plain(Op::NeS), FastOpTable::plain(Op::LtS),
    FastOpTable::plain(Op::GtS), FastOpTable::plain(Op::LeS), FastOpTable::plain(Op::GeS),
    FastOpTable::plain(Op::AndS), FastOpTable::plain(Op::OrS), FastOpTable::plain(Op::XorS),
    FastOpTable::plain(Op::EqvS), FastOpTable::plain(Op::ImpS),
    FastOpTable::plain(Op::Neg), FastOpTable::plain(Op::Not), FastOpTable::plain(Op::Sin),
    FastOpTable::plain(Op::Cos), FastOpTable::plain(Op::Sqr), FastOpTable::plain(Op::Exp),
    FastOpTable::plain(Op::Atn), FastOpTable::plain(Op::Function), FastOpTable::plain(Op::Round2),
    FastOpTable::plain(Op::Method), FastOpTable::plain(Op::Method2), FastOpTable::plain(Op::End),
#define TAVRIGON_BARE_KIND(k, load, add, sub, mul)                                                 \
    FastOpTable::bare(Op::load, Operand::k, Action::Load),                                         \
    FastOpTable::bare(Op::add, Operand::k, Action::Add),                                           \
    FastOpTable::bare(Op::sub, Operand::k, Action::Sub),                                           \
    FastOpTable::bare(Op::mul, Operand::k, Action::Mul)
    TAVRIGON_BARE_KIND(C, LoadCu, AddCu, SubCu, MulCu),
    TAVRIGON_BARE_KIND(V, LoadVu, AddVu, SubVu, MulVu),
    TAVRIGON_BARE_KIND(I, LoadIu, AddIu, SubIu, MulIu),
    TAVRIGON_BARE_KIND(VaddC, LoadVaddCu, AddVaddCu, SubVaddCu, MulVaddCu),
    TAVRIGON_BARE_KIND(VsubC, LoadVsubCu, AddVsubCu, SubVsubCu, MulVsubCu),
    TAVRIGON_BARE_KIND(VmulC, LoadVmulCu, AddVmulCu, SubVmulCu, MulVmulCu),
    TAVRIGON_BARE_KIND(CsubV, LoadCsubVu, AddCsubVu, SubCsubVu, MulCsubVu),
    TAVRIGON_BARE_KIND(VmulV, LoadVmulVu, AddVmulVu, SubVmulVu, MulVmulVu),
    TAVRIGON_BARE_KIND(VaddV, LoadVaddVu, AddVaddVu, SubVaddVu, MulVaddVu),
    TAVRIGON_BARE_KIND(VsubV, LoadVsubVu, AddVsubVu, SubVsubVu, MulVsubVu),
#undef TAVRIGON_BARE_KIND
    FastOpTable::bare(Op::AddSu, Operand::Stack, Action::Add),
    FastOpTable::bare(Op::SubSu, Operand::Stack, Action::Sub),
    FastOpTable::bare(Op::MulSu, Operand::Stack, Action::Mul), FastOpTable::plain(Op::EndCheck),
};
// clang-format on

constexpr const FastProgram::OpInfo& FastProgram::info(Op op)
{
    return ops[std::size_t(op)];
}

namespace FastOpTable {
// Every row sits at the index of its own opcode, so info() is a plain index.
constexpr bool inOrder()
{
    if (std::size(FastProgram::ops) != FastProgram::OpCount) return false;
    for (std::size_t i = 0; i < FastProgram::OpCount; ++i) {
        if (std::size_t(FastProgram::ops[i].op) != i) return false;
    }
    return true;
}
static_assert(inOrder(), "FastProgram::ops must list every opcode in the order of Op");
} // namespace FastOpTable
