#include "eval/Class1.h"
#include "eval/ScriptError.h"

#include <cmath>

namespace {

using namespace ErrorNumbers;

// The language's Exp: 0 or 6 when the result overflows.
qint32 expOf(double a, double& r)
{
    r = std::exp(a);
    return std::isinf(r) ? Overflow : 0;
}

qint32 square(double a, double& r)
{
    r = a * a;
    return std::isinf(r) ? Overflow : 0;
}

} // namespace

double Class1::fail(qint32 number)
{
    ierr = number;
    if (windowError_) *windowError_ = number;
    return 0;
}

double Class1::Asin(double a)
{
    if (std::isnan(a) || std::fabs(a) > 1) return fail(InvalidCall);
    if (a == 1) return halfpi;
    if (a == -1) return -halfpi;
    return std::atan(a / std::sqrt(1 - a * a));
}

double Class1::Acos(double a)
{
    if (std::isnan(a) || std::fabs(a) > 1) return fail(InvalidCall);
    if (a == 1) return 0;
    if (a == -1) return 2 * halfpi;
    return halfpi - std::atan(a / std::sqrt(1 - a * a));
}

double Class1::Sinh(double a)
{
    double p = 0;
    double m = 0;
    if (const qint32 rc = expOf(a, p)) return fail(rc);
    if (const qint32 rc = expOf(-a, m)) return fail(rc);
    return (p - m) * 0.5;
}

double Class1::Cosh(double a)
{
    double p = 0;
    double m = 0;
    if (const qint32 rc = expOf(a, p)) return fail(rc);
    if (const qint32 rc = expOf(-a, m)) return fail(rc);
    const double sum = p + m;
    if (std::isinf(sum)) return fail(Overflow);
    return sum * 0.5;
}

double Class1::Tanh(double a)
{
    double m = 0;
    double p = 0;
    if (const qint32 rc = expOf(-a, m)) return fail(rc);
    if (const qint32 rc = expOf(a, p)) return fail(rc);
    const double sum = p + m;
    if (std::isinf(sum)) return fail(Overflow);
    return 1 - 2 * m / sum;
}

double Class1::Asinh(double a)
{
    double sq = 0;
    if (const qint32 rc = square(a, sq)) return fail(rc);
    const double sum = a + std::sqrt(sq + 1);
    if (!(sum > 0)) return fail(InvalidCall);
    return std::log(sum);
}

double Class1::Acosh(double a)
{
    double sq = 0;
    if (const qint32 rc = square(a, sq)) return fail(rc);
    const double inner = sq - 1;
    if (!(inner >= 0)) return fail(InvalidCall);
    const double sum = a + std::sqrt(inner);
    if (!(sum > 0)) return fail(InvalidCall);
    return std::log(sum);
}

double Class1::Atanh(double a)
{
    const double denominator = 1 - a;
    const double numerator = 1 + a;
    if (denominator == 0) return fail(zeroDivisor(numerator));
    const double ratio = numerator / denominator;
    if (!std::isfinite(ratio)) return fail(Overflow);
    if (!(ratio > 0)) return fail(InvalidCall);
    return std::log(ratio) * 0.5;
}

double Class1::Sqrt(double a)
{
    if (!(a >= 0)) return fail(InvalidCall);
    return std::sqrt(a);
}

// The logarithms of the language's Log: defined for positive arguments only.
double Class1::Ln(double a)
{
    if (!(a > 0)) return fail(InvalidCall);
    return std::log(a);
}

double Class1::Log10(double a)
{
    if (!(a > 0)) return fail(InvalidCall);
    return std::log10(a);
}

double Class1::Log2(double a)
{
    if (!(a > 0)) return fail(InvalidCall);
    return std::log2(a);
}

double Class1::Atan(double a)
{
    return std::atan(a);
}

// The angle of the point (x, y), in (-pi, pi]; the origin has none.
double Class1::Atan2(double y, double x)
{
    if (y == 0 && x == 0) return fail(InvalidCall);
    return std::atan2(y, x);
}

double Class1::Floor(double a)
{
    return std::floor(a);
}

double Class1::Ceil(double a)
{
    return std::ceil(a);
}

double Class1::Min(double a, double b)
{
    return b < a ? b : a;
}

double Class1::Max(double a, double b)
{
    return b > a ? b : a;
}

// a ^ b, with the operator's failures.
double Class1::Pow(double a, double b)
{
    const double r = std::pow(a, b);
    if (!std::isfinite(r)) return fail(powerFailure(r, a));
    return r;
}

double Class1::Hypot(double a, double b)
{
    const double r = std::hypot(a, b);
    if (std::isinf(r)) return fail(Overflow);
    return r;
}

double Class1::Cbrt(double a)
{
    // The library's root may miss a whole number by one unit in the last place: 27 gives 3.
    const double r = std::cbrt(a);
    const double whole = std::nearbyint(r);
    return whole * whole * whole == a ? whole : r;
}
