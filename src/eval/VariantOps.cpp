#include "eval/VariantOps.h"
#include "eval/ScriptError.h"

#include "eval/Builtins.h"

#include <cfloat>
#include <cmath>
#include <limits>

namespace {

using T = Variant::Type;

// The numeric ranks in widening order; Empty has none of its own.
enum Rank
{
    NoRank = -1,
    RByte = 0,
    RInteger = 1,
    RLong = 2,
    RSingle = 3,
    RDouble = 4
};

struct Operand
{
    double value = 0;
    int rank = NoRank;
};

qint32 operandOf(const Variant& v, Operand& out)
{
    switch (v.type()) {
    case T::Empty:
        out = {0, NoRank};
        return 0;
    case T::Boolean:
    case T::Integer:
        out = {double(v.longValue()), RInteger};
        return 0;
    case T::Byte:
        out = {double(v.longValue()), RByte};
        return 0;
    case T::Long:
        out = {double(v.longValue()), RLong};
        return 0;
    case T::Single:
        out = {v.doubleValue(), RSingle};
        return 0;
    case T::Double:
        out = {v.doubleValue(), RDouble};
        return 0;
    case T::String: {
        double d = 0;
        if (const qint32 rc = Variant::parseNumber(v.stringValue(), d)) return rc;
        out = {d, RDouble};
        return 0;
    }
    case T::Null:
        break;
    }
    return ErrorNumbers::InvalidUseOfNull;
}

// Null in either operand makes the result Null (`null` set); otherwise both as numbers.
qint32 numericOperands(const Variant& a, const Variant& b, Variant& r, Operand& x, Operand& y,
                       bool& null)
{
    null = a.isNull() || b.isNull();
    if (null) {
        r = Variant::null();
        return 0;
    }
    if (const qint32 rc = operandOf(a, x)) return rc;
    return operandOf(b, y);
}

int resultRank(int a, int b)
{
    if (a == NoRank && b == NoRank) return RInteger;
    if ((a == RSingle && b == RLong) || (a == RLong && b == RSingle)) return RDouble;
    return std::max(a, b);
}

// An exact integer result in the narrowest rank at or above rank that holds it.
Variant fitInteger(qint64 v, int rank)
{
    if (rank <= RByte && v >= 0 && v <= 255) return Variant::fromByte(quint8(v));
    if (rank <= RInteger && v >= -32768 && v <= 32767) return Variant::fromInteger(qint16(v));
    if (v >= std::numeric_limits<qint32>::min() && v <= std::numeric_limits<qint32>::max())
        return Variant::fromLong(qint32(v));
    return Variant::fromDouble(double(v));
}

enum class Arith
{
    Add,
    Sub,
    Mul
};

double apply(Arith op, double a, double b)
{
    switch (op) {
    case Arith::Add:
        return a + b;
    case Arith::Sub:
        return a - b;
    case Arith::Mul:
        return a * b;
    }
    return 0;
}

qint32 arithmetic(Arith op, const Variant& a, const Variant& b, Variant& r)
{
    Operand x;
    Operand y;
    bool null = false;
    if (const qint32 rc = numericOperands(a, b, r, x, y, null); rc != 0 || null) return rc;
    const int rank = resultRank(x.rank, y.rank);
    if (rank <= RLong) {
        const qint64 i = qint64(x.value);
        const qint64 j = qint64(y.value);
        const qint64 v = op == Arith::Add ? i + j : op == Arith::Sub ? i - j : i * j;
        if (v >= std::numeric_limits<qint32>::min() && v <= std::numeric_limits<qint32>::max()) {
            r = fitInteger(v, rank);
        } else {
            // A Long overflow goes on in Double.
            r = Variant::fromDouble(apply(op, x.value, y.value));
        }
        return 0;
    }
    const double d = apply(op, x.value, y.value);
    if (!std::isfinite(d)) return ErrorNumbers::Overflow;
    if (rank == RSingle && std::fabs(d) <= double(FLT_MAX))
        r = Variant::fromSingle(float(d));
    else
        r = Variant::fromDouble(d);
    return 0;
}

// The integer operand of \, Mod and the logical operators.
qint32 integralOf(const Variant& v, qint32& out, int& rank, int emptyRank)
{
    switch (v.type()) {
    case T::Empty:
        out = 0;
        rank = emptyRank;
        return 0;
    case T::Boolean:
    case T::Integer:
        out = v.longValue();
        rank = RInteger;
        return 0;
    case T::Byte:
        out = v.longValue();
        rank = RByte;
        return 0;
    case T::Long:
        out = v.longValue();
        rank = RLong;
        return 0;
    default: {
        double d = 0;
        if (const qint32 rc = v.toDouble(d)) return rc;
        if (!Builtins::toLong(d, out)) return ErrorNumbers::Overflow;
        rank = RLong;
        return 0;
    }
    }
}

qint32 integerOp(bool divide, const Variant& a, const Variant& b, Variant& r)
{
    if (a.isNull() || b.isNull()) {
        r = Variant::null();
        return 0;
    }
    qint32 i = 0;
    qint32 j = 0;
    int ri = 0;
    int rj = 0;
    if (const qint32 rc = integralOf(a, i, ri, RInteger)) return rc;
    if (const qint32 rc = integralOf(b, j, rj, RInteger)) return rc;
    if (j == 0) return ErrorNumbers::DivisionByZero;
    const qint64 v = divide ? qint64(i) / j : qint64(i) % j;
    if (v > std::numeric_limits<qint32>::max()) return ErrorNumbers::Overflow;
    r = fitInteger(v, std::max(ri, rj));
    return 0;
}

int compareNumbers(double a, double b)
{
    return a < b ? -1 : a > b ? 1 : 0;
}

} // namespace

qint32 VariantOps::add(const Variant& a, const Variant& b, Variant& r)
{
    if (a.isString() && b.isString()) return concatenate(a, b, r);
    return arithmetic(Arith::Add, a, b, r);
}

qint32 VariantOps::subtract(const Variant& a, const Variant& b, Variant& r)
{
    return arithmetic(Arith::Sub, a, b, r);
}

qint32 VariantOps::multiply(const Variant& a, const Variant& b, Variant& r)
{
    return arithmetic(Arith::Mul, a, b, r);
}

qint32 VariantOps::divide(const Variant& a, const Variant& b, Variant& r)
{
    Operand x;
    Operand y;
    bool null = false;
    if (const qint32 rc = numericOperands(a, b, r, x, y, null); rc != 0 || null) return rc;
    if (y.value == 0) return ErrorNumbers::zeroDivisor(x.value);
    const double d = x.value / y.value;
    if (!std::isfinite(d)) return ErrorNumbers::Overflow;
    const bool single = (x.rank == RSingle || y.rank == RSingle) && x.rank != RLong &&
                        y.rank != RLong && x.rank != RDouble && y.rank != RDouble;
    if (single && std::fabs(d) <= double(FLT_MAX))
        r = Variant::fromSingle(float(d));
    else
        r = Variant::fromDouble(d);
    return 0;
}

qint32 VariantOps::integerDivide(const Variant& a, const Variant& b, Variant& r)
{
    return integerOp(true, a, b, r);
}

qint32 VariantOps::modulo(const Variant& a, const Variant& b, Variant& r)
{
    return integerOp(false, a, b, r);
}

qint32 VariantOps::power(const Variant& a, const Variant& b, Variant& r)
{
    Operand x;
    Operand y;
    bool null = false;
    if (const qint32 rc = numericOperands(a, b, r, x, y, null); rc != 0 || null) return rc;
    const double d = std::pow(x.value, y.value);
    if (!std::isfinite(d)) return ErrorNumbers::powerFailure(d, x.value);
    r = Variant::fromDouble(d);
    return 0;
}

qint32 VariantOps::concatenate(const Variant& a, const Variant& b, Variant& r)
{
    r = a;
    qint64 budget = Variant::MaxStringLength;
    return concatenateInto(r, b, budget);
}

qint32 VariantOps::concatenateInto(Variant& a, const Variant& b, qint64& budget)
{
    if (a.isNull() && b.isNull()) return 0;
    const QString right = b.isNull() ? QString() : b.toString();
    if (!a.isString()) a = Variant::fromString(a.isNull() ? QString() : a.toString());
    const QString& left = a.stringValue();
    if (left.size() + right.size() > Variant::MaxStringLength) return ErrorNumbers::OutOfMemory;
    // A shared left side is copied once before it grows.
    budget -= right.size() + (left.isDetached() ? 0 : left.size());
    if (budget < 0) return ErrorNumbers::OutOfMemory;
    a.appendString(right);
    return 0;
}

qint32 VariantOps::negate(const Variant& a, Variant& r)
{
    switch (a.type()) {
    case T::Null:
        r = a;
        return 0;
    case T::Empty:
        r = Variant::fromInteger(0);
        return 0;
    case T::Boolean:
    case T::Byte:
    case T::Integer:
        r = fitInteger(-qint64(a.longValue()), RInteger);
        return 0;
    case T::Long:
        r = fitInteger(-qint64(a.longValue()), RLong);
        return 0;
    case T::Single:
        r = Variant::fromSingle(-a.singleValue());
        return 0;
    case T::Double:
        r = Variant::fromDouble(-a.doubleValue());
        return 0;
    case T::String: {
        double d = 0;
        if (const qint32 rc = Variant::parseNumber(a.stringValue(), d)) return rc;
        r = Variant::fromDouble(-d);
        return 0;
    }
    }
    return ErrorNumbers::TypeMismatch;
}

qint32 VariantOps::compare(Compare op, const Variant& a, const Variant& b, Variant& r)
{
    if (a.isNull() || b.isNull()) {
        r = Variant::null();
        return 0;
    }
    int c = 0;
    if ((a.isString() || a.isEmpty()) && (b.isString() || b.isEmpty()) &&
        (a.isString() || b.isString())) {
        c = a.stringValue().compare(b.stringValue(), Qt::CaseSensitive);
        c = c < 0 ? -1 : c > 0 ? 1 : 0;
    } else {
        double x = 0;
        double y = 0;
        if (a.isString()) {
            if (const qint32 rc = Variant::parseNumber(a.stringValue(), x))
                return rc == ErrorNumbers::Overflow ? rc : ErrorNumbers::TypeMismatch;
        } else {
            x = a.number();
        }
        if (b.isString()) {
            if (const qint32 rc = Variant::parseNumber(b.stringValue(), y))
                return rc == ErrorNumbers::Overflow ? rc : ErrorNumbers::TypeMismatch;
        } else {
            y = b.number();
        }
        c = compareNumbers(x, y);
    }
    bool result = false;
    switch (op) {
    case Compare::Eq:
        result = c == 0;
        break;
    case Compare::Ne:
        result = c != 0;
        break;
    case Compare::Lt:
        result = c < 0;
        break;
    case Compare::Gt:
        result = c > 0;
        break;
    case Compare::Le:
        result = c <= 0;
        break;
    case Compare::Ge:
        result = c >= 0;
        break;
    }
    r = Variant::fromBool(result);
    return 0;
}

namespace {

Variant logicResult(qint32 v, int rank)
{
    if (rank == RByte) return Variant::fromByte(quint8(v));
    if (rank == RInteger) return Variant::fromInteger(qint16(v));
    return Variant::fromLong(v);
}

qint32 apply(VariantOps::Logic op, qint32 a, qint32 b)
{
    switch (op) {
    case VariantOps::Logic::And:
        return a & b;
    case VariantOps::Logic::Or:
        return a | b;
    case VariantOps::Logic::Xor:
        return a ^ b;
    case VariantOps::Logic::Eqv:
        return ~(a ^ b);
    case VariantOps::Logic::Imp:
        return ~a | b;
    }
    return 0;
}

// A logical operation with one Null operand: decided by the other where its value settles
// the result (False And Null is False, True Or Null is True), else Null.
qint32 logicWithNull(VariantOps::Logic op, const Variant& known, bool knownIsLeft, Variant& r)
{
    using L = VariantOps::Logic;
    qint32 v = 0;
    int rank = 0;
    if (const qint32 rc = integralOf(known, v, rank, RLong)) return rc;
    const bool boolean = known.type() == T::Boolean;
    auto value = [&](qint32 x) {
        return boolean ? Variant::fromBool(x != 0) : logicResult(x, rank);
    };
    r = Variant::null();
    switch (op) {
    case L::And:
        if (v == 0) r = value(0);
        break;
    case L::Or:
        if (v == -1) r = value(-1);
        break;
    case L::Imp:
        if (knownIsLeft ? v == 0 : v == -1) r = value(-1);
        break;
    default:
        break;
    }
    return 0;
}

} // namespace

qint32 VariantOps::logic(Logic op, const Variant& a, const Variant& b, Variant& r)
{
    if (a.isNull() && b.isNull()) {
        r = Variant::null();
        return 0;
    }
    if (a.isNull()) return logicWithNull(op, b, false, r);
    if (b.isNull()) return logicWithNull(op, a, true, r);
    qint32 x = 0;
    qint32 y = 0;
    int rx = 0;
    int ry = 0;
    if (const qint32 rc = integralOf(a, x, rx, RLong)) return rc;
    if (const qint32 rc = integralOf(b, y, ry, RLong)) return rc;
    const qint32 v = apply(op, x, y);
    if (a.type() == T::Boolean && b.type() == T::Boolean)
        r = Variant::fromBool(v != 0);
    else
        r = logicResult(v, std::max(rx, ry));
    return 0;
}

qint32 VariantOps::logicalNot(const Variant& a, Variant& r)
{
    if (a.isNull()) {
        r = a;
        return 0;
    }
    if (a.type() == T::Boolean) {
        r = Variant::fromBool(!a.boolValue());
        return 0;
    }
    qint32 v = 0;
    int rank = 0;
    if (const qint32 rc = integralOf(a, v, rank, RLong)) return rc;
    r = logicResult(~v, rank);
    return 0;
}
