#include "eval/SurfaceEvaluator.h"

#include "eval/Class1.h"
#include "eval/ScriptEngine.h"
#include "eval/ScriptError.h"

#include <cfloat>
#include <cmath>

namespace {
bool inFloatRange(double value)
{
    return std::isfinite(value) && std::fabs(value) <= FLT_MAX;
}
} // namespace

SurfaceEvaluator::SurfaceEvaluator(ScriptEngine& engine, Class1& class1)
    : engine_(engine), class1_(class1)
{
}

void SurfaceEvaluator::prepare(const SurfaceInput& input)
{
    compile(z_, input.EquationZ);
    compile(x_, input.EquationX);
    compile(y_, input.EquationY);
    deriv_ = input.DerivSelector;
    high_ = input.HighAccuracy;
}

void SurfaceEvaluator::compile(Equation& equation, const QString& text)
{
    if (equation.program && equation.text == text) return;
    equation.program = engine_.compile(text);
    equation.text = text;
}

SurfaceValue SurfaceEvaluator::result(qint32 error, float value)
{
    return error ? SurfaceValue{0, error} : SurfaceValue{value, 0};
}

qint32 SurfaceEvaluator::evaluate(const Equation& equation, float x, float y, float& value)
{
    engine_.setSubject(&equation.subject);
    class1_.x = x;
    class1_.y = y;
    class1_.u = u_;
    class1_.v = v_;
    class1_.ierr = 0;
    double result = 0;
    const qint32 rc = engine_.evalNumber(equation.program, result);
    engine_.setSubject(nullptr);
    if (rc) return rc;
    if (!inFloatRange(result)) return ErrorNumbers::Overflow;
    if (class1_.ierr != 0) return class1_.ierr;
    value = float(result);
    return 0;
}

qint32 SurfaceEvaluator::finish(double result, float& value)
{
    if (!inFloatRange(result)) return ErrorNumbers::Overflow;
    value = float(result);
    return 0;
}

SurfaceValue SurfaceEvaluator::EvalSurface(float x, float y)
{
    switch (deriv_) {
    case 0:
        return EvalZ(x, y);
    case 1:
        return PartialX(x, y);
    case 2:
        return PartialY(x, y);
    case 3:
        return PartialXX(x, y);
    case 4:
        return PartialYY(x, y);
    case 5:
        return PartialXY(x, y);
    default:
        return {}; // an empty value converts to 0
    }
}

SurfaceValue SurfaceEvaluator::EvalZ(float x, float y)
{
    float value = 0;
    const qint32 rc = f(x, y, value);
    return result(rc, value);
}

SurfaceValue SurfaceEvaluator::EvalParamX(float x, float y)
{
    float value = 0;
    const qint32 rc = evaluate(x_, x, y, value);
    return result(rc, value);
}

SurfaceValue SurfaceEvaluator::EvalParamY(float x, float y)
{
    float value = 0;
    const qint32 rc = evaluate(y_, x, y, value);
    return result(rc, value);
}

qint32 SurfaceEvaluator::firstDerivative(float x, float y, bool alongX, bool high, float& value)
{
    // f at the point shifted by `by` along the chosen axis; the shift is single precision.
    auto at = [&](float by, float& out) {
        const float sx = alongX ? x + by : x;
        const float sy = alongX ? y : y + by;
        return f(sx, sy, out);
    };
    float fm1, fp1;
    if (qint32 rc = at(-PdStep, fm1)) return rc;
    if (qint32 rc = at(PdStep, fp1)) return rc;
    if (!high) return finish((double(fp1) - double(fm1)) / double(PdSpan2), value);
    float fp2, fm2;
    if (qint32 rc = at(PdStep2, fp2)) return rc;
    if (qint32 rc = at(-PdStep2, fm2)) return rc;
    return finish((double(fm2) - 8.0 * double(fm1) + 8.0 * double(fp1) - double(fp2)) /
                      double(PdSpan12),
                  value);
}

qint32 SurfaceEvaluator::secondDerivative(float x, float y, bool alongX, float& value)
{
    auto at = [&](float by, float& out) {
        const float sx = alongX ? x + by : x;
        const float sy = alongX ? y : y + by;
        return f(sx, sy, out);
    };
    float f0;
    if (!high_) {
        // Three points 2h apart.
        float fm, fp;
        if (qint32 rc = at(-PdSpan2, fm)) return rc;
        if (qint32 rc = f(x, y, f0)) return rc;
        if (qint32 rc = at(PdSpan2, fp)) return rc;
        return finish((double(fm) + double(fp) - 2.0 * double(f0)) / double(PdSq4), value);
    }
    float fm1, fp1, fp2, fm2;
    if (qint32 rc = at(-PdStep, fm1)) return rc;
    if (qint32 rc = f(x, y, f0)) return rc;
    if (qint32 rc = at(PdStep, fp1)) return rc;
    if (qint32 rc = at(PdStep2, fp2)) return rc;
    if (qint32 rc = at(-PdStep2, fm2)) return rc;
    return finish(
        (-double(fm2) + 16.0 * double(fm1) - 30.0 * double(f0) + 16.0 * double(fp1) - double(fp2)) /
            double(PdSq12),
        value);
}

qint32 SurfaceEvaluator::crossDerivative(float x, float y, float& value)
{
    const float xm = x - PdStep, xp = x + PdStep;
    const float ym = y - PdStep, yp = y + PdStep;
    if (!high_) {
        float fmm, fmp, fpm, fpp;
        if (qint32 rc = f(xm, ym, fmm)) return rc;
        if (qint32 rc = f(xm, yp, fmp)) return rc;
        if (qint32 rc = f(xp, ym, fpm)) return rc;
        if (qint32 rc = f(xp, yp, fpp)) return rc;
        return finish((double(fmm) + double(fpp) - double(fmp) - double(fpm)) / double(PdSq4),
                      value);
    }
    // The five-point y-derivative of the five-point x-derivative.
    float gm1, gp1, gp2, gm2;
    if (qint32 rc = firstDerivative(x, ym, true, true, gm1)) return rc;
    if (qint32 rc = firstDerivative(x, yp, true, true, gp1)) return rc;
    if (qint32 rc = firstDerivative(x, y + PdStep2, true, true, gp2)) return rc;
    if (qint32 rc = firstDerivative(x, y - PdStep2, true, true, gm2)) return rc;
    return finish((double(gm2) - 8.0 * double(gm1) + 8.0 * double(gp1) - double(gp2)) /
                      double(PdSpan12),
                  value);
}

SurfaceValue SurfaceEvaluator::PartialX(float x, float y)
{
    float value = 0;
    const qint32 rc = firstDerivative(x, y, true, high_, value);
    return result(rc, value);
}

SurfaceValue SurfaceEvaluator::PartialY(float x, float y)
{
    float value = 0;
    const qint32 rc = firstDerivative(x, y, false, high_, value);
    return result(rc, value);
}

SurfaceValue SurfaceEvaluator::PartialXX(float x, float y)
{
    float value = 0;
    const qint32 rc = secondDerivative(x, y, true, value);
    return result(rc, value);
}

SurfaceValue SurfaceEvaluator::PartialYY(float x, float y)
{
    float value = 0;
    const qint32 rc = secondDerivative(x, y, false, value);
    return result(rc, value);
}

SurfaceValue SurfaceEvaluator::PartialXY(float x, float y)
{
    float value = 0;
    const qint32 rc = crossDerivative(x, y, value);
    return result(rc, value);
}
