#include "eval/FastProgram.h"

#include "eval/Builtins.h"
#include "eval/Class1.h"
#include "eval/GlobalNames.h"

#include <cmath>

namespace {

using Op = FastProgram::Op;
using Step = FastProgram::Step;

constexpr double (Class1::*kMethods[])(double) = {
    &Class1::Asin, &Class1::Acos,  &Class1::Sinh,  &Class1::Cosh,
    &Class1::Tanh, &Class1::Asinh, &Class1::Acosh, &Class1::Atanh,
};

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

Op loadOf(Op op, bool& isLoad)
{
    isLoad = false;
#define TAVRIGON_FAST_LOAD(K)                                                                      \
    case Op::Load##K:                                                                              \
        isLoad = true;                                                                             \
        return Op::Load##K;
    switch (op) {
        TAVRIGON_FAST_KINDS(TAVRIGON_FAST_LOAD)
    default:
        return op;
    }
#undef TAVRIGON_FAST_LOAD
}

// The kind index of a load: 0 for LoadC, 1 for LoadV, ... in the order of the kinds.
int kindOf(Op load)
{
    return int(load) / 5;
}

Op withKind(Op stackOp, int kind)
{
    const int offset = stackOp == Op::AddS   ? 1
                       : stackOp == Op::SubS ? 2
                       : stackOp == Op::MulS ? 3
                                             : 4;
    return Op(kind * 5 + offset);
}

bool isArithmeticS(Op op)
{
    return op == Op::AddS || op == Op::SubS || op == Op::MulS || op == Op::DivS;
}

constexpr int kKinds = int(Op::AddS) / 5;
constexpr int kUncheckedBase = int(Op::End) + 1;

// +, - or * of any operand kind, with or without its check.
bool isAddSubMul(Op op)
{
    const int i = int(op);
    if (i < int(Op::AddS)) return i % 5 >= 1 && i % 5 <= 3;
    if (op == Op::AddS || op == Op::SubS || op == Op::MulS) return true;
    if (i >= kUncheckedBase && i < kUncheckedBase + 4 * kKinds)
        return (i - kUncheckedBase) % 4 != 0;
    return op == Op::AddSu || op == Op::SubSu || op == Op::MulSu;
}

bool isUnchecked(Op op)
{
    return int(op) >= kUncheckedBase && op != Op::EndCheck;
}

// The unchecked form of op, or op itself when it has none.
Op uncheckedOf(Op op)
{
    const int i = int(op);
    if (i < int(Op::AddS)) {
        const int kind = i / 5;
        const int offset = i % 5;
        const bool plainLoad = offset == 0 && kind <= 2; // LoadC, LoadV, LoadI check nothing
        if (offset == 4 || plainLoad) return op;
        return Op(kUncheckedBase + kind * 4 + offset);
    }
    switch (op) {
    case Op::AddS:
        return Op::AddSu;
    case Op::SubS:
        return Op::SubSu;
    case Op::MulS:
        return Op::MulSu;
    default:
        return op;
    }
}

bool toLong(double v, qint32& out)
{
    return Builtins::toLong(v, out);
}

} // namespace

void FastProgram::append(const Step& step)
{
    steps_.push_back(step);
    for (;;) {
        const std::size_t n = steps_.size();
        if (n < 2) return;
        Step& last = steps_[n - 1];
        Step& prev = steps_[n - 2];
        bool prevIsLoad = false;
        loadOf(prev.op, prevIsLoad);
        if (isArithmeticS(last.op) && prevIsLoad) {
            // The right operand is the load: combine the accumulator with it directly.
            prev.op = withKind(last.op, kindOf(prev.op));
            prev.source = last.source;
            steps_.pop_back();
            continue;
        }
        if (prev.op == Op::LoadC) {
            double r = 0;
            bool folded = true;
            switch (last.op) {
            case Op::AddC:
                r = prev.c + last.c;
                break;
            case Op::SubC:
                r = prev.c - last.c;
                break;
            case Op::MulC:
                r = prev.c * last.c;
                break;
            case Op::DivC:
                if (last.c == 0)
                    folded = false;
                else
                    r = prev.c / last.c;
                break;
            case Op::Neg:
                r = -prev.c;
                break;
            case Op::AddV:
                prev.op = Op::LoadVaddC;
                prev.p = last.p;
                folded = false;
                break;
            case Op::SubV:
                prev.op = Op::LoadCsubV;
                prev.p = last.p;
                folded = false;
                break;
            case Op::MulV:
                prev.op = Op::LoadVmulC;
                prev.p = last.p;
                folded = false;
                break;
            default:
                return;
            }
            if (folded && std::isfinite(r)) {
                prev.c = r;
                steps_.pop_back();
                continue;
            }
            if (prev.op != Op::LoadC) {
                prev.source = last.source;
                steps_.pop_back();
                continue;
            }
            return;
        }
        if (prev.op == Op::LoadV) {
            Op fused = Op::End;
            switch (last.op) {
            case Op::AddC:
                fused = Op::LoadVaddC;
                break;
            case Op::SubC:
                fused = Op::LoadVsubC;
                break;
            case Op::MulC:
                fused = Op::LoadVmulC;
                break;
            case Op::AddV:
                fused = Op::LoadVaddV;
                break;
            case Op::SubV:
                fused = Op::LoadVsubV;
                break;
            case Op::MulV:
                fused = Op::LoadVmulV;
                break;
            default:
                return;
            }
            prev.op = fused;
            prev.c = last.c;
            prev.q = last.p;
            prev.source = last.source;
            steps_.pop_back();
            continue;
        }
        return;
    }
}

void FastProgram::dropChainChecks()
{
    for (std::size_t i = 0; i < steps_.size(); ++i) {
        const bool feedsChain = i + 1 == steps_.size() || isAddSubMul(steps_[i + 1].op);
        if (feedsChain) steps_[i].op = uncheckedOf(steps_[i].op);
    }
}

bool FastProgram::build(const std::vector<Instruction>& code, const std::vector<Variant>& constants,
                        GlobalNames& names)
{
    using IOp = Instruction::Op;
    steps_.clear();
    int depth = 0;
    for (std::size_t i = 0; i < code.size(); ++i) {
        const Instruction& in = code[i];
        Step s;
        s.source = qint32(i);
        switch (in.op) {
        case IOp::PushConst: {
            const Variant& v = constants[std::size_t(in.index)];
            switch (v.type()) {
            case Variant::Type::Empty:
            case Variant::Type::Boolean:
            case Variant::Type::Integer:
            case Variant::Type::Long:
            case Variant::Type::Double:
                break;
            default:
                return false;
            }
            s.op = Op::LoadC;
            s.c = v.number();
            ++depth;
            break;
        }
        case IOp::PushDouble:
            s.op = Op::LoadV;
            s.p = static_cast<const double*>(in.address);
            ++depth;
            break;
        case IOp::PushInt32:
            s.op = Op::LoadI;
            s.ip = static_cast<const qint32*>(in.address);
            ++depth;
            break;
        case IOp::PushVar:
            s.op = Op::LoadV;
            s.p = &names.slot(in.index).number;
            ++depth;
            break;
        case IOp::Neg:
            s.op = Op::Neg;
            break;
        case IOp::Not:
            s.op = Op::Not;
            break;
        case IOp::Add:
        case IOp::Sub:
        case IOp::Mul:
        case IOp::Div:
        case IOp::IntDiv:
        case IOp::Mod:
        case IOp::Pow:
        case IOp::Eq:
        case IOp::Ne:
        case IOp::Lt:
        case IOp::Gt:
        case IOp::Le:
        case IOp::Ge:
        case IOp::And:
        case IOp::Or:
        case IOp::Xor:
        case IOp::Eqv:
        case IOp::Imp: {
            static constexpr Op kOps[] = {Op::AddS, Op::SubS, Op::MulS, Op::DivS, Op::IntDivS,
                                          Op::ModS, Op::PowS, Op::End,  Op::EqS,  Op::NeS,
                                          Op::LtS,  Op::GtS,  Op::LeS,  Op::GeS,  Op::End,
                                          Op::AndS, Op::OrS,  Op::XorS, Op::EqvS, Op::ImpS};
            s.op = kOps[int(in.op) - int(IOp::Add)];
            --depth;
            if (s.op == Op::PowS && !steps_.empty() && steps_.back().op == Op::LoadC) {
                const double exponent = steps_.back().c;
                steps_.pop_back();
                s.op = exponent == 2 ? Op::Square : Op::PowC;
                s.c = exponent;
            }
            break;
        }
        case IOp::CallBuiltin:
            if (in.argc == 2 && in.index == Builtins::Round) {
                s.op = Op::Round2;
                --depth;
                break;
            }
            if (in.argc != 1) return false;
            switch (in.index) {
            case Builtins::Sin:
                s.op = Op::Sin;
                break;
            case Builtins::Cos:
                s.op = Op::Cos;
                break;
            case Builtins::Sqr:
                s.op = Op::Sqr;
                break;
            case Builtins::Exp:
                s.op = Op::Exp;
                break;
            case Builtins::Atn:
                s.op = Op::Atn;
                break;
            case Builtins::Abs:
            case Builtins::Fix:
            case Builtins::Int:
            case Builtins::Log:
            case Builtins::Round:
            case Builtins::Sgn:
            case Builtins::Tan:
            case Builtins::CBool:
            case Builtins::CDbl:
            case Builtins::CInt:
            case Builtins::CLng:
                s.op = Op::Function;
                break;
            default:
                return false;
            }
            s.function = quint8(in.index);
            break;
        case IOp::CallMethod:
            if (in.argc != 1) return false;
            s.op = Op::Method;
            s.function = quint8(in.index);
            s.object = static_cast<Class1*>(in.address);
            break;
        default:
            return false;
        }
        if (depth > MaxStack) return false;
        append(s);
    }
    dropChainChecks();
    Step end;
    end.op = steps_.empty() || !isUnchecked(steps_.back().op) ? Op::End : Op::EndCheck;
    end.source = qint32(code.size() ? code.size() - 1 : 0);
    steps_.push_back(end);
    return true;
}

// Threaded dispatch: every handler jumps to the next one itself, so each has its own
// well-predicted indirect branch. Label addresses are a compiler extension.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpedantic"
qint32 FastProgram::run(double& result, qint32& failedInstruction) const
{
#define TAVRIGON_FAST_LABELS(K) &&Load##K, &&Add##K, &&Sub##K, &&Mul##K, &&Div##K,
    static const void* const kHandlers[] = {
        TAVRIGON_FAST_KINDS(TAVRIGON_FAST_LABELS) && AddS,
        &&SubS,
        &&MulS,
        &&DivS,
        &&PowS,
        &&PowC,
        &&Square,
        &&IntDivS,
        &&ModS,
        &&EqS,
        &&NeS,
        &&LtS,
        &&GtS,
        &&LeS,
        &&GeS,
        &&AndS,
        &&OrS,
        &&XorS,
        &&EqvS,
        &&ImpS,
        &&Neg,
        &&Not,
        &&Sin,
        &&Cos,
        &&Sqr,
        &&Exp,
        &&Atn,
        &&Function,
        &&Round2,
        &&Method,
        &&End,
#define TAVRIGON_FAST_UNCHECKED_LABELS(K) &&Load##K##u, &&Add##K##u, &&Sub##K##u, &&Mul##K##u,
        TAVRIGON_FAST_KINDS(TAVRIGON_FAST_UNCHECKED_LABELS) && AddSu,
        &&SubSu,
        &&MulSu,
        &&EndCheck,
#undef TAVRIGON_FAST_UNCHECKED_LABELS
#undef TAVRIGON_FAST_LABELS
    };
    static_assert(sizeof kHandlers / sizeof kHandlers[0] == std::size_t(Op::EndCheck) + 1);

    double stack[MaxStack + 2];
    int sp = 0;
    double acc = 0;
    qint32 rc = 0;
    const Step* s = steps_.data();

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
    TAVRIGON_FAIL(6)
#define TAVRIGON_OPERAND(K)                                                                        \
    double b;                                                                                      \
    if (!operand##K(*s, b)) [[unlikely]]                                                           \
        TAVRIGON_FAIL(6);
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
            TAVRIGON_FAIL(acc == 0 ? 6 : 11);                                                      \
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

    TAVRIGON_FAST_KINDS(TAVRIGON_FAST_HANDLERS)
    TAVRIGON_FAST_KINDS(TAVRIGON_FAST_UNCHECKED_HANDLERS)
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
        TAVRIGON_FAIL(a == 0 ? 6 : 11);
    acc = a / acc;
    TAVRIGON_CHECK(acc);
    TAVRIGON_NEXT();
}
PowS : {
    const double a = stack[--sp];
    const double r = std::pow(a, acc);
    if (!std::isfinite(r)) [[unlikely]]
        TAVRIGON_FAIL(std::isnan(r) ? 5 : a == 0 ? 11 : 6);
    acc = r;
    TAVRIGON_NEXT();
}
PowC : {
    const double r = std::pow(acc, s->c);
    if (!std::isfinite(r)) [[unlikely]]
        TAVRIGON_FAIL(std::isnan(r) ? 5 : acc == 0 ? 11 : 6);
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
    if (!toLong(stack[--sp], a) || !toLong(acc, b)) TAVRIGON_FAIL(6);
    if (b == 0) TAVRIGON_FAIL(11);
    const qint64 r = s->op == Op::IntDivS ? qint64(a) / b : qint64(a) % b;
    if (r > 2147483647) TAVRIGON_FAIL(6);
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
    if (!toLong(stack[--sp], a) || !toLong(acc, b)) TAVRIGON_FAIL(6);
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
    if (!toLong(acc, a)) TAVRIGON_FAIL(6);
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
        TAVRIGON_FAIL(5);
    acc = std::sqrt(acc);
    TAVRIGON_NEXT();
Exp:
    acc = std::exp(acc);
    if (std::isinf(acc)) [[unlikely]]
        TAVRIGON_FAIL(6);
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
    acc = (s->object->*kMethods[s->function])(acc);
    TAVRIGON_NEXT();
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
