#pragma once

#include <QString>
#include <QtGlobal>

// A run-time or compilation error of the expression engine: its number and message text,
// and where useful the character offset in the text that failed (-1 when unknown).
struct ScriptError
{
    qint32 number = 0;
    QString description;
    qsizetype position = -1;

    bool isError() const { return number != 0; }
};

// The error numbers that mean "this point has no value": drawing goes on silently.
namespace ErrorNumbers {
constexpr qint32 InvalidCall = 5;
constexpr qint32 Overflow = 6;
constexpr qint32 DivisionByZero = 11;
constexpr qint32 TypeMismatch = 13;
constexpr qint32 AlreadyReported = qint32(0x80020101u); // -2147352319

inline bool isPointFailure(qint32 n)
{
    return n == InvalidCall || n == Overflow || n == DivisionByZero || n == AlreadyReported;
}
} // namespace ErrorNumbers
