#include "eval/Builtins.h"
#include "eval/ScriptError.h"

#include <cfloat>
#include <cmath>
#include <cstring>

namespace {

struct Entry
{
    const char* name;
    int minArgs;
    int maxArgs;
};

constexpr Entry kEntries[Builtins::Count] = {
    {"Abs", 1, 1},  {"Atn", 1, 1},  {"Cos", 1, 1},   {"Exp", 1, 1},   {"Fix", 1, 1},
    {"Int", 1, 1},  {"Log", 1, 1},  {"Round", 1, 2}, {"Sgn", 1, 1},   {"Sin", 1, 1},
    {"Sqr", 1, 1},  {"Tan", 1, 1},  {"CBool", 1, 1}, {"CByte", 1, 1}, {"CDbl", 1, 1},
    {"CInt", 1, 1}, {"CLng", 1, 1}, {"CSng", 1, 1},  {"Hex", 1, 1},   {"Oct", 1, 1},
    {"Rnd", 0, 1},
};

double roundHalfEven(double v)
{
    const double r = std::floor(v);
    const double diff = v - r;
    if (diff > 0.5) return r + 1;
    if (diff < 0.5) return r;
    return std::fmod(r, 2.0) == 0 ? r : r + 1;
}

// The integer view the logical operators and Hex/Oct use: 16 bits for the narrow types.
bool isNarrow(Variant::Type t)
{
    return t == Variant::Type::Boolean || t == Variant::Type::Integer || t == Variant::Type::Byte;
}

QString digitsOf(quint32 value, int base)
{
    return QString::number(value, base).toUpper();
}

qint32 radixText(const Variant& a, int base, Variant& result)
{
    if (a.isNull()) {
        result = Variant::null();
        return 0;
    }
    if (a.isEmpty()) {
        result = Variant::fromString(QStringLiteral("0"));
        return 0;
    }
    if (isNarrow(a.type())) {
        const qint32 v = a.longValue();
        result = Variant::fromString(digitsOf(v < 0 ? quint32(v) & 0xFFFFu : quint32(v), base));
        return 0;
    }
    if (a.type() == Variant::Type::Long) {
        result = Variant::fromString(digitsOf(quint32(a.longValue()), base));
        return 0;
    }
    double d = 0;
    if (const qint32 rc = a.toDouble(d)) return rc;
    qint32 l = 0;
    if (!Builtins::toLong(d, l)) return ErrorNumbers::Overflow;
    result = Variant::fromString(digitsOf(quint32(l), base));
    return 0;
}

qint32 numberArg(const Variant& a, double& d)
{
    return a.toDouble(d);
}

float nextRandom(Builtins::RandomState& rnd)
{
    rnd.seed = (rnd.seed * 1140671485u + 12820163u) & 0xFFFFFFu;
    return float(rnd.seed) / 16777216.0f;
}

} // namespace

int Builtins::find(const QString& name)
{
    for (int i = 0; i < Count; ++i) {
        if (name.compare(QLatin1String(kEntries[i].name), Qt::CaseInsensitive) == 0) return i;
    }
    return -1;
}

const char* Builtins::name(int id)
{
    return kEntries[id].name;
}

int Builtins::minArgs(int id)
{
    return kEntries[id].minArgs;
}

int Builtins::maxArgs(int id)
{
    return kEntries[id].maxArgs;
}

bool Builtins::toLong(double v, qint32& out)
{
    const double r = roundHalfEven(v);
    if (!(r >= -2147483648.0 && r <= 2147483647.0)) return false;
    out = qint32(r);
    return true;
}

qint32 Builtins::roundNumber(double a, double digits, double& result)
{
    qint32 n = 0;
    if (!toLong(digits, n)) return ErrorNumbers::Overflow;
    if (n < 0) return ErrorNumbers::InvalidCall;
    if (n == 0) {
        result = roundHalfEven(a);
        return 0;
    }
    const double scale = std::pow(10.0, double(std::min(n, 400)));
    const double scaled = a * scale;
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 4503599627370496.0) {
        result = a; // already whole at that precision
        return 0;
    }
    result = roundHalfEven(scaled) / scale;
    return 0;
}

qint32 Builtins::callNumber(int id, double a, double& result)
{
    switch (id) {
    case Abs:
        result = std::fabs(a);
        return 0;
    case Atn:
        result = std::atan(a);
        return 0;
    case Cos:
        result = std::cos(a);
        return 0;
    case Exp:
        result = std::exp(a);
        return std::isinf(result) ? ErrorNumbers::Overflow : 0;
    case Fix:
        result = std::trunc(a);
        return 0;
    case Int:
        result = std::floor(a);
        return 0;
    case Log:
        if (!(a > 0)) return ErrorNumbers::InvalidCall;
        result = std::log(a);
        return 0;
    case Round:
        result = roundHalfEven(a);
        return 0;
    case Sgn:
        result = a > 0 ? 1 : a < 0 ? -1 : 0;
        return 0;
    case Sin:
        result = std::sin(a);
        return 0;
    case Sqr:
        if (a < 0) return ErrorNumbers::InvalidCall;
        result = std::sqrt(a);
        return 0;
    case Tan:
        result = std::tan(a);
        return 0;
    case CBool:
        result = a != 0 ? -1 : 0;
        return 0;
    case CDbl:
        result = a;
        return 0;
    case CInt: {
        const double r = roundHalfEven(a);
        if (!(r >= -32768.0 && r <= 32767.0)) return ErrorNumbers::Overflow;
        result = r;
        return 0;
    }
    case CLng: {
        qint32 l = 0;
        if (!toLong(a, l)) return ErrorNumbers::Overflow;
        result = l;
        return 0;
    }
    default:
        return ErrorNumbers::TypeMismatch;
    }
}

qint32 Builtins::call(int id, const Variant* args, int argc, Variant& result, RandomState& rnd)
{
    using T = Variant::Type;
    const Variant& a = argc > 0 ? args[0] : result;
    switch (id) {
    case Abs:
        switch (a.type()) {
        case T::Null:
            result = Variant::null();
            return 0;
        case T::Empty:
            result = Variant::fromInteger(0);
            return 0;
        case T::Boolean:
            result = Variant::fromInteger(qint16(a.boolValue() ? 1 : 0));
            return 0;
        case T::Integer:
            if (a.integerValue() == -32768)
                result = Variant::fromLong(32768);
            else
                result = Variant::fromInteger(qint16(std::abs(a.integerValue())));
            return 0;
        case T::Long:
            if (a.longValue() == INT32_MIN)
                result = Variant::fromDouble(2147483648.0);
            else
                result = Variant::fromLong(std::abs(a.longValue()));
            return 0;
        case T::Single:
            result = Variant::fromSingle(std::fabs(a.singleValue()));
            return 0;
        case T::Byte:
            result = a;
            return 0;
        default: {
            double d = 0;
            if (const qint32 rc = numberArg(a, d)) return rc;
            result = Variant::fromDouble(std::fabs(d));
            return 0;
        }
        }
    case Fix:
    case Int:
        switch (a.type()) {
        case T::Null:
            result = Variant::null();
            return 0;
        case T::Empty:
            result = Variant::fromInteger(0);
            return 0;
        case T::Boolean:
            result = Variant::fromInteger(qint16(a.longValue()));
            return 0;
        case T::Integer:
        case T::Long:
        case T::Byte:
            result = a;
            return 0;
        case T::Single: {
            const double d = a.doubleValue();
            result = Variant::fromSingle(float(id == Int ? std::floor(d) : std::trunc(d)));
            return 0;
        }
        default: {
            double d = 0;
            if (const qint32 rc = numberArg(a, d)) return rc;
            result = Variant::fromDouble(id == Int ? std::floor(d) : std::trunc(d));
            return 0;
        }
        }
    case Round: {
        double digits = 0;
        if (argc > 1 && !args[1].isEmpty()) {
            if (const qint32 rc = args[1].toDouble(digits)) return rc;
        }
        if (a.isNull()) {
            result = Variant::null();
            return 0;
        }
        double d = 0;
        if (a.type() != T::Empty) {
            if (const qint32 rc = numberArg(a, d)) return rc;
        }
        double r = 0;
        if (const qint32 rc = roundNumber(d, digits, r)) return rc;
        switch (a.type()) {
        case T::Empty:
            result = Variant::fromInteger(0);
            return 0;
        case T::Boolean:
        case T::Integer:
        case T::Long:
        case T::Byte:
            result = a;
            return 0;
        case T::Single:
            result = Variant::fromSingle(float(r));
            return 0;
        default:
            result = Variant::fromDouble(r);
            return 0;
        }
    }
    case Sgn: {
        double d = 0;
        if (const qint32 rc = numberArg(a, d)) return rc;
        result = Variant::fromInteger(qint16(d > 0 ? 1 : d < 0 ? -1 : 0));
        return 0;
    }
    case CBool: {
        if (a.isString()) {
            const QString s = a.stringValue().trimmed();
            if (s.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) {
                result = Variant::fromBool(true);
                return 0;
            }
            if (s.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) {
                result = Variant::fromBool(false);
                return 0;
            }
        }
        double d = 0;
        if (const qint32 rc = numberArg(a, d)) return rc;
        result = Variant::fromBool(d != 0);
        return 0;
    }
    case CByte: {
        if (a.type() == T::Boolean) {
            result = Variant::fromByte(a.boolValue() ? 255 : 0);
            return 0;
        }
        double d = 0;
        if (const qint32 rc = numberArg(a, d)) return rc;
        const double r = roundHalfEven(d);
        if (!(r >= 0 && r <= 255)) return ErrorNumbers::Overflow;
        result = Variant::fromByte(quint8(r));
        return 0;
    }
    case CInt: {
        double d = 0;
        if (const qint32 rc = numberArg(a, d)) return rc;
        double r = 0;
        if (const qint32 rc = callNumber(CInt, d, r)) return rc;
        result = Variant::fromInteger(qint16(r));
        return 0;
    }
    case CLng: {
        double d = 0;
        if (const qint32 rc = numberArg(a, d)) return rc;
        qint32 l = 0;
        if (!toLong(d, l)) return ErrorNumbers::Overflow;
        result = Variant::fromLong(l);
        return 0;
    }
    case CSng: {
        double d = 0;
        if (const qint32 rc = numberArg(a, d)) return rc;
        if (std::fabs(d) > double(FLT_MAX)) return ErrorNumbers::Overflow;
        result = Variant::fromSingle(float(d));
        return 0;
    }
    case Hex:
        return radixText(a, 16, result);
    case Oct:
        return radixText(a, 8, result);
    case Rnd: {
        double d = 1;
        if (argc > 0) {
            if (const qint32 rc = numberArg(a, d)) return rc;
        }
        if (d == 0) {
            result = Variant::fromSingle(float(rnd.seed) / 16777216.0f);
            return 0;
        }
        if (d < 0) {
            const float f = float(d);
            quint32 bits = 0;
            std::memcpy(&bits, &f, sizeof bits);
            rnd.seed = (bits + (bits >> 24)) & 0xFFFFFFu;
        }
        result = Variant::fromSingle(nextRandom(rnd));
        return 0;
    }
    default: {
        // The numeric functions with a Double result.
        double d = 0;
        if (const qint32 rc = numberArg(a, d)) return rc;
        double r = 0;
        if (const qint32 rc = callNumber(id, d, r)) return rc;
        result = Variant::fromDouble(r);
        return 0;
    }
    }
}
