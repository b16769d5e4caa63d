#pragma once

#include "eval/Class1.h"
#include "eval/FastBatch.h"
#include "eval/ScriptError.h"

#include <QString>
#include <QtGlobal>
#include <array>
#include <vector>

class CompiledExpression;
class ScriptEngine;

// What a plot evaluates: the equation texts, which derivative of z (0 none, 1 Zx, 2 Zy, 3 Zxx,
// 4 Zyy, 5 Zxy) and the accuracy of the difference formulas.
struct SurfaceInput
{
    QString EquationZ, EquationX, EquationY;
    qint32 DerivSelector = 0;
    bool HighAccuracy = false;
};

// One evaluation's result: the value, or the error number of the first failing evaluation
// (0 for none; the value is then 0).
struct SurfaceValue
{
    float value = 0;
    qint32 error = 0;
};

// One point of a batch: what the evaluation gives there, and the notification and the x, y,
// u, v it leaves behind once taken.
struct PendingValue
{
    SurfaceValue result;
    const CompiledExpression* program = nullptr; // the failure to notify, if any
    const Subject* subject = nullptr;            // and the field it concerns
    qint32 failedInstruction = 0;
    float x = 0, y = 0, u = 0, v = 0; // of the last evaluation made at the point
};

// The sample points of a batch: x, y, u and v for each (u and v null for the parameters set).
struct BatchPoints
{
    const float* x = nullptr;
    const float* y = nullptr;
    const float* u = nullptr;
    const float* v = nullptr;
    int n = 0; // at most SurfaceEvaluator::BatchSize
};

// The height of the surface at a point: the z equation or one of its numerical partial
// derivatives, and the coordinates x(u,v), y(u,v) of a parametric surface. Every value is one
// evaluation of an equation after x, y, u, v and ierr of Class1 have been set. Nothing is
// thrown and nothing else is written: the caller decides what a failure means.
class SurfaceEvaluator
{
public:
    // Difference steps and divisors, stored rather than computed.
    static constexpr float PdStep = 0.02079f;
    static constexpr float PdStep2 = 0.04158f;
    static constexpr float PdSpan2 = 0.04158f;
    static constexpr float PdSpan12 = 0.24948f;
    static constexpr float PdSq4 = 0.0017288963f;
    static constexpr float PdSq12 = 0.005186689f;

    SurfaceEvaluator(ScriptEngine& engine, Class1& class1);

    // Takes the input of the next evaluations and compiles the equations whose text changed.
    void prepare(const SurfaceInput& input);

    // The u and v every later evaluation sees (they keep their values between plots).
    void setParameters(float u, float v)
    {
        u_ = u;
        v_ = v;
    }

    SurfaceValue EvalSurface(float x, float y); // z or the selected derivative
    SurfaceValue EvalZ(float x, float y);
    SurfaceValue PartialX(float x, float y);
    SurfaceValue PartialY(float x, float y);
    SurfaceValue PartialXX(float x, float y);
    SurfaceValue PartialYY(float x, float y);
    SurfaceValue PartialXY(float x, float y);
    SurfaceValue EvalParamX(float x, float y); // EquationX at (x, y, u, v)
    SurfaceValue EvalParamY(float x, float y); // EquationY at (x, y, u, v)

    // Batches: the values of n evaluations in a row, each at its own point, with their
    // failures held back until take(). Only where batchable() says so; otherwise the caller
    // evaluates point by point.
    static constexpr int BatchSize = FastBatch::Lanes;
    enum class Which
    {
        Surface, // EvalSurface
        ParamX,  // EvalParamX
        ParamY   // EvalParamY
    };
    bool batchable(Which which) const;
    // Whether the equation of `which` reads x (or y).
    bool reads(Which which, bool readsX) const;
    void evaluateBatch(Which which, const BatchPoints& points, PendingValue* out);
    // The result of a batch point, as the single evaluation gives it: Class1 left as that
    // evaluation leaves it and its failure notified now.
    SurfaceValue take(const PendingValue& pending)
    {
        class1_.x = pending.x;
        class1_.y = pending.y;
        class1_.u = pending.u;
        class1_.v = pending.v;
        class1_.ierr = 0;
        if (pending.program) notify(pending);
        return pending.result;
    }

private:
    struct Equation
    {
        QString text;
        const CompiledExpression* program = nullptr;
        Subject subject; // the field, for the engine's messages
    };

    void compile(Equation& equation, const QString& text);
    qint32 evaluate(const Equation& equation, float x, float y, float& value);
    static SurfaceValue result(qint32 error, float value)
    {
        return error ? SurfaceValue{0, error} : SurfaceValue{value, 0};
    }
    // The outcome of point i of a batch's results, as evaluate() gives it.
    static qint32 settle(const FastBatch::Results& r, int i, const Equation& equation,
                         PendingValue& p, float& value);
    void notify(const PendingValue& pending);

    // The selected value at (x, y), f(a, b, value) giving each single evaluation.
    template <typename F> qint32 surface(float x, float y, F& f, float& value);
    template <typename F>
    qint32 firstDerivative(float x, float y, bool alongX, bool high, F& f, float& value);
    template <typename F>
    qint32 secondDerivative(float x, float y, bool alongX, F& f, float& value);
    template <typename F> qint32 crossDerivative(float x, float y, F& f, float& value);
    const Equation& equation(Which which) const;
    SurfaceValue derivative(float x, float y, qint32 selector);
    static qint32 finish(double result, float& value);

    ScriptEngine& engine_;
    Class1& class1_;
    Equation z_{{}, nullptr, {Subject::Kind::Field, QStringLiteral("EquationZ")}};
    Equation x_{{}, nullptr, {Subject::Kind::Field, QStringLiteral("EquationX")}};
    Equation y_{{}, nullptr, {Subject::Kind::Field, QStringLiteral("EquationY")}};
    qint32 deriv_ = 0;
    bool high_ = false;
    float u_ = 0, v_ = 0;
    // A batch's evaluations: the points of each evaluation of a point's formula, and results.
    static constexpr int MaxEvaluations = 16;
    std::array<std::array<double, BatchSize>, MaxEvaluations> slotX_, slotY_;
    std::array<FastBatch::Results, MaxEvaluations> slotResults_;
};
