// Fuzz target of the expression engine: the input is compiled as an expression and evaluated
// at a few points through both execution paths (the general interpreter behind eval, and
// evalNumber, which takes the all-double program where the text has one). Both must give the
// same error number, the same value and the same Class1 error; nothing may crash or hang.

#include "eval/Class1.h"
#include "eval/ScriptEngine.h"

#include <QString>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

struct Engine
{
    Class1 class1;
    ScriptEngine engine;
    Engine()
    {
        engine.addObject(QStringLiteral("sh"), &class1, true);
        for (const char* start : {"halfpi = Atn(1) * 2", "pi = Atn(1) * 4", "e = Exp(1)"})
            engine.executeStatement(QString::fromLatin1(start));
    }
};

// eval's value converted as evalNumber converts it: Null and words 13, 6 kept.
qint32 general(Engine& e, const QString& text, double& value)
{
    Variant v;
    if (const qint32 rc = e.engine.eval(text, v)) return rc;
    const qint32 rc = v.isNull() ? ErrorNumbers::TypeMismatch : v.toDouble(value);
    return rc == 0 || rc == ErrorNumbers::Overflow ? rc : ErrorNumbers::TypeMismatch;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    // Two engines, so that Rnd and assignments follow the same sequence in each.
    Engine a;
    Engine b;
    const CompiledExpression* program = b.engine.compile(text);
    static constexpr double kPoints[][2] = {{0, 0}, {1.5, -2}, {-0.5, 1e-3}, {1e6, 3}};
    for (const auto& p : kPoints) {
        for (Engine* e : {&a, &b}) {
            e->class1.x = e->class1.u = p[0];
            e->class1.y = e->class1.v = p[1];
        }
        double expected = 0, actual = 0;
        const qint32 rcGeneral = general(a, text, expected);
        const qint32 rcNumber = b.engine.evalNumber(program, actual);
        const bool same = expected == actual || (std::isnan(expected) && std::isnan(actual));
        if (rcGeneral != rcNumber || a.class1.ierr != b.class1.ierr || (rcGeneral == 0 && !same))
            std::abort();
    }
    return 0;
}
