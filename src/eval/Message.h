#pragma once

#include "eval/ScriptError.h"

#include <QString>
#include <QtGlobal>
#include <utility>

// A message for the user, as data, made where its parts are known: the text of its first line
// (the language's message, or the program's), the box's caption (empty for the program's
// title), the error number (0 for none), the place in the subject's text (-1 when unknown),
// what it is about, and what to write instead. The window shows it in a box and puts the
// cursor into its field; the command line prints it on standard error, naming its subject.
struct Message
{
    QString text;
    QString caption;
    qint32 number = 0;
    qsizetype position = -1;
    Subject subject;
    QString hint;

    static Message fromError(const ScriptError& error)
    {
        return {error.description, QString(),     error.number,
                error.position,    error.subject, error.hint};
    }
    static Message about(Subject subject, const QString& text)
    {
        return {text, QString(), 0, -1, std::move(subject), QString()};
    }
};
