#pragma once

#include <QString>
#include <QtGlobal>
#include <cmath>

// What a message is about: a field of the plot setup by its setup name ("Stereo",
// "EquationZ"), a user constant by its text ("k=2"), or an option of the command line
// ("--eval").
struct Subject
{
    enum class Kind : quint8
    {
        None,
        Field,
        Constant,
        Option
    };
    Kind kind = Kind::None;
    QString name;
};

// A run-time or compilation error of the expression engine: its number and message text,
// where useful the character offset in the text that failed (-1 when unknown), what was
// being evaluated, and what the user probably meant to write (empty when nothing is likely).
struct ScriptError
{
    qint32 number = 0;
    QString description;
    qsizetype position = -1;
    QString hint;
    Subject subject;

    bool isError() const { return number != 0; }
};

// The engine's error numbers, the language's own; every number the engine raises is here.
namespace ErrorNumbers {
constexpr qint32 InvalidCall = 5;
constexpr qint32 Overflow = 6;
constexpr qint32 OutOfMemory = 7;
constexpr qint32 DivisionByZero = 11;
constexpr qint32 TypeMismatch = 13;
constexpr qint32 OutOfStackSpace = 28;
constexpr qint32 InvalidUseOfNull = 94;
constexpr qint32 ObjectRequired = 424;
constexpr qint32 NoSuchMember = 438;
constexpr qint32 WrongArgumentCount = 450;
constexpr qint32 IllegalAssignment = 501;
constexpr qint32 SyntaxError = 1002;
constexpr qint32 ExpectedRightParen = 1006;
constexpr qint32 ExpectedIdentifier = 1010;
constexpr qint32 ExpectedEndOfStatement = 1025;
constexpr qint32 IdentifierTooLong = 1030;
constexpr qint32 InvalidNumber = 1031;
constexpr qint32 InvalidCharacter = 1032;
constexpr qint32 UnterminatedString = 1033;
constexpr qint32 AlreadyReported = qint32(0x80020101u); // -2147352319

// The numbers that mean "this point has no value": drawing goes on silently.
inline bool isPointFailure(qint32 n)
{
    return n == InvalidCall || n == Overflow || n == DivisionByZero || n == AlreadyReported;
}

// The one rule for a zero divisor, shared by both execution paths: 0/0 overflows, any other
// dividend divides by zero.
constexpr qint32 zeroDivisor(double dividend)
{
    return dividend == 0 ? Overflow : DivisionByZero;
}

// The failure of base ^ exponent when the result is not finite, shared likewise.
inline qint32 powerFailure(double result, double base)
{
    if (std::isnan(result)) return InvalidCall;
    return base == 0 ? DivisionByZero : Overflow;
}
} // namespace ErrorNumbers
