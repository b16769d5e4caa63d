#include "eval/SurfaceEvaluator.h"

#include "eval/Class1.h"
#include "eval/ScriptEngine.h"
#include "render/RenderState.h"
#include "setup/FormFields.h"
#include "setup/PlotSetup.h"

#include <cfloat>
#include <cmath>

namespace {
bool inFloatRange(double value)
{
    return std::isfinite(value) && std::fabs(value) <= FLT_MAX;
}
} // namespace

SurfaceEvaluator::SurfaceEvaluator(ScriptEngine& engine, Class1& class1, qint32& evaluationError,
                                   const PlotSetup& setup, const RenderState& state,
                                   const FormFields& fields)
    : engine_(engine), class1_(class1), ierr_(evaluationError), setup_(setup), state_(state),
      fields_(fields)
{
}

void SurfaceEvaluator::prepare()
{
    programOf(z_, setup_.EquationZ);
    programOf(x_, setup_.EquationX);
    programOf(y_, setup_.EquationY);
}

const CompiledExpression* SurfaceEvaluator::programOf(Equation& equation, const QString& text)
{
    // The kept text shares the setup's buffer, so an unchanged equation is recognised by its
    // buffer without comparing characters; the buffer cannot be reused while it is shared.
    if (equation.program && text.constData() == equation.text.constData() &&
        text.size() == equation.text.size())
        return equation.program;
    if (!equation.program || equation.text != text) equation.program = engine_.compile(text);
    equation.text = text;
    return equation.program;
}

bool SurfaceEvaluator::highAccuracy() const
{
    return fields_.option(QStringLiteral("OptAccuracy")) == 1;
}

qint32 SurfaceEvaluator::fail(qint32 number)
{
    ierr_ = number;
    return number;
}

qint32 SurfaceEvaluator::evaluate(const CompiledExpression* program, float x, float y, float& value)
{
    class1_.x = x;
    class1_.y = y;
    class1_.u = state_.Pu;
    class1_.v = state_.Pv;
    class1_.ierr = 0;
    double result = 0;
    if (const qint32 rc = engine_.evalNumber(program, result)) return fail(rc);
    if (!inFloatRange(result)) return fail(6);
    if (class1_.ierr != 0) return fail(class1_.ierr);
    value = float(result);
    return 0;
}

qint32 SurfaceEvaluator::finish(double result, float& value)
{
    if (!inFloatRange(result)) return fail(6);
    value = float(result);
    return 0;
}

qint32 SurfaceEvaluator::EvalSurface(const float& x, const float& y, float& value)
{
    switch (setup_.DerivSelector) {
    case 0:
        return EvalZ(x, y, value);
    case 1:
        return PartialX(x, y, value);
    case 2:
        return PartialY(x, y, value);
    case 3:
        return PartialXX(x, y, value);
    case 4:
        return PartialYY(x, y, value);
    case 5:
        return PartialXY(x, y, value);
    default:
        value = 0; // an empty value converts to 0
        return 0;
    }
}

qint32 SurfaceEvaluator::EvalZ(float x, float y, float& value)
{
    return evaluate(programOf(z_, setup_.EquationZ), x, y, value);
}

qint32 SurfaceEvaluator::EvalParamX(float& value)
{
    return evaluate(programOf(x_, setup_.EquationX), state_.Px, state_.Py, value);
}

qint32 SurfaceEvaluator::EvalParamY(float& value)
{
    return evaluate(programOf(y_, setup_.EquationY), state_.Px, state_.Py, value);
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
    if (!highAccuracy()) {
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

qint32 SurfaceEvaluator::PartialX(float x, float y, float& value)
{
    return firstDerivative(x, y, true, highAccuracy(), value);
}

qint32 SurfaceEvaluator::PartialY(float x, float y, float& value)
{
    return firstDerivative(x, y, false, highAccuracy(), value);
}

qint32 SurfaceEvaluator::PartialXX(float x, float y, float& value)
{
    return secondDerivative(x, y, true, value);
}

qint32 SurfaceEvaluator::PartialYY(float x, float y, float& value)
{
    return secondDerivative(x, y, false, value);
}

qint32 SurfaceEvaluator::PartialXY(float x, float y, float& value)
{
    const float xm = x - PdStep, xp = x + PdStep;
    const float ym = y - PdStep, yp = y + PdStep;
    if (!highAccuracy()) {
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
