#pragma once

#include "eval/ScriptError.h"

#include <QString>
#include <QtGlobal>

class Class1;
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

private:
    struct Equation
    {
        QString text;
        const CompiledExpression* program = nullptr;
        Subject subject; // the field, for the engine's messages
    };

    void compile(Equation& equation, const QString& text);
    qint32 evaluate(const Equation& equation, float x, float y, float& value);
    static SurfaceValue result(qint32 error, float value);

    // First derivative along x (alongX) or y by the five-point or the three-point formula.
    qint32 firstDerivative(float x, float y, bool alongX, bool high, float& value);
    qint32 secondDerivative(float x, float y, bool alongX, float& value);
    qint32 crossDerivative(float x, float y, float& value);
    qint32 f(float x, float y, float& value) { return evaluate(z_, x, y, value); }
    static qint32 finish(double result, float& value);

    ScriptEngine& engine_;
    Class1& class1_;
    Equation z_{{}, nullptr, {Subject::Kind::Field, QStringLiteral("EquationZ")}};
    Equation x_{{}, nullptr, {Subject::Kind::Field, QStringLiteral("EquationX")}};
    Equation y_{{}, nullptr, {Subject::Kind::Field, QStringLiteral("EquationY")}};
    qint32 deriv_ = 0;
    bool high_ = false;
    float u_ = 0, v_ = 0;
};
