#pragma once

#include "eval/FastBatch.h"
#include "eval/ScriptError.h"
#include "eval/Variant.h"

#include <QString>
#include <functional>
#include <memory>

class Class1;
class CompiledExpression;

// The embedded expression engine: VBScript's expression language and assignment statements.
// It computes and does nothing else: no object creation, no file, process or network access.
//
// Every failure is first delivered to the error handler (synchronously, before the failing
// call returns) and then returned as the call's error number; 0 means success.
class ScriptEngine
{
public:
    using ErrorHandler = std::function<void(const ScriptError&)>;

    ScriptEngine();
    ~ScriptEngine();
    ScriptEngine(const ScriptEngine&) = delete;
    ScriptEngine& operator=(const ScriptEngine&) = delete;

    void setErrorHandler(ErrorHandler handler);
    const ErrorHandler& errorHandler() const;

    // While it lives the engine reports to no one: for drawing again what was reported once.
    class Quiet
    {
    public:
        explicit Quiet(ScriptEngine& engine) : engine_(engine), handler_(engine.errorHandler())
        {
            engine_.setErrorHandler({});
        }
        ~Quiet() { engine_.setErrorHandler(handler_); }
        Quiet(const Quiet&) = delete;
        Quiet& operator=(const Quiet&) = delete;

    private:
        ScriptEngine& engine_;
        ErrorHandler handler_;
    };

    // Makes the members of object global names (assigning such a name sets the member).
    void addObject(const QString& name, Class1* object, bool membersGlobal);

    // Runs "name = expression" (or a bare expression statement); 0 or the error number.
    qint32 executeStatement(const QString& statement);

    // Evaluates an expression ("a = b" is a comparison here); 0 or the error number.
    qint32 eval(const QString& expression, Variant& result);

    // Compiled form, cached by text: the same text is parsed once for the engine's life.
    // Never null; a text with a syntax error compiles to a program that reports that error.
    const CompiledExpression* compile(const QString& expression);

    // Runs a compiled expression and converts its value to a double (as CDbl does).
    // Engine failures go through the error handler; a value that does not convert fails
    // with 13 without reaching the handler (the conversion is the caller's, not the engine's).
    // Allocation-free on the numeric path.
    qint32 evalNumber(const CompiledExpression* program, double& result);

    // Whether evalNumbers can run the program: it has the all-double form, calls no method of
    // Class1 and every variable it reads holds a number.
    bool batchable(const CompiledExpression* program) const;

    // evalNumber of a batchable program at up to FastBatch::Lanes points whose x, y, u and v
    // are given, without notifying anyone: a failing point's notification waits for
    // notifyFailure, so that it comes when, and only if, the caller takes that point.
    void evalNumbers(const CompiledExpression* program, const Class1& class1,
                     const FastBatch::Inputs& inputs, int n, FastBatch::Results& out);

    // The notification evalNumber gives for a failure `number` of instruction
    // `failedInstruction`; returns the number.
    qint32 notifyFailure(const CompiledExpression* program, qint32 number,
                         qint32 failedInstruction);

    // The remark on an expression that compiles but may not mean what it seems to: a leading
    // minus applied to a power. Empty text when there is none.
    struct Note
    {
        QString text;
        qsizetype position = -1;
    };
    Note note(const QString& expression);

    // The error of the last failing call.
    const ScriptError& lastError() const;

    // What the following calls evaluate: their errors carry it. Null for nothing; the pointee
    // must outlive its use (SubjectScope keeps one for a block).
    void setSubject(const Subject* subject);
    const Subject* subject() const;

private:
    class Impl;
    std::unique_ptr<Impl> d;
};

// The engine's subject for the life of a block; the one before is restored at its end.
class SubjectScope
{
public:
    SubjectScope(ScriptEngine& engine, Subject subject)
        : engine_(engine), subject_(std::move(subject)), previous_(engine.subject())
    {
        engine_.setSubject(&subject_);
    }
    ~SubjectScope() { engine_.setSubject(previous_); }
    SubjectScope(const SubjectScope&) = delete;
    SubjectScope& operator=(const SubjectScope&) = delete;

private:
    ScriptEngine& engine_;
    Subject subject_;
    const Subject* previous_;
};
