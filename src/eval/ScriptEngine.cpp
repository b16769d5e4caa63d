#include "eval/ScriptEngine.h"
#include "eval/ScriptError.h"

#include "eval/Builtins.h"
#include "eval/CompiledExpression.h"
#include "eval/ErrorMessages.h"
#include "eval/FastInterpreter.h"
#include "eval/FastTranslator.h"
#include "eval/GlobalNames.h"
#include "eval/Hints.h"
#include "eval/Interpreter.h"
#include "eval/Parser.h"

#include <algorithm>
#include <unordered_map>

namespace {

using ProgramMap = std::unordered_map<QString, std::unique_ptr<CompiledExpression>>;

// The texts that eval and executeStatement see: a drag writes thousands of distinct texts, so
// the cache keeps two generations of at most Limit entries each.
class BoundedCache
{
public:
    static constexpr std::size_t Limit = 4096;

    CompiledExpression* find(const QString& text)
    {
        auto it = current_.find(text);
        if (it != current_.end()) return it->second.get();
        auto old = previous_.find(text);
        if (old == previous_.end()) return nullptr;
        CompiledExpression* p = old->second.get();
        insert(text, std::move(old->second));
        previous_.erase(text);
        return p;
    }

    CompiledExpression* insert(const QString& text, std::unique_ptr<CompiledExpression> program)
    {
        if (current_.size() >= Limit) {
            previous_ = std::move(current_);
            current_.clear();
        }
        CompiledExpression* p = program.get();
        current_[text] = std::move(program);
        return p;
    }

    std::unique_ptr<CompiledExpression> take(const QString& text)
    {
        for (ProgramMap* map : {&current_, &previous_}) {
            auto it = map->find(text);
            if (it != map->end()) {
                std::unique_ptr<CompiledExpression> p = std::move(it->second);
                map->erase(it);
                return p;
            }
        }
        return nullptr;
    }

    void clear()
    {
        current_.clear();
        previous_.clear();
    }

private:
    ProgramMap current_;
    ProgramMap previous_;
};

} // namespace

class ScriptEngine::Impl
{
public:
    Impl() : interpreter(names, random) {}

    void build(CompiledExpression& p, const QString& text, bool statement)
    {
        p = CompiledExpression();
        p.text = text;
        if (text.size() > Variant::MaxStringLength) {
            const qint32 n = ErrorNumbers::OutOfMemory;
            p.compileError = {n, ErrorMessages::text(n), 0, {}, {}};
            return;
        }
        Parser parser(text, names, p);
        if (statement)
            parser.parseStatements();
        else
            parser.parseExpressionText();
        if (p.compileError.isError()) {
            p.code.clear();
            p.constants.clear();
            p.minusPowerNote.clear();
            p.minusPowerAt = -1;
            return;
        }
        if (statement) return;
        p.hasFast = FastTranslator::translate(p.code, p.constants, names, p.fast);
        for (const Instruction& in : p.code) {
            if (in.op == Instruction::Op::PushVar &&
                std::find(p.variables.begin(), p.variables.end(), in.index) == p.variables.end())
                p.variables.push_back(in.index);
        }
    }

    std::unique_ptr<CompiledExpression> make(const QString& text, bool statement)
    {
        auto p = std::make_unique<CompiledExpression>();
        build(*p, text, statement);
        return p;
    }

    const CompiledExpression* expression(const QString& text)
    {
        auto pin = pinned.find(text);
        if (pin != pinned.end()) return pin->second.get();
        if (CompiledExpression* p = expressions.find(text)) return p;
        return expressions.insert(text, make(text, false));
    }

    qint32 report(const QString& text, qint32 number, qsizetype position,
                  const QString& name = QString())
    {
        lastError.number = number;
        lastError.description = ErrorMessages::text(number);
        if (!name.isEmpty()) lastError.description += QStringLiteral(": '%1'").arg(name);
        lastError.position = position;
        lastError.hint = Hints::forError(text, number, position, name);
        lastError.subject = subject ? *subject : Subject();
        if (handler) {
            const ScriptError copy = lastError; // the handler may call the engine again
            handler(copy);
        }
        return number;
    }

    // A failure of instruction failed of p.
    qint32 reportRun(const CompiledExpression& p, qint32 number, qint32 failed)
    {
        const Instruction& in = p.code[std::size_t(failed)];
        const QString name =
            in.name >= 0 ? p.constants[std::size_t(in.name)].stringValue() : QString();
        return report(p.text, number, in.position, name);
    }

    qint32 runGeneral(const CompiledExpression& p, Variant& result)
    {
        if (p.compileError.isError())
            return report(p.text, p.compileError.number, p.compileError.position);
        qint32 failed = 0;
        const qint32 rc = interpreter.run(p, result, failed);
        if (rc) return reportRun(p, rc, failed);
        return 0;
    }

    bool fastOperands(const CompiledExpression& p) const
    {
        for (const int slot : p.variables) {
            if (!names.slot(slot).fast) return false;
        }
        return true;
    }

    GlobalNames names;
    Builtins::RandomState random;
    Interpreter interpreter;
    ErrorHandler handler;
    ScriptError lastError;
    const Subject* subject = nullptr;
    ProgramMap pinned; // handed out by compile(): they live as long as the engine
    BoundedCache expressions;
    BoundedCache statements;
    std::vector<double> batchWork;
};

ScriptEngine::ScriptEngine() : d(std::make_unique<Impl>()) {}

ScriptEngine::~ScriptEngine() = default;

void ScriptEngine::setErrorHandler(ErrorHandler handler)
{
    d->handler = std::move(handler);
}

const ScriptEngine::ErrorHandler& ScriptEngine::errorHandler() const
{
    return d->handler;
}

void ScriptEngine::addObject(const QString& name, Class1* object, bool membersGlobal)
{
    if (!object) return;
    d->names.addObject(name, object, membersGlobal);
    // Names now mean something else: compile every text again.
    d->expressions.clear();
    d->statements.clear();
    for (auto& [text, program] : d->pinned)
        d->build(*program, text, false);
}

qint32 ScriptEngine::executeStatement(const QString& statement)
{
    CompiledExpression* p = d->statements.find(statement);
    if (!p) p = d->statements.insert(statement, d->make(statement, true));
    Variant ignored;
    return d->runGeneral(*p, ignored);
}

qint32 ScriptEngine::eval(const QString& expression, Variant& result)
{
    result = Variant();
    return d->runGeneral(*d->expression(expression), result);
}

const CompiledExpression* ScriptEngine::compile(const QString& expression)
{
    auto pin = d->pinned.find(expression);
    if (pin != d->pinned.end()) return pin->second.get();
    std::unique_ptr<CompiledExpression> p = d->expressions.take(expression);
    if (!p) p = d->make(expression, false);
    const CompiledExpression* raw = p.get();
    d->pinned.emplace(expression, std::move(p));
    return raw;
}

qint32 ScriptEngine::evalNumber(const CompiledExpression* program, double& result)
{
    if (!program) {
        const qint32 rc = ErrorNumbers::TypeMismatch;
        d->lastError = {rc, ErrorMessages::text(rc), -1, {}, {}};
        return rc;
    }
    if (program->compileError.isError())
        return d->report(program->text, program->compileError.number,
                         program->compileError.position);
    if (program->hasFast && d->fastOperands(*program)) {
        qint32 failed = 0;
        const qint32 rc = FastInterpreter::run(program->fast, result, failed);
        if (rc) return d->reportRun(*program, rc, failed);
        return 0;
    }
    Variant value;
    if (const qint32 rc = d->runGeneral(*program, value)) return rc;
    double number = 0;
    qint32 rc = value.isNull() ? ErrorNumbers::TypeMismatch : value.toDouble(number);
    if (rc != 0 && rc != ErrorNumbers::Overflow) rc = ErrorNumbers::TypeMismatch;
    if (rc) {
        // The caller's conversion, not the engine's: no notification.
        d->lastError = {rc, ErrorMessages::text(rc), -1, {}, d->subject ? *d->subject : Subject()};
        return rc;
    }
    result = number;
    return 0;
}

bool ScriptEngine::batchable(const CompiledExpression* program) const
{
    return program && !program->compileError.isError() && program->hasFast &&
           d->fastOperands(*program) && FastBatch::accepts(program->fast);
}

void ScriptEngine::evalNumbers(const CompiledExpression* program, const Class1& class1,
                               const FastBatch::Inputs& inputs, int n, FastBatch::Results& out)
{
    FastBatch::run(program->fast, class1, inputs, n, out, d->batchWork);
}

qint32 ScriptEngine::notifyFailure(const CompiledExpression* program, qint32 number,
                                   qint32 failedInstruction)
{
    return d->reportRun(*program, number, failedInstruction);
}

const ScriptError& ScriptEngine::lastError() const
{
    return d->lastError;
}

void ScriptEngine::setSubject(const Subject* subject)
{
    d->subject = subject;
}

const Subject* ScriptEngine::subject() const
{
    return d->subject;
}

ScriptEngine::Note ScriptEngine::note(const QString& expression)
{
    const CompiledExpression* p = d->expression(expression);
    return {p->minusPowerNote, p->minusPowerAt};
}
