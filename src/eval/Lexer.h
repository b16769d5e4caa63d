#pragma once

#include "eval/Variant.h"

#include <QString>
#include <QtGlobal>

// One token of the expression language.
struct Token
{
    enum class Kind : quint8
    {
        End,
        Error, // a lexical error: errorNumber says which
        Newline,
        Colon,
        Number,
        String,
        Identifier,
        Reserved, // a reserved word of the language that no expression accepts
        // Literal keywords.
        True,
        False,
        Empty,
        Null,
        // Operators.
        Plus,
        Minus,
        Star,
        Slash,
        Backslash,
        Caret,
        Ampersand,
        Equal,
        NotEqual,
        Less,
        Greater,
        LessEqual,
        GreaterEqual,
        Not,
        And,
        Or,
        Xor,
        Eqv,
        Imp,
        Mod,
        Is,
        LeftParen,
        RightParen,
        Comma,
        Dot,
    };

    Kind kind = Kind::End;
    qsizetype position = 0;
    qint32 errorNumber = 0;
    Variant value; // Number and String
    QString name;  // Identifier and Reserved, as written
};

// Turns a text into tokens on demand. Blanks, tabs, line continuations and comments are
// skipped; any other character outside the language is an "Invalid character" token.
class Lexer
{
public:
    explicit Lexer(const QString& text) : text_(text) {}
    const QString& text() const { return text_; }

    // Reads the next token into current().
    void advance();
    const Token& current() const { return token_; }

    // A point to come back to with rewind().
    qsizetype mark() const { return token_.position; }
    void rewind(qsizetype position);

    static constexpr int MaxIdentifierLength = 255;

private:
    void lexNumber(qsizetype start);
    void lexRadix(qsizetype start, int base);
    void lexString(qsizetype start);
    void lexWord(qsizetype start);
    void fail(qsizetype start, qint32 number);
    void skipToLineEnd();

    const QString& text_;
    qsizetype pos_ = 0;
    Token token_;
};
