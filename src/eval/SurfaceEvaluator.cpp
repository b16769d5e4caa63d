#include "eval/SurfaceEvaluator.h"

#include "eval/Class1.h"
#include "eval/CompiledExpression.h"
#include "eval/ScriptEngine.h"
#include "eval/ScriptError.h"

#include <algorithm>
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

template <typename F> qint32 SurfaceEvaluator::surface(float x, float y, F& f, float& value)
{
    switch (deriv_) {
    case 0:
        return f(x, y, value);
    case 1:
        return firstDerivative(x, y, true, high_, f, value);
    case 2:
        return firstDerivative(x, y, false, high_, f, value);
    case 3:
        return secondDerivative(x, y, true, f, value);
    case 4:
        return secondDerivative(x, y, false, f, value);
    case 5:
        return crossDerivative(x, y, f, value);
    default:
        value = 0; // an empty value converts to 0
        return 0;
    }
}

SurfaceValue SurfaceEvaluator::EvalSurface(float x, float y)
{
    auto f = [this](float a, float b, float& out) { return evaluate(z_, a, b, out); };
    float value = 0;
    const qint32 rc = surface(x, y, f, value);
    return result(rc, value);
}

SurfaceValue SurfaceEvaluator::EvalZ(float x, float y)
{
    float value = 0;
    const qint32 rc = evaluate(z_, x, y, value);
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

template <typename F>
qint32 SurfaceEvaluator::firstDerivative(float x, float y, bool alongX, bool high, F& f,
                                         float& value)
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

template <typename F>
qint32 SurfaceEvaluator::secondDerivative(float x, float y, bool alongX, F& f, float& value)
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

template <typename F> qint32 SurfaceEvaluator::crossDerivative(float x, float y, F& f, float& value)
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
    if (qint32 rc = firstDerivative(x, ym, true, true, f, gm1)) return rc;
    if (qint32 rc = firstDerivative(x, yp, true, true, f, gp1)) return rc;
    if (qint32 rc = firstDerivative(x, y + PdStep2, true, true, f, gp2)) return rc;
    if (qint32 rc = firstDerivative(x, y - PdStep2, true, true, f, gm2)) return rc;
    return finish((double(gm2) - 8.0 * double(gm1) + 8.0 * double(gp1) - double(gp2)) /
                      double(PdSpan12),
                  value);
}

SurfaceValue SurfaceEvaluator::PartialX(float x, float y)
{
    return derivative(x, y, 1);
}

SurfaceValue SurfaceEvaluator::PartialY(float x, float y)
{
    return derivative(x, y, 2);
}

SurfaceValue SurfaceEvaluator::PartialXX(float x, float y)
{
    return derivative(x, y, 3);
}

SurfaceValue SurfaceEvaluator::PartialYY(float x, float y)
{
    return derivative(x, y, 4);
}

SurfaceValue SurfaceEvaluator::PartialXY(float x, float y)
{
    return derivative(x, y, 5);
}

SurfaceValue SurfaceEvaluator::derivative(float x, float y, qint32 selector)
{
    const qint32 selected = deriv_;
    deriv_ = selector;
    const SurfaceValue r = EvalSurface(x, y);
    deriv_ = selected;
    return r;
}

const SurfaceEvaluator::Equation& SurfaceEvaluator::equation(Which which) const
{
    return which == Which::ParamX ? x_ : which == Which::ParamY ? y_ : z_;
}

bool SurfaceEvaluator::batchable(Which which) const
{
    if (which == Which::Surface && (deriv_ < 0 || deriv_ > 5)) return false;
    return engine_.batchable(equation(which).program);
}

bool SurfaceEvaluator::reads(Which which, bool readsX) const
{
    const CompiledExpression* p = equation(which).program;
    return p && p->hasFast && FastBatch::reads(p->fast, readsX ? &class1_.x : &class1_.y);
}

void SurfaceEvaluator::evaluateBatch(Which which, const BatchPoints& points, PendingValue* out)
{
    const int n = std::clamp(points.n, 0, BatchSize);
    const Equation& eq = equation(which);
    const CompiledExpression* program = eq.program;
    // Each point's formula with every evaluation succeeding records where it evaluates; the
    // formula is the same for every point, so evaluation k of every point forms one batch.
    const bool single = which != Which::Surface || deriv_ == 0; // one evaluation at the point
    int count = single ? 1 : 0;
    for (int i = 0; single && i < n; ++i) {
        slotX_[0][std::size_t(i)] = points.x[i];
        slotY_[0][std::size_t(i)] = points.y[i];
    }
    for (int i = 0; !single && i < n; ++i) {
        int k = 0;
        auto record = [&](float a, float b, float& value) {
            slotX_[std::size_t(k)][std::size_t(i)] = a;
            slotY_[std::size_t(k)][std::size_t(i)] = b;
            ++k;
            value = 0;
            return 0;
        };
        float value = 0;
        surface(points.x[i], points.y[i], record, value);
        count = k;
    }
    std::array<double, BatchSize> u, v;
    FastBatch::Inputs inputs;
    if (points.u) {
        std::copy(points.u, points.u + n, u.begin());
        inputs.u = u.data();
    }
    if (points.v) {
        std::copy(points.v, points.v + n, v.begin());
        inputs.v = v.data();
    }
    class1_.u = u_;
    class1_.v = v_;
    class1_.ierr = 0;
    for (int k = 0; k < count; ++k) {
        inputs.x = slotX_[std::size_t(k)].data();
        inputs.y = slotY_[std::size_t(k)].data();
        engine_.evalNumbers(program, class1_, inputs, n, slotResults_[std::size_t(k)]);
    }
    if (single) {
        for (int i = 0; i < n; ++i) {
            PendingValue& p = out[i];
            p.program = nullptr;
            p.x = points.x[i];
            p.y = points.y[i];
            p.u = points.u ? points.u[i] : u_;
            p.v = points.v ? points.v[i] : v_;
            float value = 0;
            const qint32 rc = settle(slotResults_[0], i, eq, p, value);
            p.result = result(rc, value);
        }
        return;
    }
    // The formula again, now on the results, stopping where the single evaluation stops.
    for (int i = 0; i < n; ++i) {
        PendingValue& p = out[i];
        p.program = nullptr;
        p.u = points.u ? points.u[i] : u_;
        p.v = points.v ? points.v[i] : v_;
        int k = 0;
        auto take = [&](float a, float b, float& value) {
            p.x = a;
            p.y = b;
            return settle(slotResults_[std::size_t(k++)], i, eq, p, value);
        };
        float value = 0;
        const qint32 rc = surface(points.x[i], points.y[i], take, value);
        p.result = result(rc, value);
    }
}

qint32 SurfaceEvaluator::settle(const FastBatch::Results& r, int i, const Equation& equation,
                                PendingValue& p, float& value)
{
    if (const qint32 rc = r.error[i]) {
        p.program = equation.program;
        p.subject = &equation.subject;
        p.failedInstruction = r.failedInstruction[i];
        return rc;
    }
    if (!inFloatRange(r.value[i])) return ErrorNumbers::Overflow;
    value = float(r.value[i]);
    return 0;
}

void SurfaceEvaluator::notify(const PendingValue& pending)
{
    engine_.setSubject(pending.subject);
    engine_.notifyFailure(pending.program, pending.result.error, pending.failedInstruction);
    engine_.setSubject(nullptr);
}
