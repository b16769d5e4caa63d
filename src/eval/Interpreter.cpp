#include "eval/Interpreter.h"
#include "eval/ScriptError.h"

#include "eval/Class1.h"
#include "eval/CompiledExpression.h"
#include "eval/GlobalNames.h"
#include "eval/VariantOps.h"

qint32 Interpreter::toMemberDouble(const Variant& v, double& out)
{
    if (v.isNull()) return ErrorNumbers::TypeMismatch;
    const qint32 rc = v.toDouble(out);
    return rc == 0 || rc == ErrorNumbers::Overflow ? rc : ErrorNumbers::TypeMismatch;
}

qint32 Interpreter::run(const CompiledExpression& program, Variant& result,
                        qint32& failedInstruction)
{
    using Op = Instruction::Op;
    using Compare = VariantOps::Compare;
    using Logic = VariantOps::Logic;
    if (stack_.size() < std::size_t(program.maxStack) + 1)
        stack_.resize(std::size_t(program.maxStack) + 1);
    Variant* st = stack_.data();
    int sp = 0;
    qint64 budget = StringBudget;
    const std::vector<Instruction>& code = program.code;
    for (std::size_t i = 0; i < code.size(); ++i) {
        const Instruction& in = code[i];
        qint32 rc = 0;
        switch (in.op) {
        case Op::PushConst:
            st[sp++] = program.constants[std::size_t(in.index)];
            break;
        case Op::PushDouble:
            st[sp++] = Variant::fromDouble(*static_cast<const double*>(in.address));
            break;
        case Op::PushInt32:
            st[sp++] = Variant::fromLong(*static_cast<const qint32*>(in.address));
            break;
        case Op::PushVar:
            st[sp++] = names_.slot(in.index).value;
            break;
        case Op::Neg:
            rc = VariantOps::negate(st[sp - 1], st[sp - 1]);
            break;
        case Op::Not:
            rc = VariantOps::logicalNot(st[sp - 1], st[sp - 1]);
            break;
        case Op::Add:
        case Op::Sub:
        case Op::Mul:
        case Op::Div:
        case Op::IntDiv:
        case Op::Mod:
        case Op::Pow:
        case Op::Eq:
        case Op::Ne:
        case Op::Lt:
        case Op::Gt:
        case Op::Le:
        case Op::Ge:
        case Op::Is:
        case Op::And:
        case Op::Or:
        case Op::Xor:
        case Op::Eqv:
        case Op::Imp: {
            const Variant& a = st[sp - 2];
            const Variant& b = st[sp - 1];
            if (in.op == Op::Add && a.isString() && b.isString()) {
                rc = VariantOps::concatenateInto(st[sp - 2], b, budget);
                --sp;
                break;
            }
            Variant r;
            switch (in.op) {
            case Op::Add:
                rc = VariantOps::add(a, b, r);
                break;
            case Op::Sub:
                rc = VariantOps::subtract(a, b, r);
                break;
            case Op::Mul:
                rc = VariantOps::multiply(a, b, r);
                break;
            case Op::Div:
                rc = VariantOps::divide(a, b, r);
                break;
            case Op::IntDiv:
                rc = VariantOps::integerDivide(a, b, r);
                break;
            case Op::Mod:
                rc = VariantOps::modulo(a, b, r);
                break;
            case Op::Pow:
                rc = VariantOps::power(a, b, r);
                break;
            case Op::Eq:
                rc = VariantOps::compare(Compare::Eq, a, b, r);
                break;
            case Op::Ne:
                rc = VariantOps::compare(Compare::Ne, a, b, r);
                break;
            case Op::Lt:
                rc = VariantOps::compare(Compare::Lt, a, b, r);
                break;
            case Op::Gt:
                rc = VariantOps::compare(Compare::Gt, a, b, r);
                break;
            case Op::Le:
                rc = VariantOps::compare(Compare::Le, a, b, r);
                break;
            case Op::Ge:
                rc = VariantOps::compare(Compare::Ge, a, b, r);
                break;
            case Op::Is:
                rc = ErrorNumbers::ObjectRequired; // no value here is an object
                break;
            case Op::And:
                rc = VariantOps::logic(Logic::And, a, b, r);
                break;
            case Op::Or:
                rc = VariantOps::logic(Logic::Or, a, b, r);
                break;
            case Op::Xor:
                rc = VariantOps::logic(Logic::Xor, a, b, r);
                break;
            case Op::Eqv:
                rc = VariantOps::logic(Logic::Eqv, a, b, r);
                break;
            default:
                rc = VariantOps::logic(Logic::Imp, a, b, r);
                break;
            }
            if (rc == 0) st[sp - 2] = std::move(r);
            --sp;
            break;
        }
        case Op::Concat:
            rc = VariantOps::concatenateInto(st[sp - 2], st[sp - 1], budget);
            --sp;
            break;
        case Op::CallBuiltin: {
            Variant r;
            rc = Builtins::call(in.index, st + sp - in.argc, in.argc, r, random_);
            sp -= in.argc;
            st[sp++] = std::move(r);
            break;
        }
        case Op::CallMethod: {
            const Class1::Method& m = Class1::methods[in.index];
            Class1* object = static_cast<Class1*>(in.address);
            double a = 0;
            double b = 0;
            rc = toMemberDouble(st[sp - in.argc], a);
            if (rc == 0 && in.argc == 2) rc = toMemberDouble(st[sp - 1], b);
            if (rc == 0) {
                sp -= in.argc - 1;
                st[sp - 1] =
                    Variant::fromDouble(m.call2 ? (object->*m.call2)(a, b) : (object->*m.call)(a));
            }
            break;
        }
        case Op::Fail:
            rc = in.index;
            break;
        case Op::StoreDouble: {
            double d = 0;
            rc = toMemberDouble(st[--sp], d);
            if (rc == 0) *static_cast<double*>(in.address) = d;
            break;
        }
        case Op::StoreInt32: {
            double d = 0;
            rc = toMemberDouble(st[--sp], d);
            qint32 l = 0;
            if (rc == 0 && !Builtins::toLong(d, l)) rc = ErrorNumbers::Overflow;
            if (rc == 0) *static_cast<qint32*>(in.address) = l;
            break;
        }
        case Op::StoreVar:
            if (!names_.store(in.index, st[--sp])) rc = ErrorNumbers::OutOfMemory;
            break;
        case Op::Pop:
            --sp;
            break;
        }
        if (rc != 0) {
            failedInstruction = qint32(i);
            return rc;
        }
    }
    result = sp > 0 && !program.statement ? st[sp - 1] : Variant();
    return 0;
}
