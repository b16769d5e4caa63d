#pragma once

#include "eval/Variant.h"

#include <QtGlobal>

// The language's operators on Variants, with its sub-type rules: integer results widen from
// Byte to Integer to Long to Double instead of overflowing, Null propagates, numeric strings
// convert. Each returns 0 or the error number.
class VariantOps
{
public:
    static qint32 add(const Variant& a, const Variant& b, Variant& r);
    static qint32 subtract(const Variant& a, const Variant& b, Variant& r);
    static qint32 multiply(const Variant& a, const Variant& b, Variant& r);
    static qint32 divide(const Variant& a, const Variant& b, Variant& r);
    static qint32 integerDivide(const Variant& a, const Variant& b, Variant& r);
    static qint32 modulo(const Variant& a, const Variant& b, Variant& r);
    static qint32 power(const Variant& a, const Variant& b, Variant& r);
    static qint32 concatenate(const Variant& a, const Variant& b, Variant& r);
    // a & b into a, in place, so a chain of & takes linear time. budget is the number of
    // characters the evaluation may still copy; a string longer than Variant::MaxStringLength
    // or an exhausted budget fails with "Out of memory".
    static qint32 concatenateInto(Variant& a, const Variant& b, qint64& budget);
    static qint32 negate(const Variant& a, Variant& r);

    enum class Compare
    {
        Eq,
        Ne,
        Lt,
        Gt,
        Le,
        Ge
    };
    static qint32 compare(Compare op, const Variant& a, const Variant& b, Variant& r);

    enum class Logic
    {
        And,
        Or,
        Xor,
        Eqv,
        Imp
    };
    static qint32 logic(Logic op, const Variant& a, const Variant& b, Variant& r);
    static qint32 logicalNot(const Variant& a, Variant& r);
};
