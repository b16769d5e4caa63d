#pragma once

#include <QString>
#include <QtGlobal>

// What the user probably meant when a text fails the way a textbook formula does: 2x, x**2,
// 7 % 3, 3!, a misspelt function, an unbalanced parenthesis. One line for the user, or empty
// when no intended form is likely. Looks only at the text: cheap, and nothing for the point
// failures of a drawing.
namespace Hints {
// The hint for error `number` at `position` of `text`; `name` is the name the message quotes.
QString forError(const QString& text, qint32 number, qsizetype position, const QString& name);

// The function whose name is closest to `name` (a usual alias, or at most one or two
// letters off, any case), or empty.
QString nearestFunction(const QString& name);
} // namespace Hints
