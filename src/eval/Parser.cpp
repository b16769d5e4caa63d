#include "eval/Parser.h"
#include "eval/ScriptError.h"

#include "eval/Builtins.h"
#include "eval/Class1.h"
#include "eval/ErrorMessages.h"
#include "eval/GlobalNames.h"

namespace {

using Op = Instruction::Op;
using Kind = Token::Kind;

constexpr int kNotOperandLevel = 7; // Not reads comparisons and everything binding tighter

struct Binary
{
    int level = 0; // 0: not a binary operator
    Op op = Op::Pop;
};

Binary binaryOf(Kind kind)
{
    switch (kind) {
    case Kind::Imp:
        return {1, Op::Imp};
    case Kind::Eqv:
        return {2, Op::Eqv};
    case Kind::Xor:
        return {3, Op::Xor};
    case Kind::Or:
        return {4, Op::Or};
    case Kind::And:
        return {5, Op::And};
    case Kind::Equal:
        return {7, Op::Eq};
    case Kind::NotEqual:
        return {7, Op::Ne};
    case Kind::Less:
        return {7, Op::Lt};
    case Kind::Greater:
        return {7, Op::Gt};
    case Kind::LessEqual:
        return {7, Op::Le};
    case Kind::GreaterEqual:
        return {7, Op::Ge};
    case Kind::Is:
        return {7, Op::Is};
    case Kind::Ampersand:
        return {8, Op::Concat};
    case Kind::Plus:
        return {9, Op::Add};
    case Kind::Minus:
        return {9, Op::Sub};
    case Kind::Mod:
        return {10, Op::Mod};
    case Kind::Backslash:
        return {11, Op::IntDiv};
    case Kind::Star:
        return {12, Op::Mul};
    case Kind::Slash:
        return {12, Op::Div};
    case Kind::Caret:
        return {13, Op::Pow};
    default:
        return {};
    }
}

bool endsStatement(Kind kind)
{
    return kind == Kind::End || kind == Kind::Newline || kind == Kind::Colon;
}

} // namespace

Parser::Parser(const QString& text, GlobalNames& names, CompiledExpression& out)
    : lexer_(text), names_(names), out_(out)
{
}

void Parser::fail(qint32 number, qsizetype position)
{
    if (failed()) return;
    out_.compileError.number = number;
    out_.compileError.description = ErrorMessages::text(number);
    out_.compileError.position = position;
}

void Parser::failAtToken()
{
    const Token& t = lexer_.current();
    fail(t.kind == Kind::Error ? t.errorNumber : ErrorNumbers::ExpectedEndOfStatement, t.position);
}

int Parser::addConstant(const Variant& v)
{
    out_.constants.push_back(v);
    return int(out_.constants.size() - 1);
}

void Parser::append(Op op, qsizetype position, qint32 index, void* address, int argc)
{
    Instruction in;
    in.op = op;
    in.index = index;
    in.address = address;
    in.argc = quint8(argc);
    in.position = position;
    out_.code.push_back(in);
    switch (op) {
    case Op::PushConst:
    case Op::PushDouble:
    case Op::PushInt32:
    case Op::PushVar:
        ++stack_;
        break;
    case Op::Neg:
    case Op::Not:
        break;
    case Op::CallBuiltin:
    case Op::CallMethod:
    case Op::Fail:
        stack_ += 1 - argc;
        break;
    default:
        --stack_;
        break;
    }
    if (stack_ > out_.maxStack) out_.maxStack = stack_;
}

void Parser::parseExpressionText()
{
    out_.statement = false;
    advance();
    while (kind() == Kind::Newline)
        advance();
    if (kind() == Kind::End) {
        append(Op::PushConst, 0, addConstant(Variant()));
        return;
    }
    parseExpression(1);
    if (failed()) return;
    while (kind() == Kind::Newline)
        advance();
    if (kind() != Kind::End) failAtToken();
}

void Parser::parseStatements()
{
    out_.statement = true;
    advance();
    for (;;) {
        while (kind() == Kind::Newline || kind() == Kind::Colon)
            advance();
        if (kind() == Kind::End) return;
        parseStatement();
        if (failed()) return;
        if (!endsStatement(kind())) {
            failAtToken();
            return;
        }
    }
}

void Parser::parseStatement()
{
    if (kind() == Kind::Identifier) {
        const qsizetype mark = lexer_.mark();
        const QString name = lexer_.current().name;
        const qsizetype position = lexer_.current().position;
        advance();
        QString memberName;
        bool dotted = false;
        const bool sawDot = kind() == Kind::Dot;
        if (sawDot) {
            advance();
            if (kind() == Kind::Identifier) {
                memberName = lexer_.current().name;
                dotted = true;
                advance();
            }
        }
        if (kind() == Kind::Equal && (!sawDot || dotted)) {
            advance();
            parseExpression(1);
            if (failed()) return;
            GlobalNames::Resolution r = names_.resolve(name);
            if (dotted) {
                if (r.kind != GlobalNames::Kind::Object) {
                    append(Op::Fail, position, ErrorNumbers::ObjectRequired, nullptr, 1);
                    return;
                }
                r = GlobalNames::member(static_cast<Class1*>(r.address), memberName);
                if (r.kind == GlobalNames::Kind::None) {
                    append(Op::Fail, position, ErrorNumbers::NoSuchMember, nullptr, 1);
                    return;
                }
            }
            switch (r.kind) {
            case GlobalNames::Kind::MemberDouble:
                append(Op::StoreDouble, position, 0, r.address);
                break;
            case GlobalNames::Kind::MemberInt32:
                append(Op::StoreInt32, position, 0, r.address);
                break;
            case GlobalNames::Kind::Variable:
                append(Op::StoreVar, position, r.index);
                break;
            default:
                append(Op::Fail, position, ErrorNumbers::IllegalAssignment, nullptr, 1);
                break;
            }
            return;
        }
        lexer_.rewind(mark);
    }
    parseExpression(1);
    if (failed()) return;
    append(Op::Pop, lexer_.current().position);
}

void Parser::parseExpression(int minLevel)
{
    if (++depth_ > MaxDepth) {
        fail(ErrorNumbers::OutOfStackSpace, lexer_.current().position);
        --depth_;
        return;
    }
    Signed sign = parseUnary();
    while (!failed()) {
        const Binary b = binaryOf(kind());
        if (b.level == 0 || b.level < minLevel) break;
        const qsizetype position = lexer_.current().position;
        advance();
        const qsizetype exponent = lexer_.current().position;
        parseExpression(b.level + 1);
        if (failed()) break;
        if (b.op == Op::Pow && sign.minus >= 0)
            noteMinusPower(sign, position, exponent, lexer_.current().position);
        sign = Signed();
        append(b.op, position);
    }
    --depth_;
}

void Parser::noteMinusPower(const Signed& sign, qsizetype caret, qsizetype exponent, qsizetype end)
{
    if (out_.minusPowerAt >= 0) return;
    const QString& text = lexer_.text();
    QString signs = text.mid(sign.minus, sign.operand - sign.minus);
    signs.remove(QLatin1Char(' ')).remove(QLatin1Char('\t'));
    const QString base = text.mid(sign.operand, caret - sign.operand).trimmed();
    const QString power = text.mid(exponent, end - exponent).trimmed();
    out_.minusPowerAt = sign.minus;
    out_.minusPowerNote =
        QStringLiteral("%1%2^%3 means (%1%2)^%3 here; write %1(%2^%3)").arg(signs, base, power);
}

Parser::Signed Parser::parseUnary()
{
    qint64 negations = 0;
    qsizetype position = lexer_.current().position;
    while (kind() == Kind::Minus || kind() == Kind::Plus) {
        if (kind() == Kind::Minus) ++negations;
        advance();
    }
    Signed sign;
    if (kind() == Kind::Not) {
        const qsizetype notPosition = lexer_.current().position;
        advance();
        parseExpression(kNotOperandLevel);
        if (failed()) return sign;
        append(Op::Not, notPosition);
    } else {
        const qsizetype operand = lexer_.current().position;
        parsePrimary();
        if (failed()) return sign;
        if (negations > 0) sign = {position, operand};
    }
    for (qint64 i = 0; i < negations; ++i)
        append(Op::Neg, position);
    return sign;
}

void Parser::parsePrimary()
{
    const Token& t = lexer_.current();
    switch (t.kind) {
    case Kind::Number:
    case Kind::String:
        append(Op::PushConst, t.position, addConstant(t.value));
        advance();
        return;
    case Kind::True:
    case Kind::False:
        append(Op::PushConst, t.position, addConstant(Variant::fromBool(t.kind == Kind::True)));
        advance();
        return;
    case Kind::Empty:
        append(Op::PushConst, t.position, addConstant(Variant()));
        advance();
        return;
    case Kind::Null:
        append(Op::PushConst, t.position, addConstant(Variant::null()));
        advance();
        return;
    case Kind::LeftParen:
        advance();
        parseExpression(1);
        if (failed()) return;
        if (kind() != Kind::RightParen) {
            if (kind() == Kind::Error)
                failAtToken();
            else
                fail(ErrorNumbers::ExpectedRightParen, lexer_.current().position);
            return;
        }
        advance();
        return;
    case Kind::Identifier:
        parseName();
        return;
    case Kind::Error:
        failAtToken();
        return;
    default:
        fail(ErrorNumbers::SyntaxError, t.position);
        return;
    }
}

int Parser::parseArguments()
{
    // At "(".
    const qsizetype open = lexer_.current().position;
    advance();
    if (kind() == Kind::RightParen) {
        advance();
        return 0;
    }
    int argc = 0;
    for (;;) {
        parseExpression(1);
        if (failed()) return argc;
        ++argc;
        if (argc > 255) {
            fail(ErrorNumbers::WrongArgumentCount, open);
            return argc;
        }
        if (kind() == Kind::Comma) {
            advance();
            continue;
        }
        if (kind() == Kind::RightParen) {
            advance();
            return argc;
        }
        if (kind() == Kind::Error)
            failAtToken();
        else
            fail(ErrorNumbers::ExpectedRightParen, lexer_.current().position);
        return argc;
    }
}

bool Parser::appendClassMember(const GlobalNames::Resolution& r, qsizetype position, bool called,
                               int argc)
{
    switch (r.kind) {
    case GlobalNames::Kind::MemberDouble:
    case GlobalNames::Kind::MemberInt32:
        if (called)
            append(Op::Fail, position, ErrorNumbers::TypeMismatch, nullptr, argc);
        else
            append(r.kind == GlobalNames::Kind::MemberDouble ? Op::PushDouble : Op::PushInt32,
                   position, 0, r.address);
        return true;
    case GlobalNames::Kind::Method:
        if (argc != Class1::methods[r.index].argc())
            append(Op::Fail, position, ErrorNumbers::WrongArgumentCount, nullptr, argc);
        else
            append(Op::CallMethod, position, r.index, r.address, argc);
        return true;
    default:
        return false;
    }
}

void Parser::parseMember(void* object, const QString& name, qsizetype position, bool called)
{
    const GlobalNames::Resolution r = GlobalNames::member(static_cast<Class1*>(object), name);
    const int argc = called ? parseArguments() : 0;
    if (failed()) return;
    if (!appendClassMember(r, position, called, argc))
        append(Op::Fail, position, ErrorNumbers::NoSuchMember, nullptr, argc);
}

void Parser::parseName()
{
    const QString name = lexer_.current().name;
    const qsizetype position = lexer_.current().position;
    advance();
    const GlobalNames::Resolution r = names_.resolve(name, kind() == Kind::LeftParen);
    if (kind() == Kind::Dot) {
        advance();
        if (kind() != Kind::Identifier) {
            if (kind() == Kind::Error)
                failAtToken();
            else
                fail(ErrorNumbers::ExpectedIdentifier, lexer_.current().position);
            return;
        }
        const QString memberName = lexer_.current().name;
        advance();
        const bool called = kind() == Kind::LeftParen;
        if (r.kind == GlobalNames::Kind::Object) {
            parseMember(r.address, memberName, position, called);
        } else {
            const int argc = called ? parseArguments() : 0;
            if (failed()) return;
            append(Op::Fail, position, ErrorNumbers::ObjectRequired, nullptr, argc);
        }
        if (!failed() && kind() == Kind::Dot)
            fail(ErrorNumbers::ExpectedEndOfStatement, lexer_.current().position);
        return;
    }
    const bool called = kind() == Kind::LeftParen;
    const int argc = called ? parseArguments() : 0;
    if (failed()) return;
    if (appendClassMember(r, position, called, argc)) return;
    switch (r.kind) {
    case GlobalNames::Kind::Object:
        append(Op::Fail, position, ErrorNumbers::NoSuchMember, nullptr, argc);
        return;
    case GlobalNames::Kind::Builtin:
        if (argc < Builtins::minArgs(r.index) || argc > Builtins::maxArgs(r.index))
            append(Op::Fail, position, ErrorNumbers::WrongArgumentCount, nullptr, argc);
        else
            append(Op::CallBuiltin, position, r.index, nullptr, argc);
        return;
    case GlobalNames::Kind::Variable:
        if (called) {
            // A call of a name that is no function: the message names it, as the language's does.
            append(Op::Fail, position, ErrorNumbers::TypeMismatch, nullptr, argc);
            out_.code.back().name = addConstant(Variant::fromString(name));
        } else {
            append(Op::PushVar, position, r.index);
        }
        return;
    default: // no such name; members and methods were handled above
        break;
    }
    append(Op::Fail, position, ErrorNumbers::TypeMismatch, nullptr, argc);
}
