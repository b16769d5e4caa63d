#include "eval/FastInterpreter.h"

#include "eval/Builtins.h"
#include "eval/Class1.h"
#include "eval/ScriptError.h"

#include <cmath>
#include <iterator>

namespace {

using Step = FastProgram::Step;

// The operand of each kind; false when a fused pair overflows.
inline bool operandC(const Step& s, double& b)
{
    b = s.c;
    return true;
}
inline bool operandV(const Step& s, double& b)
{
    b = *s.p;
    return true;
}
inline bool operandI(const Step& s, double& b)
{
    b = *s.ip;
    return true;
}
inline bool operandVaddC(const Step& s, double& b)
{
    b = *s.p + s.c;
    return std::isfinite(b);
}
inline bool operandVsubC(const Step& s, double& b)
{
    b = *s.p - s.c;
    return std::isfinite(b);
}
inline bool operandVmulC(const Step& s, double& b)
{
    b = *s.p * s.c;
    return std::isfinite(b);
}
inline bool operandCsubV(const Step& s, double& b)
{
    b = s.c - *s.p;
    return std::isfinite(b);
}
inline bool operandVmulV(const Step& s, double& b)
{
    b = *s.p * *s.q;
    return std::isfinite(b);
}
inline bool operandVaddV(const Step& s, double& b)
{
    b = *s.p + *s.q;
    return std::isfinite(b);
}
inline bool operandVsubV(const Step& s, double& b)
{
    b = *s.p - *s.q;
    return std::isfinite(b);
}

} // namespace

// Threaded dispatch: every handler jumps to the next one itself, so each has its own
// well-predicted indirect branch. Label addresses are a compiler extension.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpedantic"
qint32 FastInterpreter::run(const FastProgram& program, double& result, qint32& failedInstruction)
{
    // In the order of FastProgram::Op.
    static const void* const kHandlers[] = {
        // clang-format off
        &&LoadC, &&AddC, &&SubC, &&MulC, &&DivC,
        &&LoadV, &&AddV, &&SubV, &&MulV, &&DivV,
        &&LoadI, &&AddI, &&SubI, &&MulI, &&DivI,
        &&LoadVaddC, &&AddVaddC, &&SubVaddC, &&MulVaddC, &&DivVaddC,
        &&LoadVsubC, &&AddVsubC, &&SubVsubC, &&MulVsubC, &&DivVsubC,
        &&LoadVmulC, &&AddVmulC, &&SubVmulC, &&MulVmulC, &&DivVmulC,
        &&LoadCsubV, &&AddCsubV, &&SubCsubV, &&MulCsubV, &&DivCsubV,
        &&LoadVmulV, &&AddVmulV, &&SubVmulV, &&MulVmulV, &&DivVmulV,
        &&LoadVaddV, &&AddVaddV, &&SubVaddV, &&MulVaddV, &&DivVaddV,
        &&LoadVsubV, &&AddVsubV, &&SubVsubV, &&MulVsubV, &&DivVsubV,
        &&AddS, &&SubS, &&MulS, &&DivS, &&PowS, &&PowC, &&Square, &&IntDivS, &&ModS,
        &&EqS, &&NeS, &&LtS, &&GtS, &&LeS, &&GeS, &&AndS, &&OrS, &&XorS, &&EqvS, &&ImpS,
        &&Neg, &&Not, &&Sin, &&Cos, &&Sqr, &&Exp, &&Atn, &&Function, &&Round2, &&Method,
        &&Method2, &&End,
        &&LoadCu, &&AddCu, &&SubCu, &&MulCu,
        &&LoadVu, &&AddVu, &&SubVu, &&MulVu,
        &&LoadIu, &&AddIu, &&SubIu, &&MulIu,
        &&LoadVaddCu, &&AddVaddCu, &&SubVaddCu, &&MulVaddCu,
        &&LoadVsubCu, &&AddVsubCu, &&SubVsubCu, &&MulVsubCu,
        &&LoadVmulCu, &&AddVmulCu, &&SubVmulCu, &&MulVmulCu,
        &&LoadCsubVu, &&AddCsubVu, &&SubCsubVu, &&MulCsubVu,
        &&LoadVmulVu, &&AddVmulVu, &&SubVmulVu, &&MulVmulVu,
        &&LoadVaddVu, &&AddVaddVu, &&SubVaddVu, &&MulVaddVu,
        &&LoadVsubVu, &&AddVsubVu, &&SubVsubVu, &&MulVsubVu,
        &&AddSu, &&SubSu, &&MulSu, &&EndCheck,
        // clang-format on
    };
    static_assert(std::size(kHandlers) == FastProgram::OpCount);
    using Op = FastProgram::Op;
    constexpr int MaxStack = FastProgram::MaxStack;

    double stack[MaxStack + 2];
    int sp = 0;
    double acc = 0;
    qint32 rc = 0;
    const FastProgram::Step* s = program.steps.data();

#define TAVRIGON_NEXT()                                                                            \
    do {                                                                                           \
        ++s;                                                                                       \
        goto* kHandlers[int(s->op)];                                                               \
    } while (false)
#define TAVRIGON_FAIL(number)                                                                      \
    do {                                                                                           \
        rc = (number);                                                                             \
        goto failed;                                                                               \
    } while (false)
#define TAVRIGON_CHECK(value)                                                                      \
    if (!std::isfinite(value)) [[unlikely]]                                                        \
    TAVRIGON_FAIL(ErrorNumbers::Overflow)
#define TAVRIGON_OPERAND(K)                                                                        \
    double b;                                                                                      \
    if (!operand##K(*s, b)) [[unlikely]]                                                           \
        TAVRIGON_FAIL(ErrorNumbers::Overflow);
#define TAVRIGON_FAST_HANDLERS(K)                                                                  \
    Load##K:                                                                                       \
    {                                                                                              \
        TAVRIGON_OPERAND(K)                                                                        \
        stack[sp++] = acc;                                                                         \
        acc = b;                                                                                   \
        TAVRIGON_NEXT();                                                                           \
    }                                                                                              \
    Add##K:                                                                                        \
    {                                                                                              \
        TAVRIGON_OPERAND(K)                                                                        \
        acc += b;                                                                                  \
        TAVRIGON_CHECK(acc);                                                                       \
        TAVRIGON_NEXT();                                                                           \
    }                                                                                              \
    Sub##K:                                                                                        \
    {                                                                                              \
        TAVRIGON_OPERAND(K)                                                                        \
        acc -= b;                                                                                  \
        TAVRIGON_CHECK(acc);                                                                       \
        TAVRIGON_NEXT();                                                                           \
    }                                                                                              \
    Mul##K:                                                                                        \
    {                                                                                              \
        TAVRIGON_OPERAND(K)                                                                        \
        acc *= b;                                                                                  \
        TAVRIGON_CHECK(acc);                                                                       \
        TAVRIGON_NEXT();                                                                           \
    }                                                                                              \
    Div##K:                                                                                        \
    {                                                                                              \
        TAVRIGON_OPERAND(K)                                                                        \
        if (b == 0) [[unlikely]]                                                                   \
            TAVRIGON_FAIL(ErrorNumbers::zeroDivisor(acc));                                         \
        acc /= b;                                                                                  \
        TAVRIGON_CHECK(acc);                                                                       \
        TAVRIGON_NEXT();                                                                           \
    }

#define TAVRIGON_FAST_UNCHECKED_HANDLERS(K)                                                        \
    Load##K##u:                                                                                    \
    {                                                                                              \
        double b;                                                                                  \
        operand##K(*s, b);                                                                         \
        stack[sp++] = acc;                                                                         \
        acc = b;                                                                                   \
        TAVRIGON_NEXT();                                                                           \
    }                                                                                              \
    Add##K##u:                                                                                     \
    {                                                                                              \
        double b;                                                                                  \
        operand##K(*s, b);                                                                         \
        acc += b;                                                                                  \
        TAVRIGON_NEXT();                                                                           \
    }                                                                                              \
    Sub##K##u:                                                                                     \
    {                                                                                              \
        double b;                                                                                  \
        operand##K(*s, b);                                                                         \
        acc -= b;                                                                                  \
        TAVRIGON_NEXT();                                                                           \
    }                                                                                              \
    Mul##K##u:                                                                                     \
    {                                                                                              \
        double b;                                                                                  \
        operand##K(*s, b);                                                                         \
        acc *= b;                                                                                  \
        TAVRIGON_NEXT();                                                                           \
    }

    goto* kHandlers[int(s->op)];

    TAVRIGON_FAST_HANDLERS(C)
    TAVRIGON_FAST_HANDLERS(V)
    TAVRIGON_FAST_HANDLERS(I)
    TAVRIGON_FAST_HANDLERS(VaddC)
    TAVRIGON_FAST_HANDLERS(VsubC)
    TAVRIGON_FAST_HANDLERS(VmulC)
    TAVRIGON_FAST_HANDLERS(CsubV)
    TAVRIGON_FAST_HANDLERS(VmulV)
    TAVRIGON_FAST_HANDLERS(VaddV)
    TAVRIGON_FAST_HANDLERS(VsubV)
    TAVRIGON_FAST_UNCHECKED_HANDLERS(C)
    TAVRIGON_FAST_UNCHECKED_HANDLERS(V)
    TAVRIGON_FAST_UNCHECKED_HANDLERS(I)
    TAVRIGON_FAST_UNCHECKED_HANDLERS(VaddC)
    TAVRIGON_FAST_UNCHECKED_HANDLERS(VsubC)
    TAVRIGON_FAST_UNCHECKED_HANDLERS(VmulC)
    TAVRIGON_FAST_UNCHECKED_HANDLERS(CsubV)
    TAVRIGON_FAST_UNCHECKED_HANDLERS(VmulV)
    TAVRIGON_FAST_UNCHECKED_HANDLERS(VaddV)
    TAVRIGON_FAST_UNCHECKED_HANDLERS(VsubV)
AddSu:
    acc = stack[--sp] + acc;
    TAVRIGON_NEXT();
SubSu:
    acc = stack[--sp] - acc;
    TAVRIGON_NEXT();
MulSu:
    acc = stack[--sp] * acc;
    TAVRIGON_NEXT();
EndCheck:
    TAVRIGON_CHECK(acc);
    result = acc;
    return 0;
AddS:
    acc = stack[--sp] + acc;
    TAVRIGON_CHECK(acc);
    TAVRIGON_NEXT();
SubS:
    acc = stack[--sp] - acc;
    TAVRIGON_CHECK(acc);
    TAVRIGON_NEXT();
MulS:
    acc = stack[--sp] * acc;
    TAVRIGON_CHECK(acc);
    TAVRIGON_NEXT();
DivS : {
    const double a = stack[--sp];
    if (acc == 0) [[unlikely]]
        TAVRIGON_FAIL(ErrorNumbers::zeroDivisor(a));
    acc = a / acc;
    TAVRIGON_CHECK(acc);
    TAVRIGON_NEXT();
}
PowS : {
    const double a = stack[--sp];
    const double r = std::pow(a, acc);
    if (!std::isfinite(r)) [[unlikely]]
        TAVRIGON_FAIL(ErrorNumbers::powerFailure(r, a));
    acc = r;
    TAVRIGON_NEXT();
}
PowC : {
    const double r = std::pow(acc, s->c);
    if (!std::isfinite(r)) [[unlikely]]
        TAVRIGON_FAIL(ErrorNumbers::powerFailure(r, acc));
    acc = r;
    TAVRIGON_NEXT();
}
Square:
    acc *= acc;
    TAVRIGON_CHECK(acc);
    TAVRIGON_NEXT();
IntDivS:
ModS : {
    qint32 a = 0;
    qint32 b = 0;
    if (!Builtins::toLong(stack[--sp], a) || !Builtins::toLong(acc, b))
        TAVRIGON_FAIL(ErrorNumbers::Overflow);
    if (b == 0) TAVRIGON_FAIL(ErrorNumbers::DivisionByZero);
    const qint64 r = s->op == Op::IntDivS ? qint64(a) / b : qint64(a) % b;
    if (r > 2147483647) TAVRIGON_FAIL(ErrorNumbers::Overflow);
    acc = double(r);
    TAVRIGON_NEXT();
}
EqS:
    acc = stack[--sp] == acc ? -1 : 0;
    TAVRIGON_NEXT();
NeS:
    acc = stack[--sp] != acc ? -1 : 0;
    TAVRIGON_NEXT();
LtS:
    acc = stack[--sp] < acc ? -1 : 0;
    TAVRIGON_NEXT();
GtS:
    acc = stack[--sp] > acc ? -1 : 0;
    TAVRIGON_NEXT();
LeS:
    acc = stack[--sp] <= acc ? -1 : 0;
    TAVRIGON_NEXT();
GeS:
    acc = stack[--sp] >= acc ? -1 : 0;
    TAVRIGON_NEXT();
AndS:
OrS:
XorS:
EqvS:
ImpS : {
    qint32 a = 0;
    qint32 b = 0;
    if (!Builtins::toLong(stack[--sp], a) || !Builtins::toLong(acc, b))
        TAVRIGON_FAIL(ErrorNumbers::Overflow);
    qint32 r = 0;
    switch (s->op) {
    case Op::AndS:
        r = a & b;
        break;
    case Op::OrS:
        r = a | b;
        break;
    case Op::XorS:
        r = a ^ b;
        break;
    case Op::EqvS:
        r = ~(a ^ b);
        break;
    default:
        r = ~a | b;
        break;
    }
    acc = r;
    TAVRIGON_NEXT();
}
Neg:
    acc = -acc;
    TAVRIGON_NEXT();
Not : {
    qint32 a = 0;
    if (!Builtins::toLong(acc, a)) TAVRIGON_FAIL(ErrorNumbers::Overflow);
    acc = ~a;
    TAVRIGON_NEXT();
}
Sin:
    acc = std::sin(acc);
    TAVRIGON_NEXT();
Cos:
    acc = std::cos(acc);
    TAVRIGON_NEXT();
Sqr:
    if (acc < 0) [[unlikely]]
        TAVRIGON_FAIL(ErrorNumbers::InvalidCall);
    acc = std::sqrt(acc);
    TAVRIGON_NEXT();
Exp:
    acc = std::exp(acc);
    if (std::isinf(acc)) [[unlikely]]
        TAVRIGON_FAIL(ErrorNumbers::Overflow);
    TAVRIGON_NEXT();
Atn:
    acc = std::atan(acc);
    TAVRIGON_NEXT();
Function : {
    double r = 0;
    if (const qint32 e = Builtins::callNumber(s->function, acc, r)) TAVRIGON_FAIL(e);
    acc = r;
    TAVRIGON_NEXT();
}
Round2 : {
    double r = 0;
    if (const qint32 e = Builtins::roundNumber(stack[--sp], acc, r)) TAVRIGON_FAIL(e);
    acc = r;
    TAVRIGON_NEXT();
}
Method:
    acc = (s->object->*Class1::methods[s->function].call)(acc);
    TAVRIGON_NEXT();
Method2 : {
    const double a = stack[--sp];
    acc = (s->object->*Class1::methods[s->function].call2)(a, acc);
    TAVRIGON_NEXT();
}
End:
    result = acc;
    return 0;
failed:
    failedInstruction = s->source;
    return rc;
#undef TAVRIGON_FAST_HANDLERS
#undef TAVRIGON_FAST_UNCHECKED_HANDLERS
#undef TAVRIGON_OPERAND
#undef TAVRIGON_CHECK
#undef TAVRIGON_FAIL
#undef TAVRIGON_NEXT
}
#pragma GCC diagnostic pop
