#include "eval/FastTranslator.h"

#include "eval/Builtins.h"
#include "eval/GlobalNames.h"

#include <cmath>

namespace {

using Op = FastProgram::Op;
using Step = FastProgram::Step;
using Operand = FastProgram::Operand;
using Action = FastProgram::Action;

// A load of a constant, a variable, a member or a fused pair.
bool isLoad(Op op)
{
    const FastProgram::OpInfo& i = FastProgram::info(op);
    return i.action == Action::Load && i.checked;
}

bool isStackArithmetic(Op op)
{
    const FastProgram::OpInfo& i = FastProgram::info(op);
    return i.operand == Operand::Stack && i.action != Action::Other && i.checked;
}

bool isAddSubMul(Op op)
{
    const Action a = FastProgram::info(op).action;
    return a == Action::Add || a == Action::Sub || a == Action::Mul;
}

// The checked opcode doing action with the operand kind.
Op opFor(Action action, Operand operand)
{
    for (const FastProgram::OpInfo& i : FastProgram::ops) {
        if (i.action == action && i.operand == operand && i.checked) return i.op;
    }
    return Op::End; // every kind has every action: not reached
}

// The opcode a general binary operation becomes; End when it has none.
Op stackOpOf(Instruction::Op op)
{
    using IOp = Instruction::Op;
    switch (op) {
    case IOp::Add:
        return Op::AddS;
    case IOp::Sub:
        return Op::SubS;
    case IOp::Mul:
        return Op::MulS;
    case IOp::Div:
        return Op::DivS;
    case IOp::IntDiv:
        return Op::IntDivS;
    case IOp::Mod:
        return Op::ModS;
    case IOp::Pow:
        return Op::PowS;
    case IOp::Eq:
        return Op::EqS;
    case IOp::Ne:
        return Op::NeS;
    case IOp::Lt:
        return Op::LtS;
    case IOp::Gt:
        return Op::GtS;
    case IOp::Le:
        return Op::LeS;
    case IOp::Ge:
        return Op::GeS;
    case IOp::And:
        return Op::AndS;
    case IOp::Or:
        return Op::OrS;
    case IOp::Xor:
        return Op::XorS;
    case IOp::Eqv:
        return Op::EqvS;
    case IOp::Imp:
        return Op::ImpS;
    default:
        return Op::End;
    }
}

// The opcode of a one-argument built-in; End when it has no all-double form.
Op builtinOpOf(int id)
{
    switch (id) {
    case Builtins::Sin:
        return Op::Sin;
    case Builtins::Cos:
        return Op::Cos;
    case Builtins::Sqr:
        return Op::Sqr;
    case Builtins::Exp:
        return Op::Exp;
    case Builtins::Atn:
        return Op::Atn;
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
        return Op::Function;
    default:
        return Op::End;
    }
}

} // namespace

// The last step after a constant load: folds constant arithmetic, or fuses a variable into
// the load. True when the two steps became one.
bool FastTranslator::foldIntoConstant()
{
    Step& last = steps_.back();
    Step& prev = steps_[steps_.size() - 2];
    double r = 0;
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
        if (last.c == 0) return false; // left for the run to report
        r = prev.c / last.c;
        break;
    case Op::Neg:
        r = -prev.c;
        break;
    case Op::AddV:
    case Op::SubV:
    case Op::MulV:
        prev.op = last.op == Op::AddV   ? Op::LoadVaddC
                  : last.op == Op::SubV ? Op::LoadCsubV
                                        : Op::LoadVmulC;
        prev.p = last.p;
        prev.source = last.source;
        steps_.pop_back();
        return true;
    default:
        return false;
    }
    if (!std::isfinite(r)) return false; // left for the run to report
    prev.c = r;
    steps_.pop_back();
    return true;
}

// The last step after a variable load: an operation with a constant or a variable becomes a
// fused load. True when the two steps became one.
bool FastTranslator::fuseIntoVariable()
{
    Step& last = steps_.back();
    Step& prev = steps_[steps_.size() - 2];
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
        return false;
    }
    prev.op = fused;
    prev.c = last.c;
    prev.q = last.p;
    prev.source = last.source;
    steps_.pop_back();
    return true;
}

void FastTranslator::append(const Step& step)
{
    steps_.push_back(step);
    while (steps_.size() >= 2) {
        Step& last = steps_.back();
        Step& prev = steps_[steps_.size() - 2];
        if (isStackArithmetic(last.op) && isLoad(prev.op)) {
            // The right operand is the load: combine the accumulator with it directly.
            prev.op = opFor(FastProgram::info(last.op).action, FastProgram::info(prev.op).operand);
            prev.source = last.source;
            steps_.pop_back();
            continue;
        }
        const bool merged = prev.op == Op::LoadC   ? foldIntoConstant()
                            : prev.op == Op::LoadV ? fuseIntoVariable()
                                                   : false;
        if (!merged) return;
    }
}

void FastTranslator::dropChainChecks()
{
    for (std::size_t i = 0; i < steps_.size(); ++i) {
        const bool feedsChain = i + 1 == steps_.size() || isAddSubMul(steps_[i + 1].op);
        if (feedsChain) steps_[i].op = FastProgram::info(steps_[i].op).unchecked;
    }
}

bool FastTranslator::translate(const std::vector<Instruction>& code,
                               const std::vector<Variant>& constants, GlobalNames& names,
                               FastProgram& out)
{
    using IOp = Instruction::Op;
    out.steps.clear();
    FastTranslator t(out.steps);
    int depth = 0;
    for (std::size_t i = 0; i < code.size(); ++i) {
        const Instruction& in = code[i];
        Step s;
        s.source = qint32(i);
        switch (in.op) {
        case IOp::PushConst: {
            const Variant& v = constants[std::size_t(in.index)];
            if (!v.isPlainNumber()) return false;
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
        case IOp::CallBuiltin:
            if (in.argc == 2 && in.index == Builtins::Round) {
                s.op = Op::Round2;
                --depth;
                break;
            }
            if (in.argc != 1) return false;
            s.op = builtinOpOf(in.index);
            if (s.op == Op::End) return false;
            s.function = quint8(in.index);
            break;
        case IOp::CallMethod:
            s.op = in.argc == 2 ? Op::Method2 : Op::Method;
            if (in.argc == 2) --depth;
            s.function = quint8(in.index);
            s.object = static_cast<Class1*>(in.address);
            break;
        default:
            s.op = stackOpOf(in.op);
            if (s.op == Op::End) return false;
            --depth;
            if (s.op == Op::PowS && !out.steps.empty() && out.steps.back().op == Op::LoadC) {
                const double exponent = out.steps.back().c;
                out.steps.pop_back();
                s.op = exponent == 2 ? Op::Square : Op::PowC;
                s.c = exponent;
            }
            break;
        }
        if (depth > FastProgram::MaxStack) return false;
        t.append(s);
    }
    t.dropChainChecks();
    Step end;
    end.op = out.steps.empty() || FastProgram::info(out.steps.back().op).checked ? Op::End
                                                                                 : Op::EndCheck;
    end.source = qint32(code.size() ? code.size() - 1 : 0);
    out.steps.push_back(end);
    return true;
}
