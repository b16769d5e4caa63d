#pragma once

#include "eval/CompiledExpression.h"
#include "eval/GlobalNames.h"
#include "eval/Lexer.h"

#include <QString>

class GlobalNames;

// Compiles a text into the general program of a CompiledExpression: precedence climbing that
// emits postfix code as it reads, so that long operator chains need no recursion; nesting
// (parentheses, Not, call arguments) is bounded by MaxDepth ("Out of stack space").
class Parser
{
public:
    Parser(const QString& text, GlobalNames& names, CompiledExpression& out);

    // An expression, as Eval reads it: "a = b" is a comparison.
    void parseExpressionText();
    // Statements separated by ":" or line ends: assignments "name = expression" or
    // expressions whose value is dropped.
    void parseStatements();

    static constexpr int MaxDepth = 400;

private:
    bool failed() const { return out_.compileError.number != 0; }
    void fail(qint32 number, qsizetype position);
    void failAtToken();
    Token::Kind kind() const { return lexer_.current().kind; }
    void advance() { lexer_.advance(); }

    void parseStatement();
    void parseExpression(int minLevel);
    // The signed operand of a unary minus, for the note on "-x^2": where the first minus and
    // the operand begin, both -1 when there is no minus or the operand is no primary.
    struct Signed
    {
        qsizetype minus = -1;
        qsizetype operand = -1;
    };
    Signed parseUnary();
    void noteMinusPower(const Signed& sign, qsizetype caret, qsizetype exponent, qsizetype end);
    void parsePrimary();
    void parseName();
    int parseArguments();
    void parseMember(void* object, const QString& name, qsizetype position, bool called);
    // Class1 members and methods: true when `r` named one and its code was appended.
    bool appendClassMember(const GlobalNames::Resolution& r, qsizetype position, bool called,
                           int argc);

    void append(Instruction::Op op, qsizetype position, qint32 index = 0, void* address = nullptr,
                int argc = 0);
    int addConstant(const Variant& v);

    Lexer lexer_;
    GlobalNames& names_;
    CompiledExpression& out_;
    int depth_ = 0;
    int stack_ = 0;
};
