#pragma once

#include <QString>
#include <QtGlobal>

class Class1;
class CompiledExpression;
class FormFields;
class ScriptEngine;
struct PlotSetup;
struct RenderState;

// The height of the surface at a point: the z equation or one of its numerical partial
// derivatives, chosen by DerivSelector, and the coordinates x(u,v), y(u,v) of a parametric
// surface. Every value is one evaluation of an equation after x, y, u, v and ierr of Class1
// have been set.
//
// Each operation returns 0 and its value, or the error number of the first failing evaluation
// (nothing is thrown). On a failure the window's evaluation error number takes the number too;
// on success it is left alone.
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

    SurfaceEvaluator(ScriptEngine& engine, Class1& class1, qint32& evaluationError,
                     const PlotSetup& setup, const RenderState& state, const FormFields& fields);

    // Compiles the equations of the setup; the operations below also recompile on their own
    // when an equation text has changed since.
    void prepare();

    qint32 EvalSurface(const float& x, const float& y, float& value);
    qint32 EvalZ(float x, float y, float& value);
    qint32 PartialX(float x, float y, float& value);
    qint32 PartialY(float x, float y, float& value);
    qint32 PartialXX(float x, float y, float& value);
    qint32 PartialYY(float x, float y, float& value);
    qint32 PartialXY(float x, float y, float& value);
    qint32 EvalParamX(float& value); // EquationX at (Px, Py, Pu, Pv)
    qint32 EvalParamY(float& value); // EquationY at (Px, Py, Pu, Pv)

    bool highAccuracy() const; // OptAccuracy, read at each derivative

private:
    struct Equation
    {
        QString text;
        const CompiledExpression* program = nullptr;
    };

    const CompiledExpression* programOf(Equation& equation, const QString& text);
    qint32 evaluate(const CompiledExpression* program, float x, float y, float& value);
    qint32 fail(qint32 number);

    // First derivative along x (alongX) or y by the five-point or the three-point formula.
    qint32 firstDerivative(float x, float y, bool alongX, bool high, float& value);
    qint32 secondDerivative(float x, float y, bool alongX, float& value);
    qint32 f(float x, float y, float& value) { return EvalZ(x, y, value); }
    qint32 finish(double result, float& value);

    ScriptEngine& engine_;
    Class1& class1_;
    qint32& ierr_;
    const PlotSetup& setup_;
    const RenderState& state_;
    const FormFields& fields_;
    Equation z_, x_, y_;
};
