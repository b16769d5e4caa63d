#include "setup/PlotSetupReader.h"

#include "eval/Class1.h"
#include "eval/ScriptEngine.h"
#include "eval/Variant.h"
#include "setup/DerivTables.h"
#include "setup/FormFields.h"
#include "setup/NumberText.h"
#include "setup/PlotSetup.h"

#include <cfloat>
#include <cmath>
#include <limits>

namespace {

QString controlOf(const char* field)
{
    return QStringLiteral("txt") + QLatin1String(field);
}

// The engine's handler shows every failure except the silent point failures; those get a text
// here so that an abandoned Plot or Save is never unexplained.
QString engineFailureText(qint32 number, const char* field)
{
    const QString name = QLatin1String(field);
    switch (number) {
    case ErrorNumbers::InvalidCall:
        return QStringLiteral("Invalid argument in %1").arg(name);
    case ErrorNumbers::Overflow:
        return QStringLiteral("Overflow in %1").arg(name);
    case ErrorNumbers::DivisionByZero:
        return QStringLiteral("Division by zero in %1").arg(name);
    default:
        return QString();
    }
}

bool toFloat(double value, float& out)
{
    if (!std::isfinite(value) || std::fabs(value) > double(FLT_MAX)) return false;
    out = float(value);
    return true;
}

Subject fieldSubject(const char* field)
{
    return {Subject::Kind::Field, QLatin1String(field)};
}

// A failure of `field` that the engine did not show: its text, number and field.
void fail(Message& message, const QString& text, qint32 number, const char* field)
{
    message = Message::about(fieldSubject(field), text);
    message.number = number;
}

bool readExpression(const FormFields& fields, ScriptEngine& engine, Class1* context,
                    const char* field, float& target, Message& message)
{
    Variant result;
    if (context) context->ierr = 0;
    const SubjectScope subject(engine, fieldSubject(field));
    if (const qint32 rc = engine.eval(fields.text(controlOf(field)), result)) {
        fail(message, engineFailureText(rc, field), rc, field);
        return false;
    }
    // A failure trapped inside one of Class1's functions (Asin(2)) travels in its ierr.
    if (context && context->ierr != 0) {
        const qint32 rc = context->ierr;
        context->ierr = 0;
        QString text = engineFailureText(rc, field);
        if (text.isEmpty())
            text = QStringLiteral("Error %1 in %2").arg(rc).arg(QLatin1String(field));
        fail(message, text, rc, field);
        return false;
    }
    // The conversion to a number is the reader's own: its failures never reach the handler.
    double value = 0;
    const qint32 rc = result.isNull() ? ErrorNumbers::TypeMismatch : result.toDouble(value);
    if (rc == ErrorNumbers::Overflow || (rc == 0 && !toFloat(value, target))) {
        fail(message, QStringLiteral("Overflow in %1").arg(QLatin1String(field)),
             ErrorNumbers::Overflow, field);
        return false;
    }
    if (rc != 0) {
        fail(message, QStringLiteral("Type mismatch in %1").arg(QLatin1String(field)),
             ErrorNumbers::TypeMismatch, field);
        return false;
    }
    return true;
}

bool readCount(const FormFields& fields, const char* field, qint32& target, Message& message)
{
    // The current rounding mode is to nearest, ties to even: 2.5 gives 2, 3.5 gives 4.
    const double rounded = std::nearbyint(LeadingNumber(fields.text(controlOf(field))));
    if (!(rounded >= double(std::numeric_limits<qint32>::min()) &&
          rounded <= double(std::numeric_limits<qint32>::max()))) {
        fail(message, QStringLiteral("Overflow in %1").arg(QLatin1String(field)),
             ErrorNumbers::Overflow, field);
        return false;
    }
    target = qint32(rounded);
    return true;
}

// One derived value: computed in double, stored as float. A zero divisor fails with
// `zeroText`; a result outside the float range is an overflow.
// A derived value's failure: about no field of the window.
bool derivedFailure(Message& message, const QString& text, qint32 number)
{
    message = Message::about(Subject(), text);
    message.number = number;
    return false;
}

bool derive(double numerator, double divisor, const char* field, const char* zeroText,
            float& target, Message& message)
{
    if (divisor == 0)
        return derivedFailure(message,
                              QStringLiteral("Division by zero: %1").arg(QLatin1String(zeroText)),
                              ErrorNumbers::DivisionByZero);
    if (!toFloat(numerator / divisor, target))
        return derivedFailure(message, QStringLiteral("Overflow in %1").arg(QLatin1String(field)),
                              ErrorNumbers::Overflow);
    return true;
}

bool store(double value, const char* field, float& target, Message& message)
{
    if (!toFloat(value, target))
        return derivedFailure(message, QStringLiteral("Overflow in %1").arg(QLatin1String(field)),
                              ErrorNumbers::Overflow);
    return true;
}

} // namespace

bool ReadPlotSetup(PlotSetup& s, const FormFields& fields, ScriptEngine& engine, Message& message,
                   Class1* context)
{
    message = Message();
    s.Options = DrawOptions::read(fields);

    struct Expression
    {
        const char* field;
        float* target;
    };
    const Expression expressions[] = {
        {"Windowlx", &s.Windowlx},
        {"Windowgx", &s.Windowgx},
        {"Windowly", &s.Windowly},
        {"Windowgy", &s.Windowgy},
        {"Windowlz", &s.Windowlz},
        {"Windowgz", &s.Windowgz},
        {"Rangelxu", &s.Rangelxu},
        {"Rangegxu", &s.Rangegxu},
        {"Rangelyv", &s.Rangelyv},
        {"Rangegyv", &s.Rangegyv},
        {"Xorigin", &s.Xorigin},
        {"Yorigin", &s.Yorigin},
        {"Zorigin", &s.Zorigin},
        {"Divx", &s.Divx},
        {"Divy", &s.Divy},
        {"Divz", &s.Divz},
        {"Xrot", &s.Xrot},
        {"Yrot", &s.Yrot},
        {"Zrot", &s.Zrot},
        {"Xtr", &s.Xtr},
        {"Ytr", &s.Ytr},
        {"Ztr", &s.Ztr},
        {"Stereo", &s.EyeFactor[0]},
        {"Reduce", &s.Reduce},
    };
    for (const Expression& e : expressions) {
        if (!readExpression(fields, engine, context, e.field, *e.target, message)) return false;
    }

    struct Count
    {
        const char* field;
        qint32* target;
    };
    const Count counts[] = {
        {"Spacexu", &s.Spacexu}, {"Spaceyv", &s.Spaceyv}, {"Segsxu", &s.Segsxu},
        {"Segsyv", &s.Segsyv},   {"Grid", &s.Grid},       {"Ndots", &s.Ndots},
    };
    for (const Count& c : counts) {
        if (!readCount(fields, c.field, *c.target, message)) return false;
    }

    if (!store(double(s.Windowgx) - s.Windowlx, "SpanX", s.SpanX, message) ||
        !store(double(s.Windowgy) - s.Windowly, "SpanY", s.SpanY, message) ||
        !store(double(s.Windowgz) - s.Windowlz, "SpanZ", s.SpanZ, message) ||
        !derive(double(s.Rangegxu) - s.Rangelxu, s.Spacexu, "StepXu",
                "the number of spacings in x or u is 0", s.StepXu, message) ||
        !derive(double(s.Rangegyv) - s.Rangelyv, s.Spaceyv, "StepYv",
                "the number of spacings in y or v is 0", s.StepYv, message) ||
        !derive(s.StepXu, s.Segsxu, "SegXu", "the number of segments in x or u is 0", s.SegXu,
                message) ||
        !derive(s.StepYv, s.Segsyv, "SegYv", "the number of segments in y or v is 0", s.SegYv,
                message) ||
        !store(s.Windowlx + double(s.SpanX) / 2, "Xmid", s.Xmid, message) ||
        !derive(s.SpanY, s.SpanX, "RatioYX", "the x window has no width", s.RatioYX, message) ||
        !derive(s.SpanZ, s.SpanX, "RatioZX", "the x window has no width", s.RatioZX, message))
        return false;

    if (!readCount(fields, "Xder", s.Xder, message) || !readCount(fields, "Yder", s.Yder, message))
        return false;
    if (!DerivTables::inRange(s.Xder, s.Yder))
        return derivedFailure(
            message, QStringLiteral("The derivative orders Xder and Yder must lie in 0 to 2"), 0);
    s.DerivSelector = DerivTables::DerivTable(s.Xder, s.Yder);

    s.EquationZ = fields.text(QStringLiteral("txtEquationZ"));
    s.EquationY = fields.text(QStringLiteral("txtEquationY"));
    s.EquationX = fields.text(QStringLiteral("txtEquationX"));
    return true;
}
